#pragma once
// What the file and the folder calls share, and nothing outside them uses.
#include <QString>

#include "project/textfile.h"

namespace project::textfile::detail {

/// The counts counts() gives, added to as the calls go.
Counts& tally();

/// Raises 75, "Path/File access error: " and what went wrong.
[[noreturn]] void raiseAccessError(const QString& what);
/// The same for path, with the reason the system gave in brackets.
[[noreturn]] void raiseAccessError(const QString& path, const QString& reason);

} // namespace project::textfile::detail
