#include "project/textfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>

#include "fault/runtimeerror.h"
#include "project/codepage.h"
#include "project/textfile_p.h"
#include "project/textlines.h"

namespace project::textfile {

namespace detail {

Tally& tally()
{
    static Tally done;
    return done;
}

namespace {
struct Observers {
    int last = 0;
    std::vector<std::pair<int, std::function<void(const QString&)>>> list;
};
// Never freed: the caches that observe are statics too, and may go after it at exit.
Observers& observers()
{
    static auto* all = new Observers;
    return *all;
}
// The observers hear of a change that is done, whether or not the call then raises.
void changed(const QString& path)
{
    for (const auto& [id, observer] : observers().list)
        observer(path);
}
} // namespace

void raiseAccessError(const QString& what)
{
    fault::raise(fault::PathFileAccessError, QStringLiteral("Path/File access error: ") + what);
}

void raiseAccessError(const QString& path, const QString& reason)
{
    raiseAccessError(path + QStringLiteral(" (") + reason + QLatin1Char(')'));
}

} // namespace detail

namespace {

[[noreturn]] void raiseIsFolder(const QString& path) { detail::raiseAccessError(path + QStringLiteral(" is a folder")); }

[[noreturn]] void raiseNotRegular(const QString& path)
{
    detail::raiseAccessError(path + QStringLiteral(" is not a regular file"));
}

[[noreturn]] void raiseTooLarge(const QString& path)
{
    detail::raiseAccessError(QStringLiteral("%1 is larger than %2 MiB, more than any card, dataset or playlist holds")
                                 .arg(path, QString::number(kMaxFileBytes / (1024 * 1024))));
}

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
        raiseIsFolder(path);
    if (file.error() == QFileDevice::PermissionsError)
        fault::raise(fault::PermissionDenied, QStringLiteral("Permission denied: %1").arg(path));
    detail::raiseAccessError(path, file.errorString());
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
        detail::raiseAccessError(path, QString::fromLocal8Bit(std::strerror(error)));
    }
}
#endif

} // namespace

Counts counts()
{
    const detail::Tally& done = detail::tally();
    return {done.listings.load(), done.reads.load(), done.writes.load()};
}

int observeWrites(std::function<void(const QString& path)> observer)
{
    detail::Observers& all = detail::observers();
    all.list.emplace_back(++all.last, std::move(observer));
    return all.last;
}

void stopObserving(int id)
{
    auto& list = detail::observers().list;
    list.erase(std::remove_if(list.begin(), list.end(), [id](const auto& o) { return o.first == id; }), list.end());
}

QByteArray readBytes(const QString& path)
{
    ++detail::tally().reads;
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
        detail::raiseAccessError(path, file.errorString());
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
        raiseIsFolder(path);
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
    switch (detail::readOpen(fd, qsizetype(st.st_size), kMaxFileBytes, bytes)) {
    case detail::ReadEnd::Whole: break;
    case detail::ReadEnd::TooLarge: raiseTooLarge(path);
    case detail::ReadEnd::Failed: raiseSystemError(errno, path);
    }
    return bytes;
#endif
}

#ifndef Q_OS_WIN
detail::ReadEnd detail::readOpen(int fd, qsizetype size, qsizetype limit, QByteArray& bytes)
{
    // One byte more than the size: a read that fills it tells the file has grown.
    bytes.resize(size + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > limit)
                return ReadEnd::TooLarge;
            bytes.resize(std::min<qsizetype>(got * 2 + 4096, limit + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadEnd::Failed;
        if (n == 0)
            break;
        got += n;
        // Short of the spare byte, at the size the file was found with: it has been read whole,
        // and the read that would say so is saved, once for each of thousands of datasets.
        if (got == size && got > 0)
            break;
    }
    bytes.truncate(got);
    return ReadEnd::Whole;
}
#endif

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
    ++detail::tally().writes;
    QSaveFile file(path);
    if (path.isEmpty() || QFileInfo(path).isDir() || !file.open(QIODevice::WriteOnly))
        raiseOpenFailure(file, path, true);
    if (file.write(bytes) != bytes.size() || !file.commit())
        detail::raiseAccessError(path, file.errorString());
    detail::changed(path);
}

void writeLines(const QString& path, const QStringList& lines, Encoding encoding)
{
    QList<QByteArray> encoded;
    encoded.reserve(lines.size());
    for (const QString& line : lines)
        encoded.append(encoding == Encoding::Utf8 ? line.toUtf8() : project::codepage::encode(line));
    writeBytes(path, joinLines(encoded));
}

bool fileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool missingOrOlder(const QString& path, const QString& than)
{
    const QFileInfo info(path);
    return !info.exists() || info.isDir() || info.lastModified() < QFileInfo(than).lastModified();
}

void deleteFile(const QString& path)
{
    ++detail::tally().writes;
    if (!fileExists(path))
        fault::raise(fault::FileNotFound, QStringLiteral("File not found: %1").arg(path));
    QFile file(path);
    if (!file.remove())
        fault::raise(fault::PermissionDenied, QStringLiteral("Permission denied: %1 (%2)")
                                                  .arg(path, file.errorString()));
    detail::changed(path);
}

} // namespace project::textfile
