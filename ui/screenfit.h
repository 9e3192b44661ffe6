#pragma once
// A window that opens whole on its screen.
#include <QMargins>
#include <QRect>
#include <QSize>

class QMainWindow;

namespace ui {

/// The size a main window opens at: whole where the screen's available area holds it with its
/// frame; else the area's size, its client scrolling (scrollBar: the extent of a scroll bar,
/// added where one is needed and room allows). chrome is what the window adds around its client
/// (menu bar, status bar). All in the screen's logical pixels.
QSize fittedSize(QSize client, QSize chrome, QMargins frame, QSize available, int scrollBar);

/// Opens window on its screen whole: where the available area is smaller than the window, the
/// window takes that size and its central widget, kept at its fixed size, scrolls inside it (a
/// QScrollArea named "clientScroll"). The frame is moved onto the available area. Before show().
void fitToScreen(QMainWindow& window);

} // namespace ui
