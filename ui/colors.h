#pragma once
#include <QColor>

namespace ui {

/// A colour of the program's own: 24 bits, red in the low byte, green in the middle, blue high.
QColor vbColor(quint32 value);
/// The reverse, for reading a colour back.
quint32 vbValue(const QColor& color);

/// Every colour the program paints, named once. Marks are compared by these exact values.
namespace palette {
// The connect button
inline constexpr quint32 LinkIdle = 8421631;  // light red: not connected
inline constexpr quint32 LinkBlink = 255;     // red: the other blink phase while the link is down
inline constexpr quint32 LinkUp = 65280;      // green: connected
// The playlist's rows: stripes on columns 1 to 5, resting colours on the step cells
inline constexpr quint32 StripeEven = 16768434; // 178, 221, 255
inline constexpr quint32 StripeOdd = 14474460;  // 220, 220, 220
inline constexpr quint32 RestEven = 15055747;   // 131, 187, 229
inline constexpr quint32 RestOdd = 12500670;    // 190, 190, 190
// The marks of a step cell
inline constexpr quint32 OnAir = 13172680;     // 200, 255, 200
inline constexpr quint32 OnPreview = 13172735; // 255, 255, 200
inline constexpr quint32 Cleared = 13158600;   // 200, 200, 200
inline constexpr quint32 Refused = 13158655;   // 255, 200, 200: the server refused its line
/// The frame of the playlist's current cell, drawn over its colour, never instead of it.
inline constexpr quint32 Cue = 12582912;       // 0, 0, 192

/// The stripe of columns 1 to 5 of playlist row r.
constexpr quint32 stripe(int r) { return r % 2 == 0 ? StripeEven : StripeOdd; }
/// The resting colour of the step cells of playlist row r.
constexpr quint32 rest(int r) { return r % 2 == 0 ? RestEven : RestOdd; }
} // namespace palette

} // namespace ui
