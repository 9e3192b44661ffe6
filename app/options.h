#pragma once
#include <QString>
#include <QStringList>

/// What the command line asks for.
struct Options {
    QString project;  // a folder to open at start, as "&Open" would
    QString dataRoot; // where the data folders lie; empty: the program's folder + "/data"
    QString codePage; // the 8-bit code page of the project files; empty: windows-1253
};

/// Parses the arguments; --help and --version print and end the program, a bad value too.
Options parseOptions(const QStringList& arguments);

/// The data root the window uses: the option, or the program's folder + "/data".
QString dataRootFor(const Options& options);
