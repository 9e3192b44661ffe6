#pragma once
#include <utility>

namespace ui {

/// True while a modal box of the program waits for the operator. Qt's nested event loop still
/// delivers ticks, socket events and queued clicks then; no handler may run on them.
bool modalBusy();

/// Marks a modal box as up for its lifetime.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

/// Runs an event handler, unless a modal box is up: then the event is dropped.
template <class F> void dispatch(F&& handler)
{
    if (!modalBusy())
        std::forward<F>(handler)();
}

} // namespace ui
