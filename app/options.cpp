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
#include "remote/endpoint.h"

namespace app {

namespace {
[[noreturn]] void refuse(const QString& option, const QString& value, const char* wanted)
{
    std::fprintf(stderr, "plintor: %s \"%s\" is not %s.\n", qPrintable(option), qPrintable(value), wanted);
    std::exit(2);
}
} // namespace

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
                                      QStringLiteral("8-bit code page of the project files (default: the system's "
                                                     "on Windows when it is a single-byte one, else windows-1253)."),
                                      QStringLiteral("NAME"));
    const QCommandLineOption oscListen(QStringLiteral("osc-listen"),
                                       QStringLiteral("Take OSC control on UDP PORT (address default: 127.0.0.1)."),
                                       QStringLiteral("[ADDRESS:]PORT"));
    const QCommandLineOption oscFeedback(QStringLiteral("osc-feedback"),
                                         QStringLiteral("Send the tally over OSC to HOST:PORT (repeatable)."),
                                         QStringLiteral("HOST:PORT"));
    const QCommandLineOption companion(QStringLiteral("companion"),
                                       QStringLiteral("Set Companion's custom variables through its HTTP API at URL "
                                                      "(for example http://127.0.0.1:8000)."),
                                       QStringLiteral("URL"));
    parser.addOptions({project, dataRoot, codePage, oscListen, oscFeedback, companion});
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
    if (options.codePage.isEmpty()) {
        project::codepage::Choice choice = project::codepage::systemDefault();
        if (!project::codepage::select(choice.name)) {
            choice.notice = QStringLiteral("The system's code page, %1, is not known here: the card, dataset and playlist "
                                           "files are read as windows-1253 (--codepage chooses another).")
                                .arg(choice.name);
            choice.name = QStringLiteral("windows-1253");
            project::codepage::select(choice.name);
        }
        options.codePage = choice.name;
        options.notice = choice.notice;
        if (!options.notice.isEmpty())
            std::fprintf(stderr, "plintor: %s\n", qPrintable(options.notice));
    }
    if (parser.isSet(oscListen)) {
        options.oscListen = remote::parseListen(parser.value(oscListen));
        if (!options.oscListen)
            refuse(QStringLiteral("--osc-listen"), parser.value(oscListen),
                   "[ADDRESS:]PORT, a numeric address and a port from 1 to 65535 (for example 9000 or 0.0.0.0:9000)");
    }
    for (const QString& target : parser.values(oscFeedback)) {
        const std::optional<remote::Endpoint> endpoint = remote::parseTarget(target);
        if (!endpoint)
            refuse(QStringLiteral("--osc-feedback"), target,
                   "HOST:PORT, a numeric address or localhost and a port from 1 to 65535 (for example 127.0.0.1:12321)");
        options.oscFeedback.append(*endpoint);
    }
    if (parser.isSet(companion)) {
        options.companion = QUrl(parser.value(companion), QUrl::StrictMode);
        const QString scheme = options.companion.scheme();
        if (!options.companion.isValid() || options.companion.host().isEmpty() ||
            (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
            refuse(QStringLiteral("--companion"), parser.value(companion),
                   "an http:// or https:// URL with a host (for example http://127.0.0.1:8000)");
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
