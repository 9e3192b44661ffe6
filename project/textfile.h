#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

/// The one way the program reads and writes text files and touches folders. Failures are raised
/// as run-time failures that name the path.
namespace project::textfile {

enum class Encoding { CodePage, Utf8 };

/// Lines end at CR LF, a lone CR or a lone LF; a final line end gives no extra empty line.
QList<QByteArray> splitLines(const QByteArray& bytes);
/// The same lines, each handed to visit as a view into bytes.
template <class Visit> void forEachLine(QByteArrayView bytes, Visit&& visit)
{
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        visit(bytes.sliced(start, i - start));
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        visit(bytes.sliced(start));
}
/// Every line followed by CR LF.
QByteArray joinLines(const QList<QByteArray>& lines);

/// No card, dataset or playlist comes near this size; a larger file is refused, not read.
inline constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

/// The bytes of a regular file (a link to one too). Anything else (a pipe, a device) is
/// refused without being opened, and so is a file above kMaxFileBytes.
QByteArray readBytes(const QString& path);
QStringList readLines(const QString& path, Encoding encoding = Encoding::CodePage);

/// Replaces the file whole: the bytes go to a temporary file beside it that then takes its place,
/// so a failure in between leaves the old file as it was.
void writeBytes(const QString& path, const QByteArray& bytes);
void writeLines(const QString& path, const QStringList& lines, Encoding encoding = Encoding::CodePage);

/// The names of the regular files directly inside folder (links to them too), sorted by name
/// without regard to case. Pipes, devices and broken links are passed over like folders.
QStringList listFiles(const QString& folder);
/// The same names, only those that keep accepts, in the same order. A large folder is read
/// once and only the names kept are sorted.
QStringList listFiles(const QString& folder, const std::function<bool(const QString&)>& keep);
bool fileExists(const QString& path);
bool folderExists(const QString& path);
/// Creates folder and any missing parents.
void createFolder(const QString& folder);
void deleteFile(const QString& path);

/// What the module has done since the program started: folders listed, files read, and files
/// written, deleted or folders created. The tests and the benchmark count an action's reads by it.
struct Counts {
    quint64 listings = 0;
    quint64 reads = 0;
    quint64 writes = 0;
};
Counts counts();

} // namespace project::textfile
