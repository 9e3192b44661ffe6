#pragma once
#include <QString>

namespace version {
inline constexpr int major = PLINTOR_VERSION_MAJOR;
inline constexpr int minor = PLINTOR_VERSION_MINOR;
inline constexpr int revision = PLINTOR_VERSION_REVISION;

/// "Plintor (1.3.0)".
inline QString caption()
{
    return QStringLiteral("Plintor (%1.%2.%3)").arg(major).arg(minor).arg(revision);
}
} // namespace version
