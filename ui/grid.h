#pragma once
#include <QHash>
#include <QTableWidget>

class QToolButton;

namespace ui {

class EditDelegate;

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
    /// Appends a row with these cells, each whole: for text that may hold a TAB.
    void addItem(const QStringList& cells);
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

    // Editing, cell buttons and sorting by code (the editor page's grids).

    /// The text of the cell editor while an edit is being validated.
    QString editText() const { return editText_; }
    /// "..." gives the cells of col a button while they are in the current row; the empty text
    /// (or any other) none.
    /// The combo-list setting that gives a column its cell button.
    static inline const QString kCellButton = QStringLiteral("...");
    void setColComboList(int col, const QString& list);
    QString colComboList(int col) const;
    /// Sorts the data rows by col, order 1 ascending or 2 descending, as a header click does,
    /// and raises afterSort.
    void sortRows(int col, int order);

signals:
    void rowColChange();
    void click();
    void afterSort(int col, int order);
    void gotFocus();
    /// An edit of a cell is about to start; cancel refuses it.
    void beforeEdit(int row, int col, bool& cancel);
    /// An edit is about to end with editText(); cancel keeps the cell's old text.
    void validateEdit(int row, int col, bool& cancel);
    /// An edit has ended and its text is in the cell.
    void afterEdit(int row, int col);
    /// Follows rowColChange: a cell has become the current cell.
    void enterCell();
    /// The button of a cell (see setColComboList) was pressed.
    void cellButtonClick(int row, int col);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void updateGeometries() override;

private:
    friend class EditDelegate;
    void sortByHeader(int col);
    void placeCellButton();
    QTableWidgetItem* cell(int row, int col, bool create);
    void checkCell(int row, int col) const; // raises 9 outside the grid

    Behaviour behaviour_;
    int fixedRows_ = 0;
    int appearance_ = 0;
    int sortCol_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    QString editText_;
    QHash<int, QString> comboLists_;
    QToolButton* cellButton_ = nullptr;
};

/// Twips to pixels, 15 to a pixel.
constexpr int pixels(int twips) { return twips / 15; }

} // namespace ui
