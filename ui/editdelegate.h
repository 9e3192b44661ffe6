#pragma once
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

#include "ui/dispatch.h"

namespace ui {

class Grid;

/// Raises the grid's editing events around Qt's own editing, and ends an edit only with text
/// the checks accept: a refused text stays in its open editor, for the operator to correct.
class EditDelegate : public QStyledItemDelegate, public CellEditor {
public:
    /// Edits the cells of grid, and is one of the editors an action finishes first.
    explicit EditDelegate(Grid* grid);
    ~EditDelegate() override;

    /// Raises beforeEdit; a cancelled edit opens no editor.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    /// Whether an editor is open.
    bool isOpen() const override;
    /// Ends the open edit with its text; false when the text was refused and the editor stays.
    bool finish() override;
    /// Shortens huge texts and centres the grid's centred columns.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    /// Paints the cell and the picture centred in it.
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    /// Raises validateEdit; text the check accepts goes into the cell and raises afterEdit.
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    // The open editor, or null.
    QWidget* editor() const;
    // Commits the editor's text; with it taken the editor closes, refused it stays open.
    bool end(QWidget* open, EndEditHint hint);

    Grid* grid_;
    mutable QPersistentModelIndex editing_;
    mutable bool committing_ = false;
    mutable bool accepted_ = false;
    mutable QString refusedText_;
    mutable quint64 refusedIn_ = 0;
};

} // namespace ui
