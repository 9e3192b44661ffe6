#include "app/datasetmodel.h"

#include <algorithm>

#include "ui/gridmodel.h"

namespace app {

DatasetModel::DatasetModel(const project::Document& doc, QObject* parent) : QAbstractTableModel(parent), doc_(doc) {}

void DatasetModel::showAll()
{
    beginResetModel();
    shown_ = true;
    ids_.clear();
    ids_.reserve(doc_.datasets().size());
    for (const project::Document::Listed& row : doc_.datasets())
        ids_.append(row.id);
    endResetModel();
}

void DatasetModel::appended()
{
    if (doc_.datasets().isEmpty())
        return;
    const int row = int(ids_.size());
    beginInsertRows(QModelIndex(), row, row);
    ids_.append(doc_.datasets().last().id);
    endInsertRows();
}

void DatasetModel::removed()
{
    for (int r = int(ids_.size()) - 1; r >= 0; --r) {
        if (doc_.listed(ids_[r]))
            continue;
        beginRemoveRows(QModelIndex(), r, r);
        ids_.removeAt(r);
        endRemoveRows();
    }
}

void DatasetModel::titleChanged(int id)
{
    const int row = int(ids_.indexOf(id));
    if (row >= 0)
        emit dataChanged(index(row, Description), index(row, Description), {Qt::DisplayRole, Qt::EditRole});
}

const project::Document::Listed* DatasetModel::at(int row) const
{
    return row >= 0 && row < ids_.size() ? doc_.listed(ids_[row]) : nullptr;
}

int DatasetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(ids_.size()); }

int DatasetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() || !shown_ ? 0 : Cols; }

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    const project::Document::Listed* row = index.isValid() ? at(index.row()) : nullptr;
    if (!row)
        return QVariant();
    if (role == ui::KeyRole)
        return row->id;
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const QString& text = index.column() == File ? row->file : row->title;
    return text.isEmpty() ? QVariant() : QVariant(text); // nothing to lay out
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const headers[Cols] = {"filename", "Description"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Cols)
        return QVariant();
    return QLatin1String(headers[section]);
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const
{
    // The grid's edit events decide which cells edit.
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable : Qt::NoItemFlags;
}

void DatasetModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= Cols)
        return;
    QList<int> sorted(ids_.size());
    for (int r = 0; r < ids_.size(); ++r)
        sorted[r] = r;
    const auto text = [&](int r) -> const QString& {
        const project::Document::Listed* row = at(r);
        static const QString none;
        return !row ? none : column == File ? row->file : row->title;
    };
    const auto less = [&](int a, int b) { return text(a) < text(b); };
    if (order == Qt::AscendingOrder)
        std::stable_sort(sorted.begin(), sorted.end(), less);
    else
        std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) { return less(b, a); });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<int> newRowOf(sorted.size());
    QList<int> ids(ids_.size());
    for (int i = 0; i < sorted.size(); ++i) {
        newRowOf[sorted[i]] = i;
        ids[i] = ids_[sorted[i]];
    }
    ids_ = std::move(ids);
    // The current row and the selection stay on the rows they were on.
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(this->index(newRowOf[index.row()], index.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace app
