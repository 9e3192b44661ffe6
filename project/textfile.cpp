#include "project/textfile.h"

#include <algorithm>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "fault/runtimeerror.h"
#include "project/codepage.h"

namespace textfile {

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

} // namespace

QList<QByteArray> splitLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(bytes.mid(start));
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
    QFile file(path);
    const QFileInfo info(path);
    // Opening a pipe would wait for a writer, and a device may never end.
    if (info.exists() && !info.isDir() && !info.isFile())
        fault::raise(fault::PathFileAccessError,
                     QStringLiteral("Path/File access error: %1 is not a regular file").arg(path));
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        raiseOpenFailure(file, path, false);
    if (file.size() > kMaxFileBytes)
        fault::raise(fault::PathFileAccessError,
                     QStringLiteral("Path/File access error: %1 is larger than %2 MiB, more than any card, dataset "
                                    "or playlist holds")
                         .arg(path, QString::number(kMaxFileBytes / (1024 * 1024))));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fault::raise(fault::PathFileAccessError, QStringLiteral("Path/File access error: %1 (%2)")
                                                     .arg(path, file.errorString()));
    return bytes;
}

QStringList readLines(const QString& path, Encoding encoding)
{
    QStringList lines;
    for (const QByteArray& line : splitLines(readBytes(path)))
        lines.append(encoding == Encoding::Utf8 ? QString::fromUtf8(line) : codepage::decode(line));
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
        encoded.append(encoding == Encoding::Utf8 ? line.toUtf8() : codepage::encode(line));
    writeBytes(path, joinLines(encoded));
}

QStringList listFiles(const QString& folder)
{
    return listFiles(folder, [](const QString&) { return true; });
}

QStringList listFiles(const QString& folder, const std::function<bool(const QString&)>& keep)
{
    ++done.listings;
    if (folder.isEmpty() || !QDir(folder).exists())
        fault::raise(fault::PathNotFound, QStringLiteral("Path not found: %1").arg(folder));
    if (!QFileInfo(folder).isReadable())
        fault::raise(fault::PermissionDenied, QStringLiteral("Permission denied: %1").arg(folder));
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        // Only regular files (or links to one): a pipe would block the open, a device never ends.
        if (keep(name) && it.fileInfo().isFile())
            names.append(name);
    }
    // As QDir sorts by name without regard to case: case decides only between names equal without it.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int r = a.compare(b, Qt::CaseInsensitive);
        return r != 0 ? r < 0 : a < b;
    });
    return names;
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

QString lastComponent(const QString& path)
{
    qsizetype last = path.lastIndexOf(QDir::separator());
#ifdef Q_OS_WIN
    last = std::max(last, path.lastIndexOf(QLatin1Char('/')));
#endif
    return last < 0 ? path : path.mid(last + 1);
}

QString normalFolder(const QString& path)
{
    if (path.isEmpty())
        return path;
    QString clean = QDir::cleanPath(QDir(QDir::fromNativeSeparators(path)).absolutePath());
    // ".." at a root is the root itself.
    const qsizetype root = clean.indexOf(QLatin1Char('/')) + 1;
    while (root > 0 && clean.mid(root, 2) == QLatin1String("..") &&
           (clean.size() == root + 2 || clean.at(root + 2) == QLatin1Char('/')))
        clean.remove(root, clean.size() == root + 2 ? 2 : 3);
    return QDir::toNativeSeparators(clean);
}

QString join(const QString& folder, const QString& name)
{
    const QChar sep = QDir::separator();
    if (folder.endsWith(sep) || folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + sep + name;
}

} // namespace textfile
