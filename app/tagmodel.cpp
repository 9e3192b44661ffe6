#include "app/tagmodel.h"

namespace app {

TagModel::TagModel(const project::Document& doc, QObject* parent) : QAbstractTableModel(parent), doc_(doc) {}

void TagModel::show(Look look)
{
    beginResetModel();
    look_ = look;
    shown_ = true;
    rows_ = look == Look::Dataset ? int(doc_.tags().size()) : 0;
    endResetModel();
}

void TagModel::valueChanged(int row)
{
    if (row >= 0 && row < rows_)
        emit dataChanged(index(row, Value), index(row, Value), {Qt::DisplayRole, Qt::EditRole});
}

int TagModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TagModel::columnCount(const QModelIndex& parent) const { return parent.isValid() || !shown_ ? 0 : Cols; }

QVariant TagModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= doc_.tags().size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    const project::Document::Tag& tag = doc_.tags()[index.row()];
    QString text;
    switch (index.column()) {
    case Id: text = tag.def.Id; break;
    case Ani: text = QString::number(tag.def.Ani); break;
    case Type: text = tag.def.Type; break;
    case Title: text = tag.def.Title; break;
    case Value: text = tag.value; break;
    default: break;
    }
    return text.isEmpty() ? QVariant() : QVariant(text); // nothing to lay out
}

QVariant TagModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const noDataset[Cols] = {"Id", "Ani", "Type", "Title", "Value"};
    static const char* const dataset[Cols] = {"Tg", "A", "T", "Title", "Value"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Cols)
        return QVariant();
    return QLatin1String((look_ == Look::Dataset ? dataset : noDataset)[section]);
}

Qt::ItemFlags TagModel::flags(const QModelIndex& index) const
{
    // The grid's edit events decide which cells edit.
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable : Qt::NoItemFlags;
}

} // namespace app
