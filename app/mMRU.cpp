#include "app/mMRU.h"

#include <QSettings>

#include "fault/trap.h"
#include "project/recentlist.h"

namespace app::mMRU {

namespace {
constexpr const char* kModule = "mMRU";
constexpr int LINE_BASE = fault::linebase::mMRU;

const QString kSection = QStringLiteral("MRUFiles");
const QString kKey = QStringLiteral("MRUList");

// Writes the store out now; raises 75 when it could not.
void store(QSettings& settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError)
        fault::raise(fault::PathFileAccessError,
                     QStringLiteral("Path/File access error: settings store %1").arg(settings.fileName()));
}
} // namespace

void ReadMRU(project::State& s)
{
    ARM_TRAP();
    const QSettings settings(QStringLiteral("Plintor"), QStringLiteral("Plintor"));
    STEP(s.RecentList = settings.value(kSection + QLatin1Char('/') + kKey, QString()).toString());
}

void SaveMRU(const project::State& s)
{
    ARM_TRAP();
    QSettings settings(QStringLiteral("Plintor"), QStringLiteral("Plintor"));
    settings.setValue(kSection + QLatin1Char('/') + kKey, s.RecentList);
    STEP(store(settings));
}

void AddMRU(project::State& s, const QString& path)
{
    ARM_TRAP();
    s.RecentList = project::recentlist::add(s.RecentList, path);
}

void DisplayMRU(const project::State& s, const MenuItems& items)
{
    ARM_TRAP();
    const QStringList recent = project::recentlist::items(s.RecentList);
    // An empty list leaves the first item as designed, but it must not open a folder "MRU".
    items[0]->setEnabled(!recent.isEmpty());
    const qsizetype n = std::min<qsizetype>(recent.size(), qsizetype(items.size()));
    for (qsizetype i = 0; i < n; ++i) {
        items[size_t(i)]->setVisible(true);
        items[size_t(i)]->setText(recent[i]);
    }
}

} // namespace app::mMRU
