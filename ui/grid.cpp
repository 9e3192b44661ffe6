#include "ui/grid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "fault/runtimeerror.h"
#include "ui/cellbutton.h"
#include "ui/colors.h"
#include "ui/dispatch.h"
#include "ui/editdelegate.h"
#include "ui/keys.h"

namespace ui {

namespace {
short buttonCode(Qt::MouseButtons buttons) { return short(int(buttons)); }

// Edges of these widths inside rect.
void paintEdges(QPainter& painter, const QRect& rect, const QColor& colour, int left, int top, int right, int bottom)
{
    painter.fillRect(rect.left(), rect.top(), left, rect.height(), colour);
    painter.fillRect(rect.left(), rect.top(), rect.width(), top, colour);
    painter.fillRect(rect.right() + 1 - right, rect.top(), right, rect.height(), colour);
    painter.fillRect(rect.left(), rect.bottom() + 1 - bottom, rect.width(), bottom, colour);
}

} // namespace

Grid::Grid(const QString& name, const Behaviour& behaviour, QWidget* parent)
    : QTableView(parent), behaviour_(behaviour), model_(new GridModel(behaviour.editable, this))
{
    setObjectName(name);
    setModel(model_);
    setUpLooks();
    setUpSelection();
    setUpInput();
    setUpEditing();
    connectSelection();
    connectEvents();
}

void Grid::setUpLooks()
{
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
    horizontalHeader()->setSectionsClickable(behaviour_.headerSort);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWordWrap(false);
    setTextElideMode(behaviour_.ellipsis ? Qt::ElideRight : Qt::ElideNone);
}

void Grid::setUpSelection()
{
    QPalette pal = palette();
    if (behaviour_.rowSelection) {
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
    setAppearance(Appearance::Light);
}

void Grid::setUpInput()
{
    if (behaviour_.keyEvents)
        setTabKeyNavigation(false); // Tab leaves the grid, as from any other control
    if (behaviour_.mouseEvents) {
        // Only the handlers move the view's current cell; it must not scroll the rows under the pointer.
        setAutoScroll(false);
        viewport()->setMouseTracking(true);
        horizontalHeader()->viewport()->setMouseTracking(true);
        horizontalHeader()->viewport()->installEventFilter(this);
    }
}

void Grid::setUpEditing()
{
    setEditTriggers(behaviour_.editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                              QAbstractItemView::AnyKeyPressed
                                        : QAbstractItemView::NoEditTriggers);
    setItemDelegate(new EditDelegate(this));
    cellButton_ = new CellButton(kCellButton, viewport());
    connect(cellButton_, &QToolButton::clicked, this, [this] {
        for (auto it = comboLists_.cbegin(); it != comboLists_.cend(); ++it)
            if (it.value() == kCellButton && row() > 0) {
                emit cellButtonClick(row(), it.key());
                return;
            }
    });
}

void Grid::connectEvents()
{
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeCellButton(); });
    connect(this, &QAbstractItemView::clicked, this, [this] { emit click(); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) {
        if (behaviour_.headerSort)
            sortByHeader(c);
    });
}

void Grid::connectSelection()
{
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
        placeCellButton();
        if (current.row() != previous.row() || current.column() != previous.column()) {
            emit rowColChange();
            emit enterCell();
        }
    });
}

void Grid::setSource(QAbstractItemModel* source)
{
    source_ = source;
    frames_.clear();
    setModel(source ? source : model_);
    connectSelection(); // the view made a new selection model
}

GridModel& Grid::own() const
{
    if (source_)
        fault::raise(fault::InvalidProcedureCall,
                     QStringLiteral("Invalid procedure call: %1 shows a model; its cells change there").arg(objectName()));
    return *model_;
}

void Grid::setRows(int rows)
{
    rows = std::max(rows, 0);
    if (rows < fixedRows_)
        setFixedRows(rows);
    own().setRows(rows - fixedRows_);
}

