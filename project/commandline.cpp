#include "project/commandline.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace project::commandline {

namespace {
[[noreturn]] void printAndEnd(std::FILE* to, const QString& text, int status)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
    std::exit(status);
}
} // namespace

void process(QCommandLineParser& parser, const QStringList& given)
{
    // "/?" asks for help on Windows; no option value or folder name is ever "/?" alone.
    QStringList arguments = given;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (arguments[i] == QLatin1String("/?"))
            arguments[i] = QStringLiteral("--help");
    if (!parser.parse(arguments))
        printAndEnd(stderr, QCoreApplication::applicationName() + QStringLiteral(": ") + parser.errorText() +
                                QLatin1Char('\n'),
                    EXIT_FAILURE);
    if (parser.isSet(QStringLiteral("help")))
        printAndEnd(stdout, parser.helpText(), EXIT_SUCCESS);
    if (parser.isSet(QStringLiteral("version")))
        printAndEnd(stdout,
                    QCoreApplication::applicationName() + QLatin1Char(' ') +
                        QCoreApplication::applicationVersion() + QLatin1Char('\n'),
                    EXIT_SUCCESS);
}

} // namespace project::commandline
