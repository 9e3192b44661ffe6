#pragma once
#include <QPixmap>

namespace ui {

/// The card-type pictures, 16 by 16: 0 none, 1 film strip, 2 framed landscape, 3 mixer faders.
QPixmap cardTypePicture(int type);

} // namespace ui
