#include "ui/screenfit.h"

#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <algorithm>
#include <cmath>

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
    QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                   outer.bottom() - inner.bottom());
    // At a fractional scale the margins, read in whole logical pixels, may be a device pixel short.
    const qreal ratio = window.devicePixelRatioF();
    if (ratio != std::floor(ratio))
        frame += QMargins(1, 1, 1, 1);
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
        // The layout set the window's minimum to the whole client when it was last activated (on
        // Windows, when the platform window was made): recomputed now, or resize() keeps to it.
        window.layout()->activate();
        window.setMaximumSize(whole.expandedTo(size)); // no larger than needs, scroll bars counted
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
