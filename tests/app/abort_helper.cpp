// A window whose operator answers Abort to the first report: args are the settings folder, the
// data root and a project folder to open. Prints "survived" only if Abort did not end it.
#include <QAction>
#include <QApplication>
#include <cstdio>

#include "app/frmMAIN.h"
#include "scripted.h"
#include "ui/application.h"
#include "ui/dialogs.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ui::setupApplication();
    if (argc < 4)
        return 2;
    redirectSettings(QString::fromLocal8Bit(argv[1]), SettingsStore::Kept);
    ScriptedDialogs abortAlways;
    abortAlways.unscripted = fault::Answer::Abort;
    ui::setDialogs(&abortAlways);
    app::Options options;
    options.dataRoot = QString::fromLocal8Bit(argv[2]);
    {
        app::frmMAIN window(options);
        abortAlways.folders.push_back(QString::fromLocal8Bit(argv[3]));
        window.findChild<QAction*>(QStringLiteral("mnuOPEN"))->trigger();
        window.close();
    }
    std::puts("survived");
    return 0;
}
