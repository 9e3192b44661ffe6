#include "ui/dispatch.h"

#include <QApplication>
#include <QEvent>
#include <QList>
#include <QMouseEvent>

namespace ui {

namespace {
int modalDepth = 0;
int handlerDepth = 0;
int commitDepth = 0;
quint64 action = 1;
QList<CellEditor*> cellEditors;

class ActionWatch : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            // A press is seen by its window first, then by the widget under it and each parent it
            // is passed to; the focus moves between those sightings, and what the focus sets off
            // belongs to the press: it is counted once.
            const auto* mouse = static_cast<const QMouseEvent*>(event);
            const Press press{event->type(), mouse->timestamp(), mouse->globalPosition(), mouse->button()};
            if (!modalBusy() && !(press == lastPress_) && !focusedByPress_)
                ++action;
            lastPress_ = press;
            focusedByPress_ = false;
            break;
        }
        case QEvent::FocusIn:
            // A press moves the focus before any filter sees the press itself: the action starts here.
            if (static_cast<const QFocusEvent*>(event)->reason() == Qt::MouseFocusReason && !focusedByPress_ &&
                !modalBusy()) {
                ++action;
                focusedByPress_ = true;
            }
            break;
        case QEvent::Wheel: focusedByPress_ = false; break; // a wheel moves the focus too
        case QEvent::KeyPress:
            focusedByPress_ = false;
            // A press passed on to the window's widgets, and up to their parents, is seen more than
            // once: every sighting precedes the handlers it sets off, so counting each is harmless.
            if (!modalBusy())
                ++action;
            break;
        default: break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    struct Press {
        QEvent::Type type = QEvent::None;
        quint64 timestamp = 0;
        QPointF at;
        Qt::MouseButton button = Qt::NoButton;
        bool operator==(const Press&) const = default;
    };
    Press lastPress_;
    bool focusedByPress_ = false; // the focus moved for a press not yet seen
};
} // namespace

bool modalBusy() { return modalDepth > 0; }
ModalScope::ModalScope() { ++modalDepth; }
ModalScope::~ModalScope() { --modalDepth; }

HandlerScope::HandlerScope() { ++handlerDepth; }
HandlerScope::~HandlerScope() { --handlerDepth; }

quint64 currentAction() { return action; }

void addCellEditor(CellEditor* editor) { cellEditors.append(editor); }
void removeCellEditor(CellEditor* editor) { cellEditors.removeAll(editor); }

CommitScope::CommitScope() { ++commitDepth; }
CommitScope::~CommitScope() { --commitDepth; }

bool finishOpenEdit()
{
    if (commitDepth > 0)
        return true;
    for (CellEditor* editor : std::as_const(cellEditors))
        if (editor->isOpen() && !editor->finish())
            return false;
    return true;
}

void beginActionOutsideHandlers()
{
    if (handlerDepth == 0)
        ++action;
}

void watchActions()
{
    static ActionWatch* watch = nullptr;
    if (!watch && qApp) {
        watch = new ActionWatch(qApp);
        qApp->installEventFilter(watch);
    }
}

} // namespace ui