void Grid::setCols(int cols) { own().setCols(cols); }

void Grid::setFixedRows(int fixedRows)
{
    fixedRows = std::clamp(fixedRows, 0, 1);
    if (fixedRows == fixedRows_)
        return;
    const int total = rows();
    fixedRows_ = fixedRows;
    horizontalHeader()->setVisible(fixedRows_ == 1);
    if (!source_)
        model_->setRows(std::max(total - fixedRows_, 0));
}

const QString& Grid::textMatrix(int row, int col) const
{
    checkCell(row, col);
    if (!source_)
        return row < fixedRows_ ? model_->headerText(col) : model_->text(row - fixedRows_, col);
    shownText_ = row < fixedRows_ ? source_->headerData(col, Qt::Horizontal).toString() : cell(row, col).data().toString();
    return shownText_;
}

void Grid::setTextMatrix(int row, int col, const QString& text)
{
    checkCell(row, col);
    if (row < fixedRows_)
        own().setHeaderText(col, text);
    else
        own().setText(row - fixedRows_, col, text);
}

void Grid::checkCell(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        fault::raise(fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range: cell %1, %2 of %3 (%4 rows, %5 columns)")
                                                     .arg(row).arg(col).arg(objectName()).arg(rows()).arg(cols()));
}

void Grid::addItem(const QString& text) { addItem(text.split(QLatin1Char('\t'))); }

void Grid::addItem(const QStringList& cells, const QVariant& key) { own().appendRow(cells, key); }

QVariant Grid::rowKey(int row) const
{
    checkCell(row, 0);
    if (row < fixedRows_)
        return QVariant();
    return source_ ? cell(row, 0).data(KeyRole) : own().key(row - fixedRows_);
}

void Grid::moveRow(int from, int to)
{
    checkCell(from, 0);
    checkCell(to, 0);
    if (from < fixedRows_ || to < fixedRows_)
        fault::raise(fault::SubscriptOutOfRange,
                     QStringLiteral("Subscript out of range: the header row of %1 cannot move").arg(objectName()));
    own().moveRowTo(from - fixedRows_, to - fixedRows_);
}

void Grid::removeItem(int row)
{
    if (row >= fixedRows_ && row < rows())
        own().removeRowAt(row - fixedRows_);
}

int Grid::row() const
{
    const int current = currentIndex().row();
    return current < 0 ? 0 : current + fixedRows_;
}

void Grid::setRow(int row)
{
    if (row < fixedRows_ || row >= rows())
        fault::raise(fault::SubscriptOutOfRange,
                     QStringLiteral("Subscript out of range: row %1 of %2 (%3 rows)").arg(row).arg(objectName()).arg(rows()));
    int col = currentIndex().column();
    if (pendingCol_ >= 0 && pendingCol_ < cols())
        col = pendingCol_;
    else {
        // The keyboard cannot move on from a hidden column: stay in the first one shown.
        col = std::max(col, 0);
        while (col + 1 < cols() && isColumnHidden(col))
            ++col;
    }
    pendingCol_ = -1;
    setCurrentIndex(cell(row, col));
    cornerRow_ = row;
    cornerCol_ = col;
}

int Grid::col() const { return std::max(currentIndex().column(), 0); }

void Grid::setCol(int col)
{
    if (col < 0 || col >= cols())
        return;
    const int current = currentIndex().row();
    if (current < 0) {
        pendingCol_ = col;
        return;
    }
    setCurrentIndex(model()->index(current, col));
    cornerCol_ = col;
}

void Grid::selectTo(int row, int col)
{
    cornerRow_ = row;
    cornerCol_ = col;
}

void Grid::setColHidden(int col, bool hidden) { setColumnHidden(col, hidden); }

void Grid::setColWidth(int col, int twips) { setColumnWidth(col, pixels(twips)); }

