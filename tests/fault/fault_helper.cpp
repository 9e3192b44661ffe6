// A window in which a fault strikes where no step guard is armed: in a handler's unguarded
// statement ("handler"), the same with the handler raised by a step of another procedure
// ("nested"), or in toolkit code outside every handler ("toolkit"). The box prints
// what it was asked to stdout; "survived" is printed only if the program went on.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/frmMAIN.h"
#include "fault/faulting.h"
#include "scripted.h"
#include "ui/application.h"
#include "ui/dialogs.h"
#include "ui/dispatch.h"

namespace {
constexpr const char* kModule = "frmMAIN";
constexpr int LINE_BASE = 900;

void cmdTEST_Click()
{
    ARM_TRAP();
    writeThroughNull();
}

void raisesTheHandler()
{
    ARM_TRAP();
    STEP(ui::dispatch([] { cmdTEST_Click(); }));
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ui::setupApplication();
    if (argc < 3)
        return 2;
    redirectSettings(QString::fromLocal8Bit(argv[2]), SettingsStore::Kept);
    ScriptedDialogs box;
    box.printReports = true;
    ui::setDialogs(&box);
    app::Options options;
    options.dataRoot = QString::fromLocal8Bit(argv[2]);
    app::frmMAIN window(options);
    if (qstrcmp(argv[1], "handler") == 0)
        QTimer::singleShot(0, &window, [] { ui::dispatch([] { cmdTEST_Click(); }); });
    else if (qstrcmp(argv[1], "nested") == 0)
        QTimer::singleShot(0, &window, [] { ui::dispatch([] { raisesTheHandler(); }); });
    else
        QTimer::singleShot(0, &window, [] { writeThroughNull(); });
    QTimer::singleShot(0, &app, &QApplication::quit);
    QApplication::exec();
    std::puts("survived");
    return 0;
}
