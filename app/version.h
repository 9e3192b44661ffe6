#pragma once
#include <QString>

namespace version {
inline constexpr int major = PLINTOR_VERSION_MAJOR;
inline constexpr int minor = PLINTOR_VERSION_MINOR;
inline constexpr int revision = PLINTOR_VERSION_REVISION;

/// "1.3.0": the project's version as CMake states it.
inline QString text() { return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision); }

/// "Plintor (1.3.0)".
inline QString caption() { return QStringLiteral("Plintor (%1)").arg(text()); }
} // namespace version
