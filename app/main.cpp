#include <QApplication>
#include <QStatusBar>
#include <cstdio>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "app/frmMAIN.h"
#include "ui/application.h"
#include "ui/screenfit.h"
#include "version.h"

namespace {
#ifdef Q_OS_WIN
/// A Windows GUI program has no console: what it prints (--help, --version, a refused option)
/// goes to the console of whoever started it, when there is one, and never into a box.
void printToTheParentConsole()
{
    const auto unset = [](DWORD which) {
        const HANDLE h = GetStdHandle(which);
        return h == nullptr || h == INVALID_HANDLE_VALUE;
    };
    // Handles already given (redirected to a file or a pipe) are kept as they are.
    if (!(unset(STD_OUTPUT_HANDLE) || unset(STD_ERROR_HANDLE)) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (unset(STD_OUTPUT_HANDLE))
        std::freopen("CONOUT$", "w", stdout);
    if (unset(STD_ERROR_HANDLE))
        std::freopen("CONOUT$", "w", stderr);
}
#endif

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
#ifdef Q_OS_WIN
    printToTheParentConsole();
#endif
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
    ui::fitToScreen(window);
    window.show();
    if (!options.notice.isEmpty())
        window.statusBar()->showMessage(options.notice, 60000);
    return QApplication::exec();
}
