#pragma once
#include <QColor>

namespace ui {

/// A colour of the program's own: 24 bits, red in the low byte, green in the middle, blue high.
QColor vbColor(quint32 value);
/// The reverse, for reading a colour back.
quint32 vbValue(const QColor& color);
/// The program's own value of the colour with these red, green and blue parts.
constexpr quint32 rgb(int red, int green, int blue) { return quint32(red) | quint32(green) << 8 | quint32(blue) << 16; }

/// Every colour the program paints, named once: the buttons take theirs from here, and the
/// playlist's model gives each cell the colour of its running-order mark from here.
namespace palette {
// The connect button
inline constexpr quint32 LinkIdle = rgb(255, 128, 128); // light red: not connected
inline constexpr quint32 LinkBlink = rgb(255, 0, 0);    // red: the other blink phase while the link is down
inline constexpr quint32 LinkUp = rgb(0, 255, 0);       // green: connected
// The playlist's rows: stripes on columns 1 to 5, resting colours on the step cells
inline constexpr quint32 StripeEven = rgb(178, 221, 255);
inline constexpr quint32 StripeOdd = rgb(220, 220, 220);
inline constexpr quint32 RestEven = rgb(131, 187, 229);
inline constexpr quint32 RestOdd = rgb(190, 190, 190);
// The marks of a step cell
inline constexpr quint32 OnAir = rgb(200, 255, 200);
inline constexpr quint32 OnPreview = rgb(255, 255, 200);
inline constexpr quint32 Cleared = rgb(200, 200, 200);
inline constexpr quint32 Refused = rgb(255, 200, 200); // the server refused its line
/// The frame of the playlist's current cell, drawn over its colour, never instead of it.
inline constexpr quint32 Cue = rgb(0, 0, 192);

/// The stripe of columns 1 to 5 of playlist row r.
constexpr quint32 stripe(int r) { return r % 2 == 0 ? StripeEven : StripeOdd; }
/// The resting colour of the step cells of playlist row r.
constexpr quint32 rest(int r) { return r % 2 == 0 ? RestEven : RestOdd; }
} // namespace palette

} // namespace ui
