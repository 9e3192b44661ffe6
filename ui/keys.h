#pragma once
// Key codes as the handlers see them, and the toolkit's keys turned into them.
#include <QKeyEvent>

namespace ui {

/// The classic key codes: Enter on the keypad is Return.
namespace keys {
enum : short {
    Return = 13,
    Space = 32,
    PageUp = 33,
    PageDown = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    F12 = 123,
};
/// The shift state of a key event: shift 1, control 2, alt 4.
enum : short { Shift = 1, Control = 2, Alt = 4 };
} // namespace keys

/// The key code of a key event; 0 for a key the handlers do not know.
short keyCode(const QKeyEvent* event);
/// Shift 1, control 2, alt 4.
short shiftCode(Qt::KeyboardModifiers modifiers);
/// Whether a key only prepares the character still to come (a modifier alone, Caps Lock, a dead
/// or compose key): it belongs to whatever is being typed and is no action of its own.
bool preparesCharacter(const QKeyEvent* event);

} // namespace ui
