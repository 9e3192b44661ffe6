// The program's window as the Companion module's tests drive it: arguments are the settings
// folder, the data root, the project folder, the OSC port, the tally's port and the server's port.
// It opens the project on the playlist page, connects, and takes commands on its input:
// "drag FROM TO" drags a row of the grid (rows count from 1) with the mouse, as an operator does.
#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSocketNotifier>
#include <QTest>
#include <cstdio>
#include <iostream>
#include <string>

#include "app/frmMAIN.h"
#include "scripted.h"
#include "settings.h"
#include "ui/application.h"
#include "ui/dialogs.h"

namespace {

void mouse(ui::Grid* grid, QEvent::Type type, int row, int col, Qt::MouseButtons held)
{
    QHeaderView* header = grid->horizontalHeader();
    const int x = header->sectionViewportPosition(col) + header->sectionSize(col) / 2;
    const QPoint at(x, grid->visualRect(grid->model()->index(row - 1, col)).center().y());
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, grid->viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &event);
}

void drag(ui::Grid* grid, int from, int to)
{
    mouse(grid, QEvent::MouseButtonPress, from, 2, Qt::LeftButton);
    for (int row = from; row != to;) {
        row += to > from ? 1 : -1;
        mouse(grid, QEvent::MouseMove, row, 2, Qt::LeftButton);
    }
    mouse(grid, QEvent::MouseButtonRelease, to, 1, {});
}

quint16 port(const char* text) { return quint16(QByteArray(text).toUShort()); }

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ui::setupApplication();
    if (argc < 7)
        return 2;
    redirectSettings(QString::fromLocal8Bit(argv[1]), SettingsStore::Kept);
    ScriptedDialogs answers;
    ui::setDialogs(&answers);
    app::Options options;
    options.dataRoot = QString::fromLocal8Bit(argv[2]);
    options.oscListen = remote::Endpoint{QHostAddress(QHostAddress::LocalHost), port(argv[4])};
    options.oscFeedback = {remote::Endpoint{QHostAddress(QHostAddress::LocalHost), port(argv[5])}};
    app::frmMAIN window(options);
    answers.folders.push_back(QString::fromLocal8Bit(argv[3]));
    window.findChild<QAction*>(QStringLiteral("mnuOPEN"))->trigger();
    window.show();
    window.findChild<ui::TabControl*>(QStringLiteral("tbMAIN"))->setTab(1);
    window.findChild<QLineEdit*>(QStringLiteral("txtGASPARPORT"))->setText(QString::fromLatin1(argv[6]));
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdGASPARCONNECT")), Qt::LeftButton);

    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::string line;
        if (!std::getline(std::cin, line)) {
            application.quit();
            return;
        }
        int from = 0, to = 0;
        if (std::sscanf(line.c_str(), "drag %d %d", &from, &to) == 2)
            drag(window.findChild<ui::Grid*>(QStringLiteral("vsPLAYLIST")), from, to);
        std::printf("done %s\n", line.c_str());
        std::fflush(stdout);
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return application.exec();
}
