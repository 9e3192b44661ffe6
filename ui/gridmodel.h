#pragma once
#include <QAbstractTableModel>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QVariant>
#include <QStringList>

namespace ui {

/// What a grid asks of its model beyond text and colour: a picture centred in the cell, whether
/// the cell is the cue, which the grid frames, and the key of the row (asked of its first cell).
enum GridRole : int { PictureRole = Qt::UserRole + 1, CueRole, KeyRole };

/// The cells of a grid that keeps its own (the editor page's; the playlist grid shows the
/// program's model instead), kept compactly: per column one array of cells, per row its key and
/// pictures, the header texts apart. A sort reads its column as one block in order. Rows count
/// from 0 here: the grid's header row is not one.
/// Every setter reports a change only when it changes something, and a whole call once.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridModel(bool editable, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// A stable sort on the cell text (plain QString order); rows whose cell was never touched
    /// go last in their old order whatever the direction.
    void sort(int column, Qt::SortOrder order) override;

    int rows() const { return int(extras_.size()); }
    int cols() const { return cols_; }
    void setRows(int rows);
    void setCols(int cols);

    // No bounds checks below: the grid checks its cells before it asks.
    const QString& text(int row, int col) const { return columns_.at(col).at(row).text; }
    void setText(int row, int col, const QString& text);
    const QString& headerText(int col) const { return headers_.at(col); }
    void setHeaderText(int col, const QString& text);
    /// A cell's own back colour; 0 when it has none.
    quint32 back(int row, int col) const { return columns_.at(col).at(row).back & kColourBits; }
    /// Gives the rectangle of cells this back colour.
    void setBack(int row1, int col1, int row2, int col2, quint32 colour);
    /// The cell's picture, or nullptr.
    const QPixmap* picture(int row, int col) const;
    /// A null picture takes it away.
    void setPicture(int row, int col, const QPixmap& picture);

    /// Appends a row with these cells, the rest empty, and key: one insertion, no news per cell.
    void appendRow(const QStringList& cells, const QVariant& key = QVariant());
    /// What the row was added with: it goes with the row when rows move or are sorted.
    const QVariant& key(int row) const { return extras_.at(row).key; }
    void removeRowAt(int row);
    /// Moves the row whole (cells, key, pictures) so that it becomes row to.
    void moveRowTo(int from, int to);

private:
    // Back colours keep a flag of their own above the 24 colour bits: colour 0 (black) is a colour.
    static constexpr quint32 kColourBits = 0xFFFFFF;
    static constexpr quint32 kOwnBack = 0x1000000;
    struct Cell {
        QString text;
        quint32 back = 0;
        bool touched = false; // a cell never touched sorts apart from an empty one
    };
    struct Picture {
        int col;
        QPixmap pixmap;
    };
    struct RowExtra {
        QVariant key;
        QList<Picture> pictures; // few rows have any, so none costs a cell anything
    };
    Cell& cell(int row, int col) { return columns_[col][row]; }
    const Cell& cell(int row, int col) const { return columns_.at(col).at(row); }
    // Marks the cell touched; true when it was not before.
    static bool touch(Cell& cell);

    QList<QList<Cell>> columns_; // columns_[col][row]
    QList<RowExtra> extras_;     // one per row
    QList<QString> headers_;
    int cols_ = 0;
    bool editable_;
};

} // namespace ui
