#include "ui/pictures.h"

#include <QPainter>

namespace ui {

QPixmap cardTypePicture(int type)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    switch (type) {
    case 1: // film strip: a dark band with sprocket holes and two frames
        p.fillRect(1, 2, 14, 12, QColor(40, 40, 40));
        for (int x = 2; x < 15; x += 3) {
            p.fillRect(x, 3, 2, 2, Qt::white);
            p.fillRect(x, 11, 2, 2, Qt::white);
        }
        p.fillRect(2, 6, 5, 4, QColor(120, 170, 230));
        p.fillRect(9, 6, 5, 4, QColor(120, 170, 230));
        break;
    case 2: // a framed landscape: sky, sun, hills
        p.fillRect(1, 1, 14, 14, QColor(140, 100, 50));
        p.fillRect(3, 3, 10, 10, QColor(150, 200, 250));
        p.setBrush(QColor(250, 220, 60));
        p.setPen(Qt::NoPen);
        p.drawEllipse(9, 4, 3, 3);
        p.setBrush(QColor(60, 150, 60));
        p.drawPolygon(QPolygon({QPoint(3, 13), QPoint(7, 7), QPoint(10, 11), QPoint(13, 8), QPoint(13, 13)}));
        break;
    case 3: // three mixer faders at different heights
        for (int i = 0; i < 3; ++i) {
            const int x = 3 + i * 5;
            p.fillRect(x, 1, 1, 14, QColor(60, 60, 60));
            const int y = (i == 0) ? 9 : (i == 1 ? 3 : 6);
            p.fillRect(x - 2, y, 5, 3, QColor(200, 40, 40));
        }
        break;
    default:
        break;
    }
    return pm;
}

} // namespace ui
