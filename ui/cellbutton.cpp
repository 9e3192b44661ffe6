#include "ui/cellbutton.h"

namespace ui {

CellButton::CellButton(const QString& caption, QWidget* viewport) : QToolButton(viewport)
{
    setObjectName(QStringLiteral("cellButton"));
    setText(caption);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void CellButton::standAt(const QRect& cell)
{
    const int side = cell.height();
    setGeometry(cell.right() - side + 1, cell.top(), side, side);
    show();
    raise();
}

} // namespace ui
