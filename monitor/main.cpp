// plintor-monitor: a stand-in for the playout server on the operator's own machine.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

#include "monitor/monitor.h"
#include "project/commandline.h"
#include "version.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("plintor-monitor"));
    QCoreApplication::setApplicationVersion(version::text());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Stands in for the playout server: prints every command line it receives as the server reads it, "
        "and answers it."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("Listen on ADDRESS (default 127.0.0.1)."),
                                  QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Listen on PORT (default 5250; 0 picks a free one)."),
                                  QStringLiteral("PORT"), QStringLiteral("5250"));
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Also append every line received, byte for byte, to FILE."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption refuse(QStringLiteral("refuse"),
                                    QStringLiteral("Answer every line that holds TEXT (bytes, case-sensitive) as a "
                                                   "failed command, \"404 <COMMAND> FAILED\", as the server answers "
                                                   "an add of a missing template."),
                                    QStringLiteral("TEXT"));
    const QCommandLineOption channels(QStringLiteral("channels"),
                                      QStringLiteral("Stand in for a server of N channels, 1 to 99 (default 2)."),
                                      QStringLiteral("N"), QStringLiteral("2"));
    const QCommandLineOption mode(QStringLiteral("video-mode"),
                                  QStringLiteral("The video mode every channel runs, as the server names it "
                                                 "(default 1080i5000)."),
                                  QStringLiteral("MODE"), QStringLiteral("1080i5000"));
    parser.addOptions({host, port, log, refuse, channels, mode});
    project::commandline::process(parser, QCoreApplication::arguments());

    const QHostAddress address(parser.value(host));
    bool portOk = false;
    const uint portNumber = parser.value(port).toUInt(&portOk);
    if (address.isNull() || !portOk || portNumber > 65535) {
        std::fprintf(stderr, "plintor-monitor: --host takes an IP address and --port a number from 0 to 65535.\n");
        return 2;
    }

    if (parser.isSet(refuse) && parser.value(refuse).isEmpty()) {
        std::fprintf(stderr, "plintor-monitor: --refuse takes a text that the lines to refuse hold.\n");
        return 2;
    }

    monitor::Channels stage;
    bool channelsOk = false;
    stage.count = parser.value(channels).toInt(&channelsOk);
    stage.mode = parser.value(mode).toUtf8();
    const bool modeOk = !stage.mode.isEmpty() && std::all_of(stage.mode.begin(), stage.mode.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
    if (!channelsOk || stage.count < 1 || stage.count > 99 || !modeOk) {
        std::fprintf(stderr, "plintor-monitor: --channels takes a number from 1 to 99 and --video-mode a name of "
                             "letters and digits.\n");
        return 2;
    }

    QFile out;
#ifdef Q_OS_WIN
    _setmode(_fileno(stdout), _O_BINARY); // the printout's bytes as they are: its lines end in LF, as on Linux
#endif
    out.open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered); // the printout's own queue is the only buffer
    monitor::Monitor monitor(&out);
    monitor.refuse(parser.value(refuse).toUtf8());
    monitor.setChannels(stage);
    if (parser.isSet(log) && !monitor.openLog(parser.value(log))) {
        std::fprintf(stderr, "plintor-monitor: cannot write the log %s: %s\n", qPrintable(parser.value(log)),
                     qPrintable(monitor.errorString()));
        return 2;
    }
    if (!monitor.listen(address, quint16(portNumber))) {
        std::fprintf(stderr, "plintor-monitor: cannot listen on %s port %u: %s\n", qPrintable(address.toString()),
                     portNumber, qPrintable(monitor.errorString()));
        return 1;
    }
    std::printf("plintor-monitor listening on %s port %u (process %lld)\n", qPrintable(address.toString()),
                unsigned(monitor.port()), QCoreApplication::applicationPid());
    std::fflush(stdout);
    return QCoreApplication::exec();
}
