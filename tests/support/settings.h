#pragma once
// The settings store of a test process: kept in the test's own folder, never the user's.
#include <QSettings>
#include <QString>

/// What a redirected store starts with: nothing, or what its folder already holds (a helper
/// process reading the store that the test which started it has filled).
enum class SettingsStore { Fresh, Kept };

/// Keeps the settings store inside dir for the whole process. The registry (Windows) has no
/// folder to move: a fresh store empties the program's key instead, as a new folder starts empty.
inline void redirectSettings(const QString& dir, SettingsStore store = SettingsStore::Fresh)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
#ifdef Q_OS_WIN
    if (store == SettingsStore::Fresh)
        QSettings(QStringLiteral("Plintor"), QStringLiteral("Plintor")).clear();
#else
    Q_UNUSED(store);
#endif
}

inline QString storedRecentList()
{
    QSettings settings(QStringLiteral("Plintor"), QStringLiteral("Plintor"));
    return settings.value(QStringLiteral("MRUFiles/MRUList")).toString();
}

inline void storeRecentList(const QString& list)
{
    QSettings settings(QStringLiteral("Plintor"), QStringLiteral("Plintor"));
    settings.setValue(QStringLiteral("MRUFiles/MRUList"), list);
    settings.sync();
}