int Grid::colWidth(int col) const { return twips(columnWidth(col)); }

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
    if (row < fixedRows_)
        return 0;
    if (!source_)
        return model_->back(row - fixedRows_, col);
    const QVariant back = cell(row, col).data(Qt::BackgroundRole);
    return back.isValid() ? vbValue(back.value<QBrush>().color()) : 0;
}

void Grid::setCellBackColor(int row, int col, quint32 value) { setCellBackColor(row, col, row, col, value); }

void Grid::setCellBackColor(int row1, int col1, int row2, int col2, quint32 value)
{
    checkCell(row1, col1);
    checkCell(row2, col2);
    // The header row has no back colours.
    const int first = std::max(std::min(row1, row2), fixedRows_);
    const int last = std::max(row1, row2);
    if (first <= last)
        own().setBack(first - fixedRows_, std::min(col1, col2), last - fixedRows_, std::max(col1, col2), value);
}

void Grid::setCellPicture(int row, int col, const QPixmap& picture)
{
    checkCell(row, col);
    if (row >= fixedRows_) // the header shows no pictures
        own().setPicture(row - fixedRows_, col, picture);
}

QPixmap Grid::cellPicture(int row, int col) const
{
    checkCell(row, col);
    return row < fixedRows_ ? QPixmap() : cell(row, col).data(PictureRole).value<QPixmap>();
}

void Grid::setCellBorder(quint32 colour, int left, int top, int right, int bottom, int vertical, int horizontal)
{
    Q_UNUSED(vertical);
    Q_UNUSED(horizontal);
    const Frame frame{colour, left, top, right, bottom, std::min(col(), cornerCol_), std::max(col(), cornerCol_)};
    const int first = std::max(std::min(row(), cornerRow_), fixedRows_);
    const int last = std::min(std::max(row(), cornerRow_), rows() - 1);
    for (int r = first; r <= last; ++r) {
        const QModelIndex at = cell(r, 0);
        frames_.removeIf([&](const auto& f) { return !f.first.isValid() || f.first == at; });
        if (!frame.isNone())
            frames_.append({QPersistentModelIndex(at), frame});
    }
    viewport()->update();
}

bool Grid::cellBorder(int row, quint32* colour, QList<int>* widths) const
{
    checkCell(row, 0);
    if (row < fixedRows_)
        return false;
    const QModelIndex at = cell(row, 0);
    const auto found = std::find_if(frames_.cbegin(), frames_.cend(), [&](const auto& f) { return f.first == at; });
    if (found == frames_.cend())
        return false;
    const Frame& frame = found->second;
    if (colour)
        *colour = frame.colour;
    if (widths)
        *widths = {frame.left, frame.top, frame.right, frame.bottom};
    return true;
}

void Grid::setDragDisplay(DragDisplay display)
{
    if (display == DragDisplay::Dragging)
        viewport()->setCursor(Qt::ClosedHandCursor);
    else
        viewport()->unsetCursor();
}

void Grid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (model()->rowCount() == 0 || cols() == 0)
        return;
    paintFrames();
    paintCue();
}

// The cue is shown by a frame alone, over the row frames: its cell keeps its colour. Only a
// program's model holds one, and only the cells in view are asked.
void Grid::paintCue()
{
    if (!source_)
        return;
    constexpr int kCue = 2;
    const int top = std::max(rowAt(0), 0);
    int bottom = rowAt(viewport()->height() - 1);
    if (bottom < 0)
        bottom = model()->rowCount() - 1;
    QPainter painter(viewport());
    for (int r = top; r <= bottom; ++r)
        for (int c = 0; c < cols(); ++c)
            if (!isColumnHidden(c) && model()->index(r, c).data(CueRole).toBool())
                paintEdges(painter, visualRect(model()->index(r, c)), vbColor(palette::Cue), kCue, kCue, kCue, kCue);
}

void Grid::showCell(int row, int col)
{
    checkCell(row, col);
    if (row >= fixedRows_)
        scrollTo(cell(row, col));
}

int Grid::rowsInView() const { return std::max(viewport()->height() / std::max(verticalHeader()->defaultSectionSize(), 1), 1); }

