#include "app/playlistmodel.h"

#include <QBrush>

#include "app/playlistlayout.h"
#include "playlist/playlistfile.h"
#include "ui/colors.h"
#include "ui/gridmodel.h"

namespace app {

namespace {
using namespace playlist::playlistfile::Col;
using playlist::Mark;

quint32 markColour(Mark mark, int gridRow)
{
    switch (mark) {
    case Mark::OnAir: return ui::palette::OnAir;
    case Mark::OnPreview: return ui::palette::OnPreview;
    case Mark::Cleared: return ui::palette::Cleared;
    case Mark::Refused: return ui::palette::Refused;
    case Mark::None: break;
    }
    return ui::palette::rest(gridRow);
}
} // namespace

PlaylistModel::PlaylistModel(const playlist::RunningOrder& order, const std::array<QPixmap, 4>& pictures, QObject* parent)
    : QAbstractTableModel(parent), order_(order), pictures_(pictures)
{
    follow();
}

int PlaylistModel::stepOf(int gridCol) { return gridCol < Steps ? -1 : gridCol - Steps; }

int PlaylistModel::colOf(int step) { return Steps + step; }

// The grid follows every change of the running order as it happens.
void PlaylistModel::follow()
{
    using playlist::RunningOrder;
    connect(&order_, &RunningOrder::aboutToReset, this, [this] { beginResetModel(); });
    connect(&order_, &RunningOrder::wasReset, this, [this] { endResetModel(); });
    connect(&order_, &RunningOrder::aboutToInsert, this, [this](int i) { beginInsertRows(QModelIndex(), i, i); });
    connect(&order_, &RunningOrder::inserted, this, [this] { endInsertRows(); });
    connect(&order_, &RunningOrder::aboutToRemove, this, [this](int i) { beginRemoveRows(QModelIndex(), i, i); });
    connect(&order_, &RunningOrder::removed, this, [this] { endRemoveRows(); });
    connect(&order_, &RunningOrder::aboutToMove, this, [this](int from, int to) {
        beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    });
    connect(&order_, &RunningOrder::moved, this, [this] { endMoveRows(); });
    connect(&order_, &RunningOrder::marksChanged, this, [this](int first, int last) {
        if (columns_ > Type)
            emit dataChanged(index(first, Type), index(last, columns_ - 1), {Qt::BackgroundRole});
    });
    connect(&order_, &RunningOrder::cueChanged, this, [this](RunningOrder::Cue from, RunningOrder::Cue to) {
        // The entry the cue left may be gone (removed with it), and with it the last row.
        for (const RunningOrder::Cue& cue : {from, to})
            if (order_.has(cue.entry) && colOf(cue.step) < columns_)
                emit dataChanged(index(cue.entry, colOf(cue.step)), index(cue.entry, colOf(cue.step)), {ui::CueRole});
    });
}

void PlaylistModel::setColumns(int columns)
{
    columns = std::max(columns, 0);
    if (columns == columns_)
        return;
    beginResetModel();
    columns_ = columns;
    endResetModel();
}

int PlaylistModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : order_.size(); }

int PlaylistModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant PlaylistModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !order_.has(index.row()))
        return QVariant();
    const int entry = index.row();
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole: return text(order_.entry(entry), col);
    case Qt::BackgroundRole: return back(entry, col);
    case ui::PictureRole: {
        const short type = order_.entry(entry).type;
        return col == Type && type >= 0 && size_t(type) < pictures_.size() ? QVariant(pictures_[size_t(type)]) : QVariant();
    }
    case ui::CueRole: return col >= Steps && order_.isCue(entry, stepOf(col));
    default: return QVariant();
    }
}

QVariant PlaylistModel::text(const playlist::RunningOrder::Entry& e, int col) const
{
    switch (col) {
    case DatasetFile: return e.file;
    case Type: return QVariant();
    case Description: return e.title;
    case Ft: return e.cardTitle;
    case Channel: return QString::number(e.channel);
    case Layer: return QString::number(e.layer);
    default: {
        const QString name = e.steps.value(stepOf(col));
        return name.isEmpty() ? QVariant() : QVariant(name);
    }
    }
}

// The stripe on the description cells (an entry added from the tree has none until a drag or
// its channel's clear), the mark or the resting colour on every step cell.
QVariant PlaylistModel::back(int entry, int col) const
{
    const int row = rowOf(entry);
    if (col == DatasetFile)
        return QVariant();
    if (col < Steps)
        return order_.entry(entry).striped ? QVariant(QBrush(ui::vbColor(ui::palette::stripe(row)))) : QVariant();
    return QBrush(ui::vbColor(markColour(order_.mark(entry, stepOf(col)), row)));
}

QVariant PlaylistModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columns_)
        return QVariant();
    return section < Steps ? QString::fromLatin1(playlistlayout::kColumns[size_t(section)].header) : QString();
}

Qt::ItemFlags PlaylistModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

} // namespace app
