// Times opening a large project: many cards with a hundred tags each. Prints its figures.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "app/frmMAIN.h"
#include "project/codepage.h"
#include "project/paths.h"
#include "project/textfile.h"
#include "scripted.h"
#include "settings.h"
#include "ui/application.h"

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::setupApplication();
    const int cards = argc > 1 ? std::atoi(argv[1]) : 500;
    QTemporaryDir dir;
    redirectSettings(dir.filePath(QStringLiteral("config")));
    const QString project = dir.filePath(QStringLiteral("big"));
    QDir().mkpath(project);
    for (int c = 0; c < cards; ++c) {
        QStringList lines{QStringLiteral("TYPE:CARD"), QStringLiteral("CARDTITLE:Κάρτα %1").arg(c),
                          QStringLiteral("CHANNEL:1"), QStringLiteral("LAYER:%1").arg(c % 100),
                          QStringLiteral("INVOKE:in;out")};
        for (int t = 1; t <= 100; ++t)
            lines << QStringLiteral("TAG:Πεδίο %1;f%1;0;text").arg(t);
        project::textfile::writeLines(project::paths::join(project, QStringLiteral("card%1.fti").arg(c)), lines);
    }
    app::Options options;
    options.dataRoot = dir.filePath(QStringLiteral("data"));
    app::frmMAIN window(options);
    ScriptScope answers; // the folder picker names the project, as the operator would
    QAction* const mnuOPEN = window.findChild<QAction*>(QStringLiteral("mnuOPEN"));
    const auto open = [&](const QString& folder) {
        answers.script.folders.push_back(folder);
        mnuOPEN->trigger();
    };
    const int runs = 5;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < runs; ++i)
        open(project);
    const double ms = double(timer.nsecsElapsed()) / 1e6 / runs;
    std::printf("open project: %d cards x 100 tags: %.1f ms per open (%.3f ms per card), mean of %d\n", cards, ms,
                ms / cards, runs);
    std::printf("card table: %zu bytes per card record\n", sizeof(project::CARD));

    // The largest card that is still read: one title line just under the size limit, opened
    // and painted in a shown window.
    const QString huge = dir.filePath(QStringLiteral("huge"));
    QDir().mkpath(huge);
    project::textfile::writeBytes(project::paths::join(huge, QStringLiteral("huge.fti")),
                         "CARDTITLE:" + QByteArray(int(project::textfile::kMaxFileBytes) - 64, 'x') + "\r\n");
    window.show();
    timer.restart();
    open(huge);
    window.repaint();
    std::printf("open and paint a %lld MiB one-line card: %.1f ms\n", project::textfile::kMaxFileBytes >> 20,
                double(timer.nsecsElapsed()) / 1e6);
    return 0;
}
