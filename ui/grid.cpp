#include "ui/grid.h"

#include <QSignalBlocker>

#include <QHeaderView>
#include <QMouseEvent>
#include <QMetaProperty>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolButton>

#include "fault/runtimeerror.h"
#include "ui/colors.h"

namespace ui {

namespace {
// Cell data beyond Qt's own roles. A row's frame lives in its column-0 cell, so it goes with it.
enum Role : int { PictureRole = Qt::UserRole + 1, BorderRole };

short buttonCode(Qt::MouseButtons buttons) { return short(int(buttons)); }

short shiftCode(Qt::KeyboardModifiers modifiers)
{
    return short((modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
                 (modifiers & Qt::AltModifier ? 4 : 0));
}
} // namespace

/// Raises the grid's editing events around Qt's own editing.
class EditDelegate : public QStyledItemDelegate {
public:
    explicit EditDelegate(Grid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        bool cancel = false;
        emit grid_->beforeEdit(index.row() + grid_->fixedRows_, index.column(), cancel);
        return cancel ? nullptr : QStyledItemDelegate::createEditor(parent, option, index);
    }

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        // No cell shows more than a screen's width of text; laying out the whole of a huge one to
        // elide it would hold the window for seconds on every paint.
        constexpr qsizetype kShown = 1000;
        if (option->text.size() > kShown)
            option->text.truncate(kShown);
        if (grid_->centredCols_.contains(index.column()))
            option->displayAlignment = Qt::AlignCenter;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QPixmap picture = index.data(PictureRole).value<QPixmap>();
        if (picture.isNull())
            return;
        const QSize size = picture.deviceIndependentSize().toSize();
        QRect at(QPoint(), size);
        at.moveCenter(option.rect.center());
        painter->drawPixmap(at, picture);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        // A box raised while validating takes the focus from the editor, which commits again.
        if (committing_)
            return;
        committing_ = true;
        const QByteArray property = editor->metaObject()->userProperty().name();
        grid_->editText_ = editor->property(property.constData()).toString();
        const int row = index.row() + grid_->fixedRows_;
        bool cancel = false;
        emit grid_->validateEdit(row, index.column(), cancel);
        if (!cancel) {
            grid_->setTextMatrix(row, index.column(), grid_->editText_);
            emit grid_->afterEdit(row, index.column());
        }
        Q_UNUSED(model);
        grid_->editText_.clear();
        committing_ = false;
    }

private:
    Grid* grid_;
    mutable bool committing_ = false;
};

Grid::Grid(const QString& name, const Behaviour& behaviour, QWidget* parent)
    : QTableWidget(parent), behaviour_(behaviour)
{
    setObjectName(name);
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPointSizeF(11.25);
    setFont(font);
    horizontalHeader()->setFont(font);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(pixels(350));
    verticalHeader()->setDefaultSectionSize(pixels(350));
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(behaviour.headerSort);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWordWrap(false);
    setTextElideMode(behaviour.ellipsis ? Qt::ElideRight : Qt::ElideNone);
    setEditTriggers(behaviour.editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                             QAbstractItemView::AnyKeyPressed
                                       : QAbstractItemView::NoEditTriggers);

    QPalette pal = palette();
    if (behaviour.rowSelection) {
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(QAbstractItemView::SingleSelection);
        for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
            pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    } else {
        setSelectionBehavior(QAbstractItemView::SelectItems);
        setSelectionMode(QAbstractItemView::ContiguousSelection);
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            pal.setColor(group, QPalette::Highlight, Qt::transparent);
            pal.setColor(group, QPalette::HighlightedText, pal.color(group, QPalette::Text));
        }
    }
    setPalette(pal);
    setAppearance(2);

    if (behaviour.mouseEvents) {
        // Only the handlers move the view's current cell; it must not scroll the rows under the pointer.
        setAutoScroll(false);
        viewport()->setMouseTracking(true);
        horizontalHeader()->viewport()->setMouseTracking(true);
        horizontalHeader()->viewport()->installEventFilter(this);
    }

