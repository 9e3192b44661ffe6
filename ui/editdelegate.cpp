#include "ui/editdelegate.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPainter>
#include <QScopedValueRollback>
#include <limits>

#include "ui/grid.h"
#include "ui/shown.h"

namespace ui {

EditDelegate::EditDelegate(Grid* grid) : QStyledItemDelegate(grid), grid_(grid) { addCellEditor(this); }

EditDelegate::~EditDelegate() { removeCellEditor(this); }

QWidget* EditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    bool cancel = false;
    emit grid_->beforeEdit(index.row() + grid_->fixedRows_, index.column(), cancel);
    if (cancel)
        return nullptr;
    editing_ = index;
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    // A line editor cuts its text at 32,767 characters by default: a value is kept whole.
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setMaxLength(std::numeric_limits<int>::max());
    return editor;
}

bool EditDelegate::isOpen() const { return editor() != nullptr; }

bool EditDelegate::finish()
{
    QWidget* open = editor();
    return !open || end(open, NoHint);
}

void EditDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->text.size() > kShownChars)
        option->text.truncate(kShownChars);
    if (grid_->centredCols_.contains(index.column()))
        option->displayAlignment = Qt::AlignCenter;
}

void EditDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (grid_->behaviour_.rowSelection) {
        QStyledItemDelegate::paint(painter, option, index);
    } else {
        // Free cells are painted as they are held: no state of the view tints them, the
        // cue's frame is drawn over them afterwards.
        QStyleOptionViewItem plain(option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
        QStyledItemDelegate::paint(painter, plain, index);
    }
    const QVariant shown = index.data(PictureRole);
    if (!shown.isValid())
        return;
    const QPixmap picture = shown.value<QPixmap>();
    QRect at(QPoint(), picture.deviceIndependentSize().toSize());
    at.moveCenter(option.rect.center());
    painter->drawPixmap(at, picture);
}

void EditDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    Q_UNUSED(model);
    // One commit at a time: what the check and the save raise does not commit again.
    if (committing_)
        return;
    const QScopedValueRollback guard(committing_, true);
    const CommitScope commit;
    const QByteArray property = editor->metaObject()->userProperty().name();
    grid_->editText_ = editor->property(property.constData()).toString();
    const int row = index.row() + grid_->fixedRows_;
    // The same text refused once in this action is not asked about again: a click raises
    // several events, each of which would finish the edit.
    bool cancel = grid_->editText_ == refusedText_ && refusedIn_ == currentAction();
    if (!cancel)
        emit grid_->validateEdit(row, index.column(), cancel);
    accepted_ = !cancel;
    if (cancel) {
        refusedText_ = grid_->editText_;
        refusedIn_ = currentAction();
    } else {
        refusedText_.clear();
        // A grid that shows a model of the program's shows what the handler makes of the text.
        if (!grid_->source_)
            grid_->setTextMatrix(row, index.column(), grid_->editText_);
        emit grid_->afterEdit(row, index.column());
    }
    grid_->editText_.clear();
}

bool EditDelegate::eventFilter(QObject* object, QEvent* event)
{
    // Losing the focus ends nothing: the operator's next action finishes the edit, and a
    // refusal stops that action; a box, a pop-up or a window going away takes the focus
    // without being one.
    if (event->type() == QEvent::FocusOut)
        return false;
    if (event->type() == QEvent::KeyPress && object == editor()) {
        auto* open = static_cast<QWidget*>(object);
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: end(open, NoHint); return true;
        case Qt::Key_Tab: end(open, EditNextItem); return true;
        case Qt::Key_Backtab: end(open, EditPreviousItem); return true;
        default: break;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

QWidget* EditDelegate::editor() const
{
    return grid_->state() == QAbstractItemView::EditingState && editing_.isValid() ? grid_->indexWidget(editing_) : nullptr;
}

bool EditDelegate::end(QWidget* open, EndEditHint hint)
{
    if (committing_)
        return true;
    accepted_ = false;
    emit commitData(open);
    if (!accepted_) {
        open->setFocus();
        return false;
    }
    emit closeEditor(open, hint);
    return true;
}

} // namespace ui
