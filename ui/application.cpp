#include "ui/application.h"

#include <QApplication>
#include <QFont>

#include "ui/dispatch.h"
#include "version.h"

namespace ui {

void setupApplication()
{
    QApplication::setApplicationName(QStringLiteral("Plintor"));
    QApplication::setApplicationVersion(version::text());
    QApplication::setDesktopFileName(QString::fromLatin1(version::appId)); // a Wayland shell finds the entry and icon by it
    QApplication::setStyle(QStringLiteral("Fusion"));
    QFont::insertSubstitution(QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    watchActions();
}

} // namespace ui
