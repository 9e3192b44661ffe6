#include "app/options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

#include "project/codepage.h"
#include "project/textfile.h"

Options parseOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Operator client for the graphics playout server."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption project(QStringLiteral("project"), QStringLiteral("Open the project folder DIR at start."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption dataRoot(QStringLiteral("data-root"),
                                      QStringLiteral("Keep the data folders under DIR (default: the program's folder/data)."),
                                      QStringLiteral("DIR"));
    const QCommandLineOption codePage(QStringLiteral("codepage"),
                                      QStringLiteral("8-bit code page of the project files (default: windows-1253)."),
                                      QStringLiteral("NAME"));
    parser.addOptions({project, dataRoot, codePage});
    parser.process(arguments);

    Options options;
    options.project = parser.value(project);
    options.dataRoot = parser.value(dataRoot);
    options.codePage = parser.value(codePage);
    if (!options.codePage.isEmpty() && !codepage::select(options.codePage)) {
        std::fprintf(stderr, "plintor: \"%s\" is not a single-byte code page this system knows; the card, dataset "
                             "and playlist files need one byte per character (for example windows-1253).\n",
                     qPrintable(options.codePage));
        std::exit(2);
    }
    return options;
}

QString dataRootFor(const Options& options)
{
    if (!options.dataRoot.isEmpty())
        return QDir::toNativeSeparators(QDir(options.dataRoot).absolutePath());
    return textfile::join(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()), QStringLiteral("data"));
}
