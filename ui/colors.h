#pragma once
#include <QColor>

namespace ui {

/// A colour of the program's own: 24 bits, red in the low byte, green in the middle, blue high.
QColor vbColor(quint32 value);
/// The reverse, for reading a colour back.
quint32 vbValue(const QColor& color);

} // namespace ui
