#include "ui/application.h"

#include <QApplication>
#include <QFont>

namespace ui {

void setupApplication()
{
    QApplication::setApplicationName(QStringLiteral("Plintor"));
    QApplication::setApplicationVersion(QStringLiteral("1.3.0"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QFont::insertSubstitution(QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

} // namespace ui