void Grid::keyPressEvent(QKeyEvent* event)
{
    // Shift, AltGr or a dead key pressed in an open editor come through it unused: they are part
    // of the character being typed, and finishing the edit on them would lose what is typed.
    if (preparesCharacter(event))
        return event->accept();
    // A key that moves on from an open editor finishes it first; a refused text keeps it there.
    if (!finishOpenEdit())
        return event->accept();
    if (!behaviour_.keyEvents)
        return QTableView::keyPressEvent(event);
    emit keyDown(keyCode(event), shiftCode(event->modifiers()), event->isAutoRepeat());
    event->accept();
}

void Grid::paintFrames()
{
    QPainter painter(viewport());
    for (const auto& [at, border] : frames_) {
        if (!at.isValid())
            continue;
        QRect frame;
        for (int c = border.col1; c <= border.col2 && c < cols(); ++c)
            if (!isColumnHidden(c))
                frame = frame.united(visualRect(model()->index(at.row(), c)));
        if (frame.isEmpty())
            continue;
        paintEdges(painter, frame, vbColor(border.colour), border.left, border.top, border.right, border.bottom);
    }
}

void Grid::setAppearance(Appearance appearance)
{
    appearance_ = appearance;
    if (appearance == Appearance::Sunken) {
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
    const float x = float(twips(inGrid.x()));
    const float y = float(twips(inGrid.y()));
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
    return QTableView::eventFilter(watched, event);
}

void Grid::mouseMoveEvent(QMouseEvent* event)
{
    if (!behaviour_.mouseEvents)
        return QTableView::mouseMoveEvent(event);
    raiseMouse(Mouse::Move, event, viewport()->mapTo(this, event->position().toPoint()), false);
    event->accept();
}

void Grid::mouseReleaseEvent(QMouseEvent* event)
{
    if (!behaviour_.mouseEvents)
        return QTableView::mouseReleaseEvent(event);
    raiseMouse(Mouse::Up, event, viewport()->mapTo(this, event->position().toPoint()), false);
    event->accept();
}

// The second press of a double-click raises no press of its own.
void Grid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!behaviour_.mouseEvents)
        return QTableView::mouseDoubleClickEvent(event);
    event->accept();
}

void Grid::mousePressEvent(QMouseEvent* event)
{
    // A press elsewhere finishes an open edit before it moves anything; a refused text keeps its
    // editor open and the press goes nowhere.
    if (!finishOpenEdit())
        return event->accept();
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
    QTableView::mousePressEvent(event);
}

void Grid::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    emit gotFocus();
}

void Grid::sortByHeader(int col)
{
    if (!finishOpenEdit())
        return;
    const bool descending = col == sortCol_ && sortOrder_ == Qt::AscendingOrder;
    sortRows(col, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void Grid::sortRows(int col, Qt::SortOrder order)
{
    if (col < 0 || col >= cols())
        return;
    sortOrder_ = order;
    sortCol_ = col;
    model()->sort(col, sortOrder_);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(col, sortOrder_);
    emit afterSort(col, sortOrder_);
}

void Grid::setColComboList(int col, const QString& list)
{
    comboLists_.insert(col, list);
    placeCellButton();
}

QString Grid::colComboList(int col) const { return comboLists_.value(col); }

void Grid::updateGeometries()
{
    QTableView::updateGeometries();
    placeCellButton();
}

// The button stands at the right end of its cell in the current row.
void Grid::placeCellButton()
{
    if (!cellButton_)
        return;
    int col = -1;
    for (auto it = comboLists_.cbegin(); it != comboLists_.cend(); ++it)
        if (it.value() == kCellButton && it.key() < cols())
            col = it.key();
    const int current = currentIndex().row();
    if (col < 0 || current < 0) {
        cellButton_->hide();
        return;
    }
    cellButton_->standAt(visualRect(model()->index(current, col)));
}

} // namespace ui
