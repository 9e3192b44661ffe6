#pragma once
// The programs' command lines.
#include <QCommandLineParser>
#include <QStringList>

namespace project::commandline {

/// Reads the options as QCommandLineParser::process does ("/?" taken as --help): --help and --version print and end the
/// program with status 0, an unknown option or a missing value prints why and ends it with 1.
/// What it prints goes to stdout and stderr, never into a message box (where Qt puts it on
/// Windows when the program has no console of its own, as a GUI program never has).
void process(QCommandLineParser& parser, const QStringList& arguments);

} // namespace project::commandline
