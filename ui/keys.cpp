#include "ui/keys.h"

namespace ui {

short keyCode(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return keys::Return;
    case Qt::Key_Space: return keys::Space;
    case Qt::Key_PageUp: return keys::PageUp;
    case Qt::Key_PageDown: return keys::PageDown;
    case Qt::Key_End: return keys::End;
    case Qt::Key_Home: return keys::Home;
    case Qt::Key_Left: return keys::Left;
    case Qt::Key_Up: return keys::Up;
    case Qt::Key_Right: return keys::Right;
    case Qt::Key_Down: return keys::Down;
    case Qt::Key_F12: return keys::F12;
    default: return 0;
    }
}

short shiftCode(Qt::KeyboardModifiers modifiers)
{
    return short((modifiers & Qt::ShiftModifier ? keys::Shift : 0) | (modifiers & Qt::ControlModifier ? keys::Control : 0) |
                 (modifiers & Qt::AltModifier ? keys::Alt : 0));
}

} // namespace ui
