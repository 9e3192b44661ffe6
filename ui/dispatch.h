#pragma once
#include "fault/trap.h"

namespace ui {

/// True while a modal box of the program waits for the operator. Qt's nested event loop still
/// delivers ticks, socket events and queued clicks then; no handler may run on them.
bool modalBusy();

/// Marks a modal box as up for its lifetime. No processor fault lands in a step while it is up:
/// the box's event loop is the toolkit's, and jumping out of it would break the toolkit.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    fault::FaultGuardsOff guardsOff_;
};

/// The operator's current action: a press of a mouse button or a key starts one, and it takes in
/// every event the press sets off until the next (the click that follows a button's release, a
/// sort after a header click). Presses that answer a modal box belong to the action that raised it.
quint64 currentAction();
/// Starts a new action unless a handler is running: a procedure run from outside every handler
/// (a test, a benchmark) is an action of its own.
void beginActionOutsideHandlers();
/// Makes the application's presses start actions; called once at start-up.
void watchActions();

/// Counts the handlers running, nested ones included.
class HandlerScope {
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

/// Runs an event handler. A failure that leaves the handler outside its steps is reported under
/// the handler's location: Retry runs the handler again, Ignore goes on with the next event,
/// Abort ends the program.
template <class F> void runHandler(F&& handler)
{
    // A handler raised by a statement of another (grids raise their events synchronously) is a
    // procedure of its own: a fault outside its steps must not land in the other's step, across
    // the toolkit's frames between them.
    fault::FaultGuardsOff ownGuards;
    HandlerScope running;
    for (;;) {
        fault::clearEscape();
        try {
            handler();
            return;
        } catch (const fault::ProgramEnding&) {
            throw;
        } catch (...) {
            if (fault::reportEscaped() != fault::Answer::Retry)
                return;
        }
    }
}

/// A grid's cell editor as the dispatch layer sees it. At most one is open at a time, and the
/// operator's next action finishes it.
class CellEditor {
public:
    /// Whether an editor is open with text not yet committed.
    virtual bool isOpen() const = 0;
    /// Commits the open editor's text as Return does, with its checks and its save, and closes
    /// the editor; false when the text is refused: the editor stays open, holding it.
    virtual bool finish() = 0;

protected:
    ~CellEditor() = default;
};
/// Every grid that edits registers its editor for its lifetime.
void addCellEditor(CellEditor* editor);
void removeCellEditor(CellEditor* editor);

/// Marks an edit being committed for its lifetime: the handlers the commit raises (its check,
/// its save) are part of it and finish nothing.
class CommitScope {
public:
    CommitScope();
    ~CommitScope();
    CommitScope(const CommitScope&) = delete;
    CommitScope& operator=(const CommitScope&) = delete;
};

/// Finishes an open edit before what would read, send, save or reload the grids: true when none
/// was open or its text was saved, false when it was refused (the editor stays open). Nothing is
/// done while a commit runs.
bool finishOpenEdit();

/// Runs an event handler as runHandler does, unless a modal box is up: then the event is dropped.
/// An edit left open is finished first, as a click on another control finishes it where controls
/// take the focus (here buttons do not); a refused edit ends the action there.
template <class F> void dispatch(F&& handler)
{
    if (!modalBusy() && finishOpenEdit())
        runHandler(handler);
}

/// Runs a timer's handler as dispatch does, leaving an open edit open: a tick is no action of
/// the operator's, and must not end what is being typed.
template <class F> void dispatchTick(F&& handler)
{
    if (!modalBusy())
        runHandler(handler);
}

} // namespace ui
