#pragma once
// The playlist grid's view of the running order: a row per entry, its description and step
// cells, each cell's colour from the running order's marks through the one palette.
#include <QAbstractTableModel>
#include <QPixmap>
#include <array>

#include "playlist/runningorder.h"

namespace app {

class PlaylistModel : public QAbstractTableModel {
    Q_OBJECT
public:
    /// pictures: the card types' pictures, by type.
    PlaylistModel(const playlist::RunningOrder& order, const std::array<QPixmap, 4>& pictures, QObject* parent);

    // Where the grid's rows and columns meet the running order: row 0 is the header row, so
    // grid row r shows entry r - 1; the step columns start at Steps. -1 off the entries or steps.
    static int entryOf(int gridRow) { return gridRow - 1; }
    static int rowOf(int entry) { return entry + 1; }
    static int stepOf(int gridCol);
    static int colOf(int step);

    /// The columns the grid shows: the fixed ones and as many step columns as the widest card needs.
    void setColumns(int columns);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void follow();
    QVariant text(const playlist::RunningOrder::Entry& e, int col) const;
    QVariant back(int entry, int col) const;

    const playlist::RunningOrder& order_;
    std::array<QPixmap, 4> pictures_;
    int columns_ = 0;
};

} // namespace app
