#include "ui/gridmodel.h"

#include <QBrush>
#include <algorithm>
#include <vector>

#include "ui/colors.h"

namespace ui {

GridModel::GridModel(bool editable, QObject* parent) : QAbstractTableModel(parent), editable_(editable) {}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows(); }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const Cell& cell = this->cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return cell.text.isEmpty() ? QVariant() : QVariant(cell.text); // nothing to lay out
    case Qt::BackgroundRole: return cell.back ? QVariant(QBrush(vbColor(cell.back & kColourBits))) : QVariant();
    case PictureRole: {
        const QPixmap* shown = picture(index.row(), index.column());
        return shown ? QVariant(*shown) : QVariant();
    }
    default: return QVariant();
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < cols_)
        return headers_.at(section);
    if (orientation == Qt::Horizontal)
        return QVariant();
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    // Every cell has what a table widget's fresh cell had; only editing depends on the grid.
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled |
                          Qt::ItemIsDropEnabled;
    if (editable_)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool GridModel::touch(Cell& cell)
{
    if (cell.touched)
        return false;
    cell.touched = true;
    return true;
}

void GridModel::setRows(int rows)
{
    rows = std::max(rows, 0);
    const int before = this->rows();
    if (rows > before) {
        beginInsertRows(QModelIndex(), before, rows - 1);
        for (QList<Cell>& column : columns_)
            column.resize(rows);
        extras_.resize(rows);
        endInsertRows();
    } else if (rows < before) {
        beginRemoveRows(QModelIndex(), rows, before - 1);
        for (QList<Cell>& column : columns_)
            column.resize(rows);
        extras_.resize(rows);
        endRemoveRows();
    }
}

void GridModel::setCols(int cols)
{
    cols = std::max(cols, 0);
    if (cols > cols_) {
        beginInsertColumns(QModelIndex(), cols_, cols - 1);
        cols_ = cols;
        headers_.resize(cols);
        columns_.resize(cols);
        for (QList<Cell>& column : columns_)
            column.resize(rows());
        endInsertColumns();
    } else if (cols < cols_) {
        beginRemoveColumns(QModelIndex(), cols, cols_ - 1);
        cols_ = cols;
        headers_.resize(cols);
        columns_.resize(cols);
        for (RowExtra& row : extras_)
            row.pictures.removeIf([cols](const Picture& p) { return p.col >= cols; });
        endRemoveColumns();
    }
}

void GridModel::setText(int row, int col, const QString& text)
{
    Cell& cell = this->cell(row, col);
    if (!touch(cell) && cell.text == text)
        return;
    cell.text = text;
    const QModelIndex at = index(row, col);
    emit dataChanged(at, at, {Qt::DisplayRole, Qt::EditRole});
}

void GridModel::setHeaderText(int col, const QString& text)
{
    if (headers_.at(col) == text)
        return;
    headers_[col] = text;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void GridModel::setBack(int row1, int col1, int row2, int col2, quint32 colour)
{
    const quint32 back = (colour & kColourBits) | kOwnBack;
    QRect changed;
    for (int r = row1; r <= row2; ++r) {
        for (int c = col1; c <= col2; ++c) {
            Cell& cell = this->cell(r, c);
            if (cell.back == back)
                continue;
            cell.back = back;
            touch(cell);
            changed |= QRect(c, r, 1, 1);
        }
    }
    if (!changed.isNull())
        emit dataChanged(index(changed.top(), changed.left()), index(changed.bottom(), changed.right()),
                         {Qt::BackgroundRole});
}

const QPixmap* GridModel::picture(int row, int col) const
{
    for (const Picture& picture : extras_.at(row).pictures)
        if (picture.col == col)
            return &picture.pixmap;
    return nullptr;
}

void GridModel::setPicture(int row, int col, const QPixmap& picture)
{
    RowExtra& r = extras_[row];
    bool changed = touch(cell(row, col));
    const auto own = std::find_if(r.pictures.begin(), r.pictures.end(), [col](const Picture& p) { return p.col == col; });
    if (picture.isNull()) {
        if (own != r.pictures.end()) {
            r.pictures.erase(own);
            changed = true;
        }
    } else if (own == r.pictures.end()) {
        r.pictures.append({col, picture});
        changed = true;
    } else if (own->pixmap.cacheKey() != picture.cacheKey()) {
        own->pixmap = picture;
        changed = true;
    }
    if (changed) {
        const QModelIndex at = index(row, col);
        emit dataChanged(at, at);
    }
}

void GridModel::appendRow(const QStringList& cells, const QVariant& key)
{
    const int filled = std::min(cols_, int(cells.size()));
    const int at = rows();
    beginInsertRows(QModelIndex(), at, at);
    for (int c = 0; c < cols_; ++c)
        columns_[c].append(c < filled ? Cell{cells[c], 0, true} : Cell());
    extras_.append(RowExtra{key, {}});
    endInsertRows();
}

void GridModel::removeRowAt(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    for (QList<Cell>& column : columns_)
        column.removeAt(row);
    extras_.removeAt(row);
    endRemoveRows();
}

void GridModel::moveRowTo(int from, int to)
{
    if (from == to)
        return;
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    for (QList<Cell>& column : columns_)
        column.move(from, to);
    extras_.move(from, to);
    endMoveRows();
}

void GridModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= cols_)
        return;
    std::vector<int> sorted;
    std::vector<int> untouched;
    sorted.reserve(size_t(rows()));
    const QList<Cell>& key = columns_.at(column);
    for (int r = 0; r < rows(); ++r)
        (key.at(r).touched ? sorted : untouched).push_back(r);
    const auto less = [&](int a, int b) { return key.at(a).text < key.at(b).text; };
    if (order == Qt::AscendingOrder)
        std::stable_sort(sorted.begin(), sorted.end(), less);
    else
        std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) { return less(b, a); });
    sorted.insert(sorted.end(), untouched.begin(), untouched.end());

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(sorted.size());
    for (int i = 0; i < int(sorted.size()); ++i)
        newRowOf[size_t(sorted[size_t(i)])] = i;
    for (QList<Cell>& cells : columns_) {
        QList<Cell> reordered;
        reordered.reserve(cells.size());
        for (int r : sorted)
            reordered.append(std::move(cells[r]));
        cells = std::move(reordered);
    }
    QList<RowExtra> reordered;
    reordered.reserve(extras_.size());
    for (int r : sorted)
        reordered.append(std::move(extras_[r]));
    extras_ = std::move(reordered);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(this->index(newRowOf[index.row()], index.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace ui
