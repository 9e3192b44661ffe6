#pragma once
// The folders the program lists and creates. Failures are raised as run-time failures that name
// the folder.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace project::textfile {

/// The names of the regular files directly inside folder (links to them too), sorted by name
/// without regard to case. Pipes, devices and broken links are passed over like folders, and so
/// is a name the system's file names cannot carry back (not valid in their encoding): it would
/// open nothing. Such names go to unnamed when it is given, as the system spells them.
QStringList listFiles(const QString& folder, QList<QByteArray>* unnamed = nullptr);
/// The same names, only those that keep accepts, in the same order. A large folder is read
/// once and only the names kept are sorted.
QStringList listFiles(const QString& folder, const std::function<bool(const QString&)>& keep,
                      QList<QByteArray>* unnamed = nullptr);
/// names sorted as listFiles sorts what it lists.
QStringList sortedAsListed(QStringList names);
/// Whether a comes before b in the order listFiles gives.
bool listedBefore(const QString& a, const QString& b);
bool folderExists(const QString& path);
/// Creates folder and any missing parents.
void createFolder(const QString& folder);

} // namespace project::textfile
