#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

/// The one way the program reads, writes and deletes its files; folders are listed and created
/// by folders.h, lines cut and joined by textlines.h. Failures are raised as run-time failures
/// that name the path.
namespace project::textfile {

enum class Encoding { CodePage, Utf8 };

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

bool fileExists(const QString& path);
/// Whether the file at path is missing or was last written before the file at than.
bool missingOrOlder(const QString& path, const QString& than);
void deleteFile(const QString& path);

/// Calls observer with the path of each file the program writes or deletes, once it is done: what
/// keeps a file's contents hears of the program's own changes as they happen. Returns the number
/// stopObserving takes.
int observeWrites(std::function<void(const QString& path)> observer);
void stopObserving(int id);

/// What the module has done since the program started: folders listed, files read, and files
/// written, deleted or folders created. The tests and the benchmark count an action's reads by it.
struct Counts {
    quint64 listings = 0;
    quint64 reads = 0;
    quint64 writes = 0;
};
Counts counts();

} // namespace project::textfile
