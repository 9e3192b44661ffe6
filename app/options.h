#pragma once
#include <QString>
#include <QList>
#include <QStringList>
#include <QUrl>
#include <optional>

#include "remote/endpoint.h"

namespace app {

/// What the command line asks for.
struct Options {
    QString project;  // a folder to open at start, as "&Open" would
    QString dataRoot; // where the data folders lie; empty: chosen by dataRootFor
    QString codePage; // the 8-bit code page of the project files, as given or as chosen for the system
    QString notice;   // what the operator is told at start about the code page; empty: nothing
    std::optional<remote::Endpoint> oscListen; // where OSC control is heard; none: not at all
    QList<remote::Endpoint> oscFeedback;       // where the tally goes
    QUrl companion;                            // Companion's HTTP API; empty: none
};

/// Parses the arguments; --help and --version print and end the program, a bad value too.
Options parseOptions(const QStringList& arguments);

/// The data root, from what is known at start: the --data-root folder when one is given (absolute); else the
/// "data" folder beside the program when one stands there, so that a portable install keeps its datasets with it;
/// else the per-user data folder + "/data". Whether the program's folder can be written never decides it: root
/// can write anywhere. Pure: the caller looks at the disk.
QString chooseDataRoot(const QString& given, const QString& programFolder, bool dataBesideProgram,
                       const QString& userDataFolder);

/// The data root the window uses: chooseDataRoot over the option, the program's folder and
/// QStandardPaths::AppLocalDataLocation. Nothing is created here: a project's data folder is made when its datasets are
/// first listed.
QString dataRootFor(const Options& options);

} // namespace app