    setItemDelegate(new EditDelegate(this));
    cellButton_ = new QToolButton(viewport());
    cellButton_->setObjectName(QStringLiteral("cellButton"));
    cellButton_->setText(kCellButton);
    cellButton_->setFocusPolicy(Qt::NoFocus);
    cellButton_->hide();
    connect(cellButton_, &QToolButton::clicked, this, [this] {
        for (auto it = comboLists_.cbegin(); it != comboLists_.cend(); ++it)
            if (it.value() == kCellButton && row() > 0) {
                emit cellButtonClick(row(), it.key());
                return;
            }
    });

    connect(this, &QTableWidget::currentCellChanged, this, [this](int r, int c, int pr, int pc) {
        placeCellButton();
        if (r != pr || c != pc) {
            emit rowColChange();
            emit enterCell();
        }
    });
    const auto changed = [this] { ++changes_; };
    QAbstractItemModel* cells = model();
    modelWatch_ << connect(cells, &QAbstractItemModel::dataChanged, this, changed);
    modelWatch_ << connect(cells, &QAbstractItemModel::headerDataChanged, this, changed);
    modelWatch_ << connect(cells, &QAbstractItemModel::rowsInserted, this, changed);
    modelWatch_ << connect(cells, &QAbstractItemModel::rowsRemoved, this, changed);
    modelWatch_ << connect(cells, &QAbstractItemModel::rowsMoved, this, changed);
    modelWatch_ << connect(cells, &QAbstractItemModel::columnsInserted, this, changed);
    modelWatch_ << connect(cells, &QAbstractItemModel::columnsRemoved, this, changed);
    modelWatch_ << connect(cells, &QAbstractItemModel::layoutChanged, this, changed);
    modelWatch_ << connect(cells, &QAbstractItemModel::modelReset, this, changed);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeCellButton(); });
    connect(this, &QTableWidget::cellClicked, this, [this] { emit click(); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) {
        if (behaviour_.headerSort)
            sortByHeader(c);
    });
}

Grid::~Grid()
{
    // The table's own teardown empties the model after this part of the grid is gone.
    for (const QMetaObject::Connection& watch : std::as_const(modelWatch_))
        disconnect(watch);
}

void Grid::setRows(int rows)
{
    rows = std::max(rows, 0);
    if (rows < fixedRows_)
        setFixedRows(rows);
    setRowCount(rows - fixedRows_);
}

void Grid::setCols(int cols)
{
    const int before = columnCount();
    setColumnCount(std::max(cols, 0));
    for (int c = before; c < columnCount(); ++c)
        setHorizontalHeaderItem(c, new QTableWidgetItem());
}

void Grid::setFixedRows(int fixedRows)
{
    fixedRows = std::clamp(fixedRows, 0, 1);
    if (fixedRows == fixedRows_)
        return;
    const int total = rows();
    fixedRows_ = fixedRows;
    horizontalHeader()->setVisible(fixedRows_ == 1);
    setRowCount(std::max(total - fixedRows_, 0));
}

QTableWidgetItem* Grid::cell(int row, int col, bool create)
{
    if (row < fixedRows_) {
        QTableWidgetItem* header = horizontalHeaderItem(col);
        if (!header && create)
            setHorizontalHeaderItem(col, header = new QTableWidgetItem());
        return header;
    }
    QTableWidgetItem* it = item(row - fixedRows_, col);
    if (!it && create) {
        it = new QTableWidgetItem();
        if (!behaviour_.editable)
            it->setFlags(it->flags() & ~Qt::ItemIsEditable);
        setItem(row - fixedRows_, col, it);
    }
    return it;
}

QString Grid::textMatrix(int row, int col) const
{
    checkCell(row, col);
    const QTableWidgetItem* it = row < fixedRows_ ? horizontalHeaderItem(col) : item(row - fixedRows_, col);
    return it ? it->text() : QString();
}

void Grid::setTextMatrix(int row, int col, const QString& text)
{
    checkCell(row, col);
    cell(row, col, true)->setText(text);
}

void Grid::checkCell(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= columnCount())
        fault::raise(fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range: cell %1, %2 of %3 (%4 rows, %5 columns)")
                                                     .arg(row).arg(col).arg(objectName()).arg(rows()).arg(columnCount()));
}

void Grid::addItem(const QString& text) { addItem(text.split(QLatin1Char('\t'))); }

