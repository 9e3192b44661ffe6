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

bool preparesCharacter(const QKeyEvent* event)
{
    const int key = event->key();
    if (key >= Qt::Key_Dead_Grave && key <= Qt::Key_Dead_Longsolidusoverlay)
        return true;
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
    case Qt::Key_Multi_key:
    case Qt::Key_Codeinput: return true;
    // A level or group shift the toolkit has no name for (ISO_Level5_Shift and the like).
    case Qt::Key_unknown: return event->text().isEmpty();
    default: return false;
    }
}

} // namespace ui
