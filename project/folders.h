#pragma once
// The folders the program lists and creates. Failures are raised as run-time failures that name
// the folder.
#include <QString>
#include <QStringList>
#include <functional>

namespace project::textfile {

/// The names of the regular files directly inside folder (links to them too), sorted by name
/// without regard to case. Pipes, devices and broken links are passed over like folders.
QStringList listFiles(const QString& folder);
/// The same names, only those that keep accepts, in the same order. A large folder is read
/// once and only the names kept are sorted.
QStringList listFiles(const QString& folder, const std::function<bool(const QString&)>& keep);
bool folderExists(const QString& path);
/// Creates folder and any missing parents.
void createFolder(const QString& folder);

} // namespace project::textfile
