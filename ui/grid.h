#pragma once
#include <QHash>
#include <QTableView>

#include "ui/gridmodel.h"
#include "ui/twips.h"

namespace ui {

class CellButton;
class EditDelegate;

/// A grid as the handlers see it: row 0 is the header row when the grid has one fixed row, data
/// rows count from 1, cells are read and written as text. Its events are raised synchronously,
/// also while code fills it. A grid keeps its cells itself, or shows a model of the program's
/// (setSource): then the model alone changes what the cells hold, and the grid follows.
class Grid : public QTableView {
    Q_OBJECT
public:
    struct Behaviour {
        bool rowSelection = true;  // whole rows, always highlighted; else free cells, no highlight
        bool headerSort = false;   // a header click sorts by its column
        bool editable = false;     // cells editable by keyboard and mouse
        bool ellipsis = false;     // long cell text ends in an ellipsis
        // Presses, moves (also without a button) and releases go to the handlers alone: Qt's
        // selecting by mouse and its current-cell moves are off, so only handlers move them.
        bool mouseEvents = false;
        // Key presses go to the handlers alone (keyDown): Qt's moves of the current cell are off.
        bool keyEvents = false;
    };
    Grid(const QString& name, const Behaviour& behaviour, QWidget* parent);

    /// Shows source instead of cells of its own: rows, text, back colours (BackgroundRole),
    /// pictures (PictureRole), the cue (CueRole) and the row keys (KeyRole) come from it, the
    /// header from its header data, and a sort is its own. Whatever writes cells (setTextMatrix, addItem, moveRow, ...) then raises 5.
    void setSource(QAbstractItemModel* source);

    /// All rows, the fixed header row included.
    int rows() const { return model()->rowCount() + fixedRows_; }
    void setRows(int rows);
    int cols() const { return model()->columnCount(); }
    void setCols(int cols);
    int fixedRows() const { return fixedRows_; }
    /// 0 or 1: whether row 0 is the header row.
    void setFixedRows(int fixedRows);

    /// Cell text; a cell outside the grid raises 9 (subscript out of range).
    /// A reference, not a copy, valid until the grid next changes (with a source, until the next call).
    const QString& textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    /// Appends a row whose cells are the TAB-separated parts of text.
    void addItem(const QString& text);
    /// Appends a row with these cells, each whole: for text that may hold a TAB. key names what
    /// the row shows (a card, a dataset file): the row keeps it wherever it moves.
    void addItem(const QStringList& cells, const QVariant& key = QVariant());
    /// The key row was added with; none for the header or a row added without one.
    QVariant rowKey(int row) const;
    void removeItem(int row);
    /// Takes row from out and puts it back so that it becomes row to; the rows between shift by
    /// one. Its cells go whole: text, back colours, picture, border.
    void moveRow(int from, int to);

    /// The current row (0 when there is none).
    int row() const;
    void setRow(int row);
    int col() const;
    /// With no current row yet the column waits for the next setRow.
    void setCol(int col);
    /// Makes (row, col) the far corner of the selection, which runs from the current cell to it
    /// and is what setCellBorder frames. Setting the current row or column puts the corner there too.
    void selectTo(int row, int col);

    void setColHidden(int col, bool hidden);
    /// Widths in twips.
    void setColWidth(int col, int twips);
    int colWidth(int col) const;
    /// The grid's own width in twips.
    int widthTwips() const { return twips(width()); }
    /// Repaints the grid now.
    void refresh() { viewport()->repaint(); }
    void setExtendLastCol(bool extend);
    /// Centres the data cells of col.
    void setColCentred(int col);

    /// A cell's back colour (red in the low byte); 0 when it has none of its own.
    quint32 cellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, quint32 value);
    /// Paints the rectangle of cells from (row1, col1) to (row2, col2).
    void setCellBackColor(int row1, int col1, int row2, int col2, quint32 value);
    /// A picture drawn centred in the cell; a null picture takes it away.
    void setCellPicture(int row, int col, const QPixmap& picture);
    QPixmap cellPicture(int row, int col) const;
    /// Frames each row of the selection, drawn over its cells: colour, then the widths in pixels
    /// of the left, top, right and bottom edges and of the inner lines (not drawn). All widths 0
    /// takes the frame away. A row's frame goes with the row.
    void setCellBorder(quint32 colour, int left, int top, int right, int bottom, int vertical, int horizontal);
    /// Whether row has a frame, and its colour and edge widths (left, top, right, bottom).
    bool cellBorder(int row, quint32* colour = nullptr, QList<int>* widths = nullptr) const;

