#include "project/folders.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include "fault/runtimeerror.h"
#include "project/textfile_p.h"

namespace project::textfile {

namespace {

// As QDir sorts by name without regard to case: case decides only between names equal without
// it. Each name is folded once, not at every comparison.
QStringList sortedByName(QStringList names)
{
    struct Key {
        QString folded;
        qsizetype index;
    };
    std::vector<Key> keys;
    keys.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keys.push_back({names[i].toCaseFolded(), i});
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        const int r = QString::compare(a.folded, b.folded, Qt::CaseSensitive);
        return r != 0 ? r < 0 : names[a.index] < names[b.index];
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Key& key : keys)
        sorted.append(std::move(names[key.index]));
    return sorted;
}

} // namespace

QStringList listFiles(const QString& folder, QList<QByteArray>* unnamed)
{
    return listFiles(folder, [](const QString&) { return true; }, unnamed);
}

QStringList listFiles(const QString& folder, const std::function<bool(const QString&)>& keep, QList<QByteArray>* unnamed)
{
    ++detail::tally().listings;
    QStringList names;
#ifdef Q_OS_WIN
    Q_UNUSED(unnamed) // the system's names are UTF-16: each reads back as it was read
    if (folder.isEmpty() || !QDir(folder).exists())
        fault::raise(fault::PathNotFound, QStringLiteral("Path not found: %1").arg(folder));
    if (!QFileInfo(folder).isReadable())
        fault::raise(fault::PermissionDenied, QStringLiteral("Permission denied: %1").arg(folder));
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        // Only regular files (or links to one): a pipe would block the open, a device never ends.
        if (keep(name) && it.fileInfo().isFile())
            names.append(name);
    }
#else
    // The folder read with plain calls: a data folder holds tens of thousands of names, and the
    // kind of each comes with its name.
    DIR* dir = detail::openFolder(folder);
    const auto closeFolder = qScopeGuard([dir] { ::closedir(dir); });
    // One string for every name: most are turned down, and only those kept are copied out.
    QString name;
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0)))
            continue;
        const bool carried = detail::decodeName(name, raw);
        if (!keep(name))
            continue;
        if (!carried) {
            if (unnamed)
                unnamed->append(QByteArray(raw));
            continue;
        }
        // Only regular files (or links to one): a pipe would block the open, a device never ends.
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            regular = ::fstatat(::dirfd(dir), raw, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (regular)
            names.append(name);
    }
#endif
    return sortedByName(std::move(names));
}

QStringList sortedAsListed(QStringList names) { return sortedByName(std::move(names)); }

bool listedBefore(const QString& a, const QString& b)
{
    const int r = QString::compare(a.toCaseFolded(), b.toCaseFolded(), Qt::CaseSensitive);
    return r != 0 ? r < 0 : a < b;
}

#ifndef Q_OS_WIN
DIR* detail::openFolder(const QString& folder)
{
    DIR* dir = folder.isEmpty() ? nullptr : ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        if (errno == EACCES || errno == EPERM)
            fault::raise(fault::PermissionDenied, QStringLiteral("Permission denied: %1").arg(folder));
        fault::raise(fault::PathNotFound, QStringLiteral("Path not found: %1").arg(folder));
    }
    return dir;
}
#endif

bool detail::decodeName(QString& name, const char* raw)
{
    const size_t size = std::strlen(raw);
    if (!std::all_of(raw, raw + size, [](char c) { return uchar(c) < 0x80; })) {
        name = QFile::decodeName(raw);
        return QFile::encodeName(name) == QByteArrayView(raw, qsizetype(size));
    }
    name.resize(qsizetype(size));
    QChar* out = name.data();
    for (size_t i = 0; i < size; ++i)
        out[i] = QChar(uchar(raw[i]));
    return true;
}

bool folderExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

void createFolder(const QString& folder)
{
    ++detail::tally().writes;
    if (folder.isEmpty() || !QDir().mkpath(folder))
        detail::raiseAccessError(QStringLiteral("cannot create folder ") + folder);
}

} // namespace project::textfile