void Grid::addItem(const QStringList& cells)
{
    const int r = rowCount();
    setRowCount(r + 1);
    const int filled = std::min<int>(columnCount(), int(cells.size()));
    if (filled == 0)
        return;
    {
        // The new row's cells go in quietly and are announced once: a grid filled by the
        // thousand rows would otherwise repeat each cell's news twice.
        const QSignalBlocker quiet(model());
        for (int c = 0; c < filled; ++c) {
            auto* it = new QTableWidgetItem(cells[c]);
            if (!behaviour_.editable)
                it->setFlags(it->flags() & ~Qt::ItemIsEditable);
            setItem(r, c, it);
        }
    }
    emit model()->dataChanged(model()->index(r, 0), model()->index(r, filled - 1));
}

void Grid::moveRow(int from, int to)
{
    checkCell(from, 0);
    checkCell(to, 0);
    if (from < fixedRows_ || to < fixedRows_)
        fault::raise(fault::SubscriptOutOfRange,
                     QStringLiteral("Subscript out of range: the header row of %1 cannot move").arg(objectName()));
    if (from == to)
        return;
    QList<QTableWidgetItem*> cells;
    for (int c = 0; c < columnCount(); ++c)
        cells.append(takeItem(from - fixedRows_, c));
    removeRow(from - fixedRows_);
    insertRow(to - fixedRows_);
    for (int c = 0; c < columnCount(); ++c)
        if (cells[c])
            setItem(to - fixedRows_, c, cells[c]);
}

void Grid::removeItem(int row)
{
    if (row >= fixedRows_ && row < rows())
        removeRow(row - fixedRows_);
}

int Grid::row() const { return currentRow() < 0 ? 0 : currentRow() + fixedRows_; }

void Grid::setRow(int row)
{
    if (row < fixedRows_ || row >= rows())
        fault::raise(fault::SubscriptOutOfRange,
                     QStringLiteral("Subscript out of range: row %1 of %2 (%3 rows)").arg(row).arg(objectName()).arg(rows()));
    int col = currentColumn();
    if (pendingCol_ >= 0 && pendingCol_ < columnCount())
        col = pendingCol_;
    else {
        // The keyboard cannot move on from a hidden column: stay in the first one shown.
        col = std::max(col, 0);
        while (col + 1 < columnCount() && isColumnHidden(col))
            ++col;
    }
    pendingCol_ = -1;
    setCurrentCell(row - fixedRows_, col);
    rowSel_ = row;
    colSel_ = col;
}

int Grid::col() const { return std::max(currentColumn(), 0); }

void Grid::setCol(int col)
{
    if (col < 0 || col >= columnCount())
        return;
    if (currentRow() < 0) {
        pendingCol_ = col;
        return;
    }
    setCurrentCell(currentRow(), col);
    colSel_ = col;
}

void Grid::setColHidden(int col, bool hidden) { setColumnHidden(col, hidden); }

void Grid::setColWidth(int col, int twips) { setColumnWidth(col, pixels(twips)); }

int Grid::colWidth(int col) const { return columnWidth(col) * 15; }

void Grid::setExtendLastCol(bool extend) { horizontalHeader()->setStretchLastSection(extend); }

void Grid::setColCentred(int col)
{
    if (!centredCols_.contains(col))
        centredCols_.append(col);
    viewport()->update();
}

quint32 Grid::cellBackColor(int row, int col) const
{
    checkCell(row, col);
    const QTableWidgetItem* it = row < fixedRows_ ? nullptr : item(row - fixedRows_, col);
    const QVariant brush = it ? it->data(Qt::BackgroundRole) : QVariant();
    return brush.isValid() ? vbValue(brush.value<QBrush>().color()) : 0;
}

void Grid::setCellBackColor(int row, int col, quint32 value) { setCellBackColor(row, col, row, col, value); }

void Grid::setCellBackColor(int row1, int col1, int row2, int col2, quint32 value)
{
    checkCell(row1, col1);
    checkCell(row2, col2);
    const QBrush brush(vbColor(value));
    for (int r = std::max(std::min(row1, row2), fixedRows_); r <= std::max(row1, row2); ++r)
        for (int c = std::min(col1, col2); c <= std::max(col1, col2); ++c)
            cell(r, c, true)->setData(Qt::BackgroundRole, brush);
}

