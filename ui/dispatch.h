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

/// Runs an event handler as runHandler does, unless a modal box is up: then the event is dropped.
template <class F> void dispatch(F&& handler)
{
    if (!modalBusy())
        runHandler(handler);
}

} // namespace ui
