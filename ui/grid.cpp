#include "ui/grid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QMetaProperty>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolButton>

#include "fault/runtimeerror.h"

namespace ui {

/// Raises the grid's editing events around Qt's own editing.
class EditDelegate : public QStyledItemDelegate {
public:
    explicit EditDelegate(Grid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    // No cell shows more than a screen's width of text; laying out the whole of a huge one to
    // elide it would hold the window for seconds on every paint.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        constexpr qsizetype kShown = 1000;
        if (option->text.size() > kShown)
            option->text.truncate(kShown);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        bool cancel = false;
        emit grid_->beforeEdit(index.row() + grid_->fixedRows_, index.column(), cancel);
        return cancel ? nullptr : QStyledItemDelegate::createEditor(parent, option, index);
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
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeCellButton(); });
    connect(this, &QTableWidget::cellClicked, this, [this] { emit click(); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) {
        if (behaviour_.headerSort)
            sortByHeader(c);
    });
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
    const int r = rows();
    setRowCount(rowCount() + 1);
    for (int c = 0; c < columnCount() && c < cells.size(); ++c)
        setTextMatrix(r, c, cells[c]);
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
    // The keyboard cannot move on from a hidden column: stay in the first one shown.
    int col = std::max(currentColumn(), 0);
    while (col + 1 < columnCount() && isColumnHidden(col))
        ++col;
    setCurrentCell(row - fixedRows_, col);
}

int Grid::col() const { return std::max(currentColumn(), 0); }

void Grid::setCol(int col)
{
    if (currentRow() >= 0 && col >= 0 && col < columnCount())
        setCurrentCell(currentRow(), col);
}

void Grid::setColHidden(int col, bool hidden) { setColumnHidden(col, hidden); }

void Grid::setColWidth(int col, int twips) { setColumnWidth(col, pixels(twips)); }

int Grid::colWidth(int col) const { return columnWidth(col) * 15; }

void Grid::setExtendLastCol(bool extend) { horizontalHeader()->setStretchLastSection(extend); }

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

void Grid::mousePressEvent(QMouseEvent* event)
{
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
