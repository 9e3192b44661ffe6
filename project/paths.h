#pragma once
// Paths as the program joins and cuts them.
#include <QByteArrayView>
#include <QString>

namespace project::paths {

/// The text after the last path separator ("/" and "\\" on Windows); the whole path without one.
QString lastComponent(const QString& path);
/// A folder path made whole and plain: absolute, the platform's separators, no "." or ".."
/// components, no trailing separator except at a root. The empty path stays empty.
QString normalFolder(const QString& path);
/// A file name as the system spells it, for a report: printable ASCII as it is, a backslash
/// doubled, every other byte as \xHH.
QString escapedName(QByteArrayView raw);
/// Joins a folder and a name with the platform's separator.
QString join(const QString& folder, const QString& name);

} // namespace project::paths
