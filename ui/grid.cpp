#include "ui/grid.h"

#include <QHeaderView>

#include "fault/runtimeerror.h"

namespace ui {

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

    connect(this, &QTableWidget::currentCellChanged, this, [this](int r, int c, int pr, int pc) {
        if (r != pr || c != pc)
            emit rowColChange();
    });
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

void Grid::addItem(const QString& text)
{
    const QStringList cells = text.split(QLatin1Char('\t'));
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
    setCurrentCell(row - fixedRows_, std::max(currentColumn(), 0));
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

void Grid::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    emit gotFocus();
}

void Grid::sortByHeader(int col)
{
    sortOrder_ = (col == sortCol_ && sortOrder_ == Qt::AscendingOrder) ? Qt::DescendingOrder : Qt::AscendingOrder;
    sortCol_ = col;
    sortItems(col, sortOrder_);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(col, sortOrder_);
    emit afterSort(col, sortOrder_ == Qt::AscendingOrder ? 1 : 2);
}

} // namespace ui