    /// The cell under the pointer at the last mouse event: the header is row 0; off the cells,
    /// below the last row included, -1.
    int mouseRow() const { return mouseRow_; }
    int mouseCol() const { return mouseCol_; }
    /// Scrolls the cell into view.
    void showCell(int row, int col);
    /// How many whole rows the view shows at once (at least 1).
    int rowsInView() const;

    /// What the pointer shows over the cells.
    enum class DragDisplay {
        None,    // the pointer as everywhere else
        Dragging // a closed hand: a row is being dragged
    };
    void setDragDisplay(DragDisplay display);

    /// The grid's border.
    enum class Appearance {
        Sunken, // three-dimensional: the grid stands out
        Light   // a thin line: the grid rests
    };
    void setAppearance(Appearance appearance);
    Appearance appearance() const { return appearance_; }

    // Editing, cell buttons and sorting by code (the editor page's grids).

    /// The text of the cell editor while an edit is being validated.
    QString editText() const { return editText_; }
    /// "..." gives the cells of col a button while they are in the current row; the empty text
    /// (or any other) none.
    /// The combo-list setting that gives a column its cell button.
    static inline const QString kCellButton = QStringLiteral("...");
    void setColComboList(int col, const QString& list);
    QString colComboList(int col) const;
    /// Sorts the data rows by col, as a header click does, and raises afterSort.
    void sortRows(int col, Qt::SortOrder order);

signals:
    void rowColChange();
    void click();
    void afterSort(int col, Qt::SortOrder order);
    void gotFocus();
    /// An edit of a cell is about to start; cancel refuses it.
    void beforeEdit(int row, int col, bool& cancel);
    /// An edit is about to end with editText(); cancel keeps the cell's old text.
    void validateEdit(int row, int col, bool& cancel);
    /// An edit has ended and its text is in the cell; in a grid that shows a model, the handler
    /// puts it there through the model.
    void afterEdit(int row, int col);
    /// Follows rowColChange: a cell has become the current cell.
    void enterCell();
    /// The button of a cell (see setColComboList) was pressed.
    void cellButtonClick(int row, int col);
    /// Mouse events of a grid with mouseEvents: the button that went down or up (for a move,
    /// the buttons held) as 1 left, 2 right, 4 middle; shift 1, control 2, alt 4; the pointer
    /// in twips from the grid's top left. mouseRow() and mouseCol() are set before.
    void mouseDown(short button, short shift, float x, float y);
    void mouseMove(short button, short shift, float x, float y);
    void mouseUp(short button, short shift, float x, float y);
    /// A key of a grid with keyEvents: its code (ui::keys), the shift state, and whether the
    /// press repeats a held key.
    void keyDown(short keyCode, short shift, bool repeat);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;

private:
    friend class EditDelegate;
    /// A frame drawn over the cells col1 to col2 of a row; the default one is none.
    struct Frame {
        quint32 colour = 0;
        int left = 0, top = 0, right = 0, bottom = 0;
        int col1 = 0, col2 = 0;
        bool isNone() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    };
    // The constructor's steps.
    void setUpLooks();
    void setUpSelection();
    void setUpInput();
    void setUpEditing();
    void connectEvents();
    GridModel& own() const; // raises 5 when a source is shown
    QModelIndex cell(int row, int col) const { return model()->index(row - fixedRows_, col); }
    void connectSelection();
    void paintFrames(); // the row frames of setCellBorder
    void paintCue();
    void sortByHeader(int col);
    void placeCellButton();
    void checkCell(int row, int col) const; // raises 9 outside the grid
    enum class Mouse { Down, Move, Up };
    // Locates the pointer (given in the grid's own coordinates) and raises the event.
    void raiseMouse(Mouse kind, const QMouseEvent* event, const QPoint& inGrid, bool inHeader);

    Behaviour behaviour_;
    GridModel* model_;             // the grid's own cells, when it shows no source
    QAbstractItemModel* source_ = nullptr;
    mutable QString shownText_;    // textMatrix's text of a source's cell
    // Each frame stays with its row, by the row's first cell, however rows move or sort.
    QList<std::pair<QPersistentModelIndex, Frame>> frames_;
    int fixedRows_ = 0;
    Appearance appearance_ = Appearance::Light;
    int sortCol_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    QString editText_;
    QHash<int, QString> comboLists_;
    CellButton* cellButton_ = nullptr;
    QList<int> centredCols_;
    int pendingCol_ = -1;
    // The selection's far corner (selectTo).
    int cornerRow_ = 0;
    int cornerCol_ = 0;
    int mouseRow_ = -1;
    int mouseCol_ = -1;
};

} // namespace ui