void Grid::setCellPicture(int row, int col, const QPixmap& picture)
{
    checkCell(row, col);
    cell(row, col, true)->setData(PictureRole, picture.isNull() ? QVariant() : QVariant(picture));
}

QPixmap Grid::cellPicture(int row, int col) const
{
    checkCell(row, col);
    const QTableWidgetItem* it = row < fixedRows_ ? nullptr : item(row - fixedRows_, col);
    return it ? it->data(PictureRole).value<QPixmap>() : QPixmap();
}

void Grid::setCellBorder(quint32 colour, int left, int top, int right, int bottom, int vertical, int horizontal)
{
    Q_UNUSED(vertical);
    Q_UNUSED(horizontal);
    const bool none = left == 0 && top == 0 && right == 0 && bottom == 0;
    const QVariant border =
        none ? QVariant() : QVariant::fromValue(QList<int>{int(colour), left, top, right, bottom, std::min(col(), colSel_),
                                                std::max(col(), colSel_)});
    const int first = std::max(std::min(row(), rowSel_), fixedRows_);
    const int last = std::min(std::max(row(), rowSel_), rows() - 1);
    for (int r = first; r <= last; ++r)
        cell(r, 0, true)->setData(BorderRole, border);
    viewport()->update();
}

bool Grid::cellBorder(int row, quint32* colour, QList<int>* widths) const
{
    checkCell(row, 0);
    const QTableWidgetItem* it = row < fixedRows_ ? nullptr : item(row - fixedRows_, 0);
    const QList<int> border = it ? it->data(BorderRole).value<QList<int>>() : QList<int>();
    if (border.size() < 5)
        return false;
    if (colour)
        *colour = quint32(border[0]);
    if (widths)
        *widths = border.mid(1, 4);
    return true;
}

void Grid::setDragDisplay(int mode)
{
    dragDisplay_ = mode;
    if (mode == 1)
        viewport()->setCursor(Qt::ClosedHandCursor);
    else
        viewport()->unsetCursor();
}

void Grid::paintEvent(QPaintEvent* event)
{
    QTableWidget::paintEvent(event);
    if (rowCount() == 0 || columnCount() == 0)
        return;
    const int top = std::max(rowAt(0), 0);
    int bottom = rowAt(viewport()->height() - 1);
    if (bottom < 0)
        bottom = rowCount() - 1;
    QPainter painter(viewport());
    for (int r = top; r <= bottom; ++r) {
        const QTableWidgetItem* it = item(r, 0);
        const QList<int> border = it ? it->data(BorderRole).value<QList<int>>() : QList<int>();
        if (border.size() < 7)
            continue;
        QRect frame;
        for (int c = border[5]; c <= border[6] && c < columnCount(); ++c)
            if (!isColumnHidden(c))
                frame = frame.united(visualRect(model()->index(r, c)));
        if (frame.isEmpty())
            continue;
        const QColor colour = vbColor(quint32(border[0]));
        painter.fillRect(frame.left(), frame.top(), border[1], frame.height(), colour);
        painter.fillRect(frame.left(), frame.top(), frame.width(), border[2], colour);
        painter.fillRect(frame.right() + 1 - border[3], frame.top(), border[3], frame.height(), colour);
        painter.fillRect(frame.left(), frame.bottom() + 1 - border[4], frame.width(), border[4], colour);
    }
}

void Grid::setAppearance(int appearance)
{
    appearance_ = appearance;
    if (appearance == 1) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    } else {
        setFrameStyle(QFrame::Panel | QFrame::Plain);
        setLineWidth(1);
    }
}

void Grid::raiseMouse(Mouse kind, const QMouseEvent* event, const QPoint& inGrid, bool inHeader)
{
    const QPoint inViewport = viewport()->mapFrom(this, inGrid);
    if (inHeader) {
        mouseRow_ = fixedRows_ == 1 ? 0 : -1;
        mouseCol_ = horizontalHeader()->logicalIndexAt(inViewport.x());
    } else {
        const int r = rowAt(inViewport.y());
        const int c = columnAt(inViewport.x());
        mouseRow_ = r < 0 || c < 0 ? -1 : r + fixedRows_;
        mouseCol_ = r < 0 || c < 0 ? -1 : c;
    }
    if (mouseCol_ < 0)
        mouseRow_ = -1;
    const short shift = shiftCode(event->modifiers());
    const float x = float(inGrid.x() * 15);
    const float y = float(inGrid.y() * 15);
    switch (kind) {
    case Mouse::Down: emit mouseDown(buttonCode(event->button()), shift, x, y); break;
    case Mouse::Move: emit mouseMove(buttonCode(event->buttons()), shift, x, y); break;
    case Mouse::Up: emit mouseUp(buttonCode(event->button()), shift, x, y); break;
    }
}

