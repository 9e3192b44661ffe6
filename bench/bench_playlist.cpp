// Times the playlist page on a large project: the switch to "Play list" (the tree rebuilt from
// every dataset file) and loading a long playlist. Prints its figures.
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

#include "app/frmMAIN.h"
#include "project/mGENERAL.h"
#include "project/textfile.h"
#include "ui/application.h"

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::setupApplication();
    const int cards = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int datasets = argc > 2 ? std::atoi(argv[2]) : 20000;
    const int entries = argc > 3 ? std::atoi(argv[3]) : 2000;
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("config")));
    const QString project = dir.filePath(QStringLiteral("big"));
    const QString data = dir.filePath(QStringLiteral("data/big"));
    QDir().mkpath(project);
    QDir().mkpath(data);
    for (int c = 0; c < cards; ++c)
        textfile::writeLines(textfile::join(project, QStringLiteral("card%1.fti").arg(c)),
                             {QStringLiteral("TYPE:CARD"), QStringLiteral("CARDTITLE:Κάρτα %1").arg(c),
                              QStringLiteral("CHANNEL:1"), QStringLiteral("LAYER:%1").arg(c % 100),
                              QStringLiteral("INVOKE:in;out"), QStringLiteral("TAG:Όνομα;f0;0;text")});
    QStringList names;
    for (int d = 0; d < datasets; ++d) {
        names << QStringLiteral("card%1_%2.ftd").arg(d % cards).arg(d, 8, 10, QLatin1Char('0'));
        textfile::writeLines(textfile::join(data, names.last()),
                             {QStringLiteral("TITLE~Τίτλος %1").arg((d * 7919) % datasets), QStringLiteral("TAG~f0;τιμή")});
    }
    QStringList playlist;
    for (int e = 0; e < entries; ++e)
        playlist << names[(e * 37) % names.size()];
    textfile::writeLines(textfile::join(data, QStringLiteral("playlist.dat")), playlist);

    Options options;
    options.dataRoot = dir.filePath(QStringLiteral("data"));
    frmMAIN window(options);
    window.mnuOPEN_Click(project);
    window.show();

    const int runs = 5;
    QElapsedTimer timer;
    double switchMs = 0;
    double loadMs = 0;
    for (int i = 0; i < runs; ++i) {
        window.tbMAIN->setTab(0);
        window.vsPLAYLIST->setRows(0); // so that the switch loads the playlist too
        timer.start();
        window.tbMAIN->setTab(1);
        switchMs += double(timer.nsecsElapsed()) / 1e6;
        window.vsPLAYLIST->setRows(0);
        timer.start();
        mGENERAL::LOADPLAYLIST(window);
        loadMs += double(timer.nsecsElapsed()) / 1e6;
    }
    timer.start();
    mGENERAL::LOADTREELIST(window);
    const double treeMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("switch to \"Play list\" (tree + playlist): %d cards, %d datasets, %d entries: %.1f ms, mean of %d\n",
                cards, datasets, entries, switchMs / runs, runs);
    std::printf("tree alone: %.1f ms; playlist of %d entries alone: %.1f ms, mean of %d\n", treeMs, entries,
                loadMs / runs, runs);
    std::printf("rows %d, root nodes %d\n", window.vsPLAYLIST->rows(), window.trLIST->topLevelItemCount());
    return 0;
}
