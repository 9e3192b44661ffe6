#pragma once
// What the file and the folder calls share, and nothing outside them uses.
#include <QString>
#include <atomic>

#ifndef Q_OS_WIN
#include <dirent.h>
#endif

#include "project/textfile.h"

namespace project::textfile::detail {

/// The counts counts() gives, added to as the calls go, from any thread: files are read on every core.
struct Tally {
    std::atomic<quint64> listings{0};
    std::atomic<quint64> reads{0};
    std::atomic<quint64> writes{0};
};
Tally& tally();

/// Raises 75, "Path/File access error: " and what went wrong.
[[noreturn]] void raiseAccessError(const QString& what);
/// The same for path, with the reason the system gave in brackets.
[[noreturn]] void raiseAccessError(const QString& path, const QString& reason);

#ifndef Q_OS_WIN
enum class ReadEnd { Whole, Failed, TooLarge };
/// Reads the open file fd, found at size bytes, whole into bytes, with one read when it is whole
/// at that size; a file grown since is read on up to limit bytes. Failed leaves errno as the
/// read set it.
ReadEnd readOpen(int fd, qsizetype size, qsizetype limit, QByteArray& bytes);
/// Opens folder to read its names; a folder that cannot be had is raised as "Path not found" or
/// "Permission denied", naming it. The caller closes it.
DIR* openFolder(const QString& folder);
#endif
/// name becomes raw as the system spells it; false when the system's file names cannot carry it
/// back (not valid in their encoding), so that it would open nothing. An ASCII name reads the same
/// in every locale and is widened in place, into the string the last name took.
bool decodeName(QString& name, const char* raw);

} // namespace project::textfile::detail
