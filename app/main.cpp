#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/frmMAIN.h"
#include "ui/application.h"
#include "ui/dispatch.h"
#include "version.h"

namespace {
bool haveDisplay()
{
#ifdef Q_OS_WIN
    return true;
#else
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#endif
}
} // namespace

int main(int argc, char* argv[])
{
    if (!haveDisplay()) {
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationVersion(version::text());
        app::parseOptions(QCoreApplication::arguments()); // --help and --version need no display
        std::fprintf(stderr, "plintor: there is no display to show the window on (DISPLAY is not set).\n"
                             "Start it from a desktop session, or under xvfb-run.\n");
        return 2;
    }
    QApplication app(argc, argv);
    ui::setupApplication();
    const app::Options options = app::parseOptions(QApplication::arguments());
    app::frmMAIN window(options);
    window.show();
    if (!options.project.isEmpty())
        QTimer::singleShot(0, &window, [&] { ui::dispatch([&] { window.mnuOPEN_Click(options.project); }); });
    return QApplication::exec();
}
