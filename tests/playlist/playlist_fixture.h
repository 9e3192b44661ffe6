#pragma once
// The playlist page over real files: the editor's fixture, the page shown, and the grid driven by
// presses, moves and releases on its cells.
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include "project/editor_fixture.h"
#include "ui/colors.h"

struct PlaylistFixture : EditorFixture {
    ui::Grid* grid() const { return w->vsPLAYLIST; }
    QByteArray playlist() const { return readRaw(data(QStringLiteral("playlist.dat"))); }
    void writePlaylist(const QByteArray& bytes) { writeRaw(data(QStringLiteral("playlist.dat")), bytes); }

    /// Opens the project and switches to "Play list".
    void openPage()
    {
        open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        showPage();
    }
    void showPage() { w->tbMAIN->setTab(1); }

    // ---- The grid under the mouse; row 0 is the header, -1 below the last row -----------------
    QWidget* target(int row) const { return row == 0 ? grid()->horizontalHeader()->viewport() : grid()->viewport(); }
    QPoint point(int row, int col) const
    {
        QHeaderView* h = grid()->horizontalHeader();
        const int x = h->sectionViewportPosition(col) + h->sectionSize(col) / 2;
        if (row == 0)
            return QPoint(x, h->height() / 2);
        if (row < 0)
            return QPoint(x, grid()->visualRect(grid()->model()->index(grid()->rows() - 2, col)).bottom() + 12);
        return QPoint(x, grid()->visualRect(grid()->model()->index(row - 1, col)).center().y());
    }
    void mouse(QEvent::Type type, int row, int col, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QWidget* to = target(row);
        const QPoint at = point(row, col);
        QMouseEvent event(type, at, to->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(to, &event);
    }
    void press(int row, int col, Qt::MouseButton b = Qt::LeftButton) { mouse(QEvent::MouseButtonPress, row, col, b, b); }
    void release(int row, int col, Qt::MouseButton b = Qt::LeftButton) { mouse(QEvent::MouseButtonRelease, row, col, b, {}); }
    void moveHolding(int row, int col, Qt::MouseButtons held = Qt::LeftButton) { mouse(QEvent::MouseMove, row, col, Qt::NoButton, held); }
    void hover(int row, int col = 2) { moveHolding(row, col, {}); }
    void click(int row, int col, Qt::MouseButton b = Qt::LeftButton)
    {
        press(row, col, b);
        release(row, col, b);
    }
    /// A right press on (row, col) opens a pop-up; the operator chooses the item with caption.
    void chooseFromMenu(int row, int col, const QString& caption)
    {
        QTimer::singleShot(0, [caption] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* item : menu->actions())
                if (item->text() == caption)
                    return item->trigger();
            menu->close();
            QFAIL(qPrintable(caption));
        });
        press(row, col, Qt::RightButton);
        release(row, col, Qt::RightButton);
    }
    void removeByMenu(int row) { chooseFromMenu(row, 1, QStringLiteral("Διαγραφή")); }

    /// Back colours of row r, columns 1 to the last.
    QList<quint32> colours(int r) const
    {
        QList<quint32> out;
        for (int c = 1; c < grid()->cols(); ++c)
            out << grid()->cellBackColor(r, c);
        return out;
    }
    /// Row r's stripe on columns 1 to 5 and `steps` on the step cells.
    QList<quint32> painted(int r, quint32 steps) const
    {
        QList<quint32> out(5, ui::palette::stripe(r));
        for (int c = 6; c < grid()->cols(); ++c)
            out << steps;
        return out;
    }
    QStringList row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < grid()->cols(); ++c)
            cells << grid()->textMatrix(r, c);
        return cells;
    }
};
