#include "project/textfile.h"

#include <algorithm>
#include <vector>
#include <cerrno>
#include <cstring>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>

#include "fault/runtimeerror.h"
#include "project/codepage.h"

namespace project::textfile {

namespace {

Counts done;

[[noreturn]] void raiseOpenFailure(const QFileDevice& file, const QString& path, bool forWriting)
{
    const QFileInfo info(path);
    if (path.isEmpty())
        fault::raise(fault::BadFileName, QStringLiteral("Bad file name: \"%1\"").arg(path));
    if (forWriting && !info.absoluteDir().exists())
        fault::raise(fault::PathNotFound, QStringLiteral("Path not found: %1").arg(path));
    if (!forWriting && !info.exists())
        fault::raise(fault::FileNotFound, QStringLiteral("File not found: %1").arg(path));
    if (info.isDir())
        fault::raise(fault::PathFileAccessError, QStringLiteral("Path/File access error: %1 is a folder").arg(path));
    if (file.error() == QFileDevice::PermissionsError)
        fault::raise(fault::PermissionDenied, QStringLiteral("Permission denied: %1").arg(path));
    fault::raise(fault::PathFileAccessError,
                 QStringLiteral("Path/File access error: %1 (%2)").arg(path, file.errorString()));
}

[[noreturn]] void raiseNotRegular(const QString& path)
{
    fault::raise(fault::PathFileAccessError, QStringLiteral("Path/File access error: %1 is not a regular file").arg(path));
}

[[noreturn]] void raiseTooLarge(const QString& path)
{
    fault::raise(fault::PathFileAccessError,
                 QStringLiteral("Path/File access error: %1 is larger than %2 MiB, more than any card, dataset or "
                                "playlist holds")
                     .arg(path, QString::number(kMaxFileBytes / (1024 * 1024))));
}

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

#ifndef Q_OS_WIN
[[noreturn]] void raiseSystemError(int error, const QString& path)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        fault::raise(fault::FileNotFound, QStringLiteral("File not found: %1").arg(path));
    case EACCES:
    case EPERM:
        fault::raise(fault::PermissionDenied, QStringLiteral("Permission denied: %1").arg(path));
    default:
        fault::raise(fault::PathFileAccessError,
                     QStringLiteral("Path/File access error: %1 (%2)").arg(path, QString::fromLocal8Bit(std::strerror(error))));
    }
}
#endif

} // namespace

QList<QByteArray> splitLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    forEachLine(bytes, [&](QByteArrayView line) { lines.append(line.toByteArray()); });
    return lines;
}

QByteArray joinLines(const QList<QByteArray>& lines)
{
    QByteArray out;
    for (const QByteArray& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

Counts counts() { return done; }

QByteArray readBytes(const QString& path)
{
    ++done.reads;
#ifdef Q_OS_WIN
    QFile file(path);
    const QFileInfo info(path);
    // Opening a pipe would wait for a writer, and a device may never end.
    if (info.exists() && !info.isDir() && !info.isFile())
        raiseNotRegular(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        raiseOpenFailure(file, path, false);
    if (file.size() > kMaxFileBytes)
        raiseTooLarge(path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fault::raise(fault::PathFileAccessError, QStringLiteral("Path/File access error: %1 (%2)")
                                                     .arg(path, file.errorString()));
    return bytes;
#else
    // Plain calls, as few as reading a file can take: datasets are read by the thousand.
    if (path.isEmpty())
        fault::raise(fault::BadFileName, QStringLiteral("Bad file name: \"%1\"").arg(path));
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        raiseSystemError(errno, path);
    if (S_ISDIR(st.st_mode))
        fault::raise(fault::PathFileAccessError, QStringLiteral("Path/File access error: %1 is a folder").arg(path));
    // Opening a pipe would wait for a writer, and a device may never end: neither is opened.
    if (!S_ISREG(st.st_mode))
        raiseNotRegular(path);
    if (st.st_size > kMaxFileBytes)
        raiseTooLarge(path);
    // Non-blocking, in case a pipe took the file's place since.
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        raiseSystemError(errno, path);
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    QByteArray bytes;
    // One byte more than the size: a read that fills it tells the file has grown.
    bytes.resize(qsizetype(st.st_size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > kMaxFileBytes)
                raiseTooLarge(path);
            bytes.resize(std::min<qsizetype>(got * 2 + 4096, kMaxFileBytes + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            raiseSystemError(errno, path);
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return bytes;
#endif
}

QStringList readLines(const QString& path, Encoding encoding)
{
    QStringList lines;
    // Each line decoded straight from the file's bytes: no copy of its bytes on the way.
    forEachLine(readBytes(path), [&](QByteArrayView line) {
        lines.append(encoding == Encoding::Utf8 ? QString::fromUtf8(line) : project::codepage::decode(line));
    });
    return lines;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    ++done.writes;
    QSaveFile file(path);
    if (path.isEmpty() || QFileInfo(path).isDir() || !file.open(QIODevice::WriteOnly))
        raiseOpenFailure(file, path, true);
    if (file.write(bytes) != bytes.size() || !file.commit())
        fault::raise(fault::PathFileAccessError, QStringLiteral("Path/File access error: %1 (%2)")
                                                     .arg(path, file.errorString()));
}

void writeLines(const QString& path, const QStringList& lines, Encoding encoding)
{
    QList<QByteArray> encoded;
    encoded.reserve(lines.size());
    for (const QString& line : lines)
        encoded.append(encoding == Encoding::Utf8 ? line.toUtf8() : project::codepage::encode(line));
    writeBytes(path, joinLines(encoded));
}

QStringList listFiles(const QString& folder)
{
    return listFiles(folder, [](const QString&) { return true; });
}

QStringList listFiles(const QString& folder, const std::function<bool(const QString&)>& keep)
{
    ++done.listings;
    QStringList names;
#ifdef Q_OS_WIN
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
    DIR* dir = folder.isEmpty() ? nullptr : ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        if (errno == EACCES || errno == EPERM)
            fault::raise(fault::PermissionDenied, QStringLiteral("Permission denied: %1").arg(folder));
        fault::raise(fault::PathNotFound, QStringLiteral("Path not found: %1").arg(folder));
    }
    const auto closeFolder = qScopeGuard([dir] { ::closedir(dir); });
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0)))
            continue;
        const QString name = QFile::decodeName(raw);
        if (!keep(name))
            continue;
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

bool fileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool folderExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

void createFolder(const QString& folder)
{
    ++done.writes;
    if (folder.isEmpty() || !QDir().mkpath(folder))
        fault::raise(fault::PathFileAccessError,
                     QStringLiteral("Path/File access error: cannot create folder %1").arg(folder));
}

void deleteFile(const QString& path)
{
    ++done.writes;
    if (!fileExists(path))
        fault::raise(fault::FileNotFound, QStringLiteral("File not found: %1").arg(path));
    QFile file(path);
    if (!file.remove())
        fault::raise(fault::PermissionDenied, QStringLiteral("Permission denied: %1 (%2)")
                                                  .arg(path, file.errorString()));
}

} // namespace project::textfile
