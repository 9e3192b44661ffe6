#include "app/options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>

#include "project/codepage.h"
#include "project/commandline.h"
#include "project/paths.h"
#include "project/textfile.h"

namespace app {

Options parseOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Operator client for the graphics playout server."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption project(QStringLiteral("project"), QStringLiteral("Open the project folder DIR at start."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption dataRoot(QStringLiteral("data-root"),
                                      QStringLiteral("Keep the data folders under DIR (default: a data folder beside the "
                                                     "program if there is one, else the per-user data folder/data)."),
                                      QStringLiteral("DIR"));
    const QCommandLineOption codePage(QStringLiteral("codepage"),
                                      QStringLiteral("8-bit code page of the project files (default: windows-1253)."),
                                      QStringLiteral("NAME"));
    parser.addOptions({project, dataRoot, codePage});
    project::commandline::process(parser, arguments);

    Options options;
    options.project = parser.value(project);
    options.dataRoot = parser.value(dataRoot);
    options.codePage = parser.value(codePage);
    if (!options.codePage.isEmpty() && !project::codepage::select(options.codePage)) {
        std::fprintf(stderr, "plintor: \"%s\" is not a single-byte code page this system knows; the card, dataset "
                             "and playlist files need one byte per character (for example windows-1253).\n",
                     qPrintable(options.codePage));
        std::exit(2);
    }
    return options;
}

QString chooseDataRoot(const QString& given, const QString& programFolder, bool dataBesideProgram,
                       const QString& userDataFolder)
{
    if (!given.isEmpty())
        return QDir::toNativeSeparators(given);
    const QString home = dataBesideProgram ? programFolder : userDataFolder;
    return project::paths::join(QDir::toNativeSeparators(home), QStringLiteral("data"));
}

QString dataRootFor(const Options& options)
{
    const QString given = options.dataRoot.isEmpty() ? QString() : QDir(options.dataRoot).absolutePath();
    const QString programFolder = QCoreApplication::applicationDirPath();
    return chooseDataRoot(given, programFolder, QFileInfo(programFolder + QStringLiteral("/data")).isDir(),
                          QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

} // namespace app