bool Grid::eventFilter(QObject* watched, QEvent* event)
{
    if (behaviour_.mouseEvents && watched == horizontalHeader()->viewport()) {
        const auto forward = [&](Mouse kind) {
            const auto* mouse = static_cast<const QMouseEvent*>(event);
            raiseMouse(kind, mouse, horizontalHeader()->viewport()->mapTo(this, mouse->position().toPoint()), true);
            return true;
        };
        switch (event->type()) {
        case QEvent::MouseButtonPress: return forward(Mouse::Down);
        case QEvent::MouseMove: return forward(Mouse::Move);
        case QEvent::MouseButtonRelease: return forward(Mouse::Up);
        case QEvent::MouseButtonDblClick: return true;
        default: break;
        }
    }
    return QTableWidget::eventFilter(watched, event);
}

void Grid::mouseMoveEvent(QMouseEvent* event)
{
    if (!behaviour_.mouseEvents)
        return QTableWidget::mouseMoveEvent(event);
    raiseMouse(Mouse::Move, event, viewport()->mapTo(this, event->position().toPoint()), false);
    event->accept();
}

void Grid::mouseReleaseEvent(QMouseEvent* event)
{
    if (!behaviour_.mouseEvents)
        return QTableWidget::mouseReleaseEvent(event);
    raiseMouse(Mouse::Up, event, viewport()->mapTo(this, event->position().toPoint()), false);
    event->accept();
}

// The second press of a double-click raises no press of its own.
void Grid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!behaviour_.mouseEvents)
        return QTableWidget::mouseDoubleClickEvent(event);
    event->accept();
}

void Grid::mousePressEvent(QMouseEvent* event)
{
    if (behaviour_.mouseEvents) {
        setFocus(Qt::MouseFocusReason);
        raiseMouse(Mouse::Down, event, viewport()->mapTo(this, event->position().toPoint()), false);
        event->accept();
        return;
    }
    // A click below the last row keeps the selected row: the highlight never goes away.
    if (behaviour_.rowSelection && !indexAt(event->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void Grid::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    emit gotFocus();
}

void Grid::sortByHeader(int col)
{
    const bool descending = col == sortCol_ && sortOrder_ == Qt::AscendingOrder;
    sortRows(col, descending ? 2 : 1);
}

void Grid::sortRows(int col, int order)
{
    if (col < 0 || col >= columnCount())
        return;
    sortOrder_ = order == 2 ? Qt::DescendingOrder : Qt::AscendingOrder;
    sortCol_ = col;
    sortItems(col, sortOrder_);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(col, sortOrder_);
    emit afterSort(col, sortOrder_ == Qt::AscendingOrder ? 1 : 2);
}

void Grid::setColComboList(int col, const QString& list)
{
    comboLists_.insert(col, list);
    placeCellButton();
}

QString Grid::colComboList(int col) const { return comboLists_.value(col); }

void Grid::updateGeometries()
{
    QTableWidget::updateGeometries();
    placeCellButton();
}

// The button stands at the right end of its cell in the current row.
void Grid::placeCellButton()
{
    if (!cellButton_)
        return;
    int col = -1;
    for (auto it = comboLists_.cbegin(); it != comboLists_.cend(); ++it)
        if (it.value() == kCellButton && it.key() < columnCount())
            col = it.key();
    if (col < 0 || currentRow() < 0) {
        cellButton_->hide();
        return;
    }
    const QRect cellRect = visualRect(model()->index(currentRow(), col));
    const int side = cellRect.height();
    cellButton_->setGeometry(cellRect.right() - side + 1, cellRect.top(), side, side);
    cellButton_->show();
    cellButton_->raise();
}

} // namespace ui
