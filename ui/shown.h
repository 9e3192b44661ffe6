#pragma once
#include <QtGlobal>

namespace ui {

/// No cell or node shows more than a screen's width of text: laying out the whole of a huge one
/// to elide it would hold the window for seconds on every paint.
inline constexpr qsizetype kShownChars = 1000;

} // namespace ui
