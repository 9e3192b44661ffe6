#include "ui/screenfit.h"

#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <algorithm>

namespace ui {

QSize fittedSize(QSize client, QSize chrome, QMargins frame, QSize available, int scrollBar)
{
    const QSize room = available.shrunkBy(frame) - chrome;
    bool across = client.width() > room.width();
    bool down = client.height() > room.height();
    // A scroll bar takes room from the other direction.
    down = down || (across && client.height() + scrollBar > room.height());
    across = across || (down && client.width() + scrollBar > room.width());
    if (!across && !down)
        return client + chrome;
    const QSize wanted(client.width() + (down ? scrollBar : 0), client.height() + (across ? scrollBar : 0));
    return wanted.boundedTo(room) + chrome;
}

void fitToScreen(QMainWindow& window)
{
    window.winId(); // the platform window exists: its frame is known where the system tells it at once
    const QRect available = window.screen()->availableGeometry();
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    QWidget* client = window.centralWidget();
    const QSize whole = window.size();
    const QSize chrome = whole - client->size();
    const int scrollBar = window.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &window);
    const QSize size = fittedSize(client->size(), chrome, frame, available.size(), scrollBar);
    if (size != whole) {
        auto* scroll = new QScrollArea(&window);
        scroll->setObjectName(QStringLiteral("clientScroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidget(window.takeCentralWidget()); // kept at its fixed size: the layout does not change
        window.setCentralWidget(scroll);
        window.setMaximumSize(whole);
        window.resize(size);
    }
    // The whole frame on the available area: where it would lie partly off it, at its top left.
    const QSize framed = window.size().grownBy(frame);
    QRect placed(window.pos(), framed);
    if (!available.contains(placed)) {
        placed.moveTopLeft(available.topLeft() +
                           QPoint(std::max(0, (available.width() - framed.width()) / 2),
                                  std::max(0, (available.height() - framed.height()) / 2)));
        window.move(placed.topLeft());
    }
}

} // namespace ui
