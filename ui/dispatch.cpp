#include "ui/dispatch.h"

#include <QApplication>
#include <QEvent>
#include <QList>

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
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
            // A press passed on to the window's widgets, and up to their parents, is seen more than
            // once: every sighting precedes the handlers it sets off, so counting each is harmless.
            if (!modalBusy())
                ++action;
            break;
        default: break;
        }
        return QObject::eventFilter(watched, event);
    }
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
