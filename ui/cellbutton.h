#pragma once
#include <QToolButton>

namespace ui {

/// The button the cells of a column show while they are in the current row: a small square at
/// the right end of the cell, over its text. It never takes the focus, so the grid keeps it.
class CellButton : public QToolButton {
    Q_OBJECT
public:
    /// A hidden button with this caption on viewport, the grid's own.
    CellButton(const QString& caption, QWidget* viewport);
    /// Stands at the right end of cell, as wide as the cell is high, in front of the cells.
    void standAt(const QRect& cell);
};

} // namespace ui
