#pragma once
#include <QTableWidget>

namespace ui {

/// A grid as the handlers see it: row 0 is the header row when the grid has one fixed row, data
/// rows count from 1, cells are read and written as text. Its events are raised synchronously,
/// also while code fills it.
class Grid : public QTableWidget {
    Q_OBJECT
public:
    struct Behaviour {
        bool rowSelection = true;  // whole rows, always highlighted; else free cells, no highlight
        bool headerSort = false;   // a header click sorts by its column
        bool editable = false;     // cells editable by keyboard and mouse
        bool ellipsis = false;     // long cell text ends in an ellipsis
    };
    Grid(const QString& name, const Behaviour& behaviour, QWidget* parent);

    /// All rows, the fixed header row included.
    int rows() const { return rowCount() + fixedRows_; }
    void setRows(int rows);
    int cols() const { return columnCount(); }
    void setCols(int cols);
    int fixedRows() const { return fixedRows_; }
    /// 0 or 1: whether row 0 is the header row.
    void setFixedRows(int fixedRows);

    /// Cell text; a cell outside the grid raises 9 (subscript out of range).
    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    /// Appends a row whose cells are the TAB-separated parts of text.
    void addItem(const QString& text);
    void removeItem(int row);

    /// The current row (0 when there is none).
    int row() const;
    void setRow(int row);
    int col() const;
    void setCol(int col);

    void setColHidden(int col, bool hidden);
    /// Widths in twips, 15 to a pixel.
    void setColWidth(int col, int twips);
    int colWidth(int col) const;
    void setExtendLastCol(bool extend);

    /// 1: sunken three-dimensional border; 2: light border.
    void setAppearance(int appearance);
    int appearance() const { return appearance_; }

signals:
    void rowColChange();
    void click();
    void afterSort(int col, int order);
    void gotFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void sortByHeader(int col);
    QTableWidgetItem* cell(int row, int col, bool create);
    void checkCell(int row, int col) const; // raises 9 outside the grid

    Behaviour behaviour_;
    int fixedRows_ = 0;
    int appearance_ = 0;
    int sortCol_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

/// Twips to pixels, 15 to a pixel.
constexpr int pixels(int twips) { return twips / 15; }

} // namespace ui
