#pragma once
// The playlist page over real files: the editor's fixture, the page shown, and the grid driven by
// presses, moves and releases on its cells.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include "drive.h"
#include "editor_fixture.h"
#include "recorder.h"
#include "ui/colors.h"

namespace PlaylistCol = app::mGENERAL::PlaylistCol;
/// The grid columns of an entry's first steps.
constexpr int Step1 = PlaylistCol::Steps, Step2 = Step1 + 1, Step3 = Step1 + 2, Step4 = Step1 + 3;

struct PlaylistFixture : EditorFixture {
    std::unique_ptr<QAbstractItemModelTester> modelTester;
    std::unique_ptr<QAbstractItemModelTester> treeTester;
    void stop()
    {
        modelTester.reset();
        treeTester.reset();
        EditorFixture::stop();
        ownServer.reset();
    }
    ui::Grid* grid() const { return vsPLAYLIST(); }
    QByteArray playlist() const { return readRaw(data(QStringLiteral("playlist.dat"))); }
    void writePlaylist(const QByteArray& bytes) { writeRaw(data(QStringLiteral("playlist.dat")), bytes); }

    /// Opens the project and switches to "Play list"; the grid's and the tree's models are
    /// checked from then on.
    void openPage()
    {
        open();
        modelTester = std::make_unique<QAbstractItemModelTester>(vsPLAYLIST()->model(),
                                                                 QAbstractItemModelTester::FailureReportingMode::QtTest);
        treeTester = std::make_unique<QAbstractItemModelTester>(trLIST()->model(),
                                                                QAbstractItemModelTester::FailureReportingMode::QtTest);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        showPage();
    }
    void showPage() { tbMAIN()->setTab(1); }

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

    /// Back colours of row r, columns 1 to the last: column c at c - 1.
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
        QList<quint32> out(Step1 - 1, ui::palette::stripe(r));
        for (int c = Step1; c < grid()->cols(); ++c)
            out << steps;
        return out;
    }
    /// Marks step cell (r, col) as the operator does, over the link to a recording server (the
    /// test's, when it connected one, or else one of the fixture's own): a left click puts it on
    /// air on its entry's channel and layer, a right click on preview on channel `preview`, and
    /// Cleared is on air with its layer then cleared from the pop-up. The lines are taken off the
    /// server's record; the preview channel and the command panel are left as they were. The
    /// click makes the cell the current one and puts the cue on it, as it does for the operator.
    void mark(int r, int col, playlist::Mark m, int preview = 2)
    {
        using playlist::Mark;
        QVERIFY2(m == Mark::OnAir || m == Mark::OnPreview || m == Mark::Cleared, "a mark the operator makes by clicking");
        if (!linked) {
            ownServer = std::make_unique<Recorder>();
            connectTo(*ownServer);
        }
        const int previewBefore = cmbPREVIEW()->currentIndex();
        const QString panel = txtCOMMAND()->text();
        cmbPREVIEW()->setCurrentIndex(cmbPREVIEW()->findText(QString::number(preview)));
        const qsizetype lines = linked->all().count("\r\n") + (m == Mark::Cleared ? 2 : 1);
        click(r, col, m == Mark::OnPreview ? Qt::RightButton : Qt::LeftButton);
        if (m == Mark::Cleared)
            chooseFromMenu(r, PlaylistCol::Channel, QStringLiteral("Clear OnAir"));
        QVERIFY2(QTest::qWaitFor([&] { return linked->all().count("\r\n") == lines; }), linked->all().constData());
        for (QByteArray& got : linked->received)
            got.clear();
        cmbPREVIEW()->setCurrentIndex(previewBefore);
        txtCOMMAND()->setText(panel);
    }
    std::unique_ptr<Recorder> ownServer;
    /// The colour the screen shows in cell (r, c), inside its edges and clear of its text.
    quint32 shown(int r, int c) const
    {
        const QImage shot = grid()->viewport()->grab().toImage();
        const QRect cell = grid()->visualRect(grid()->model()->index(r - 1, c));
        return ui::vbValue(shot.pixelColor(cell.left() + 4, cell.top() + 4));
    }
    /// The cell the cue frame is painted on, as (row, column); (0, 0) when none shows it.
    QPoint cueShown() const
    {
        const QImage shot = grid()->viewport()->grab().toImage();
        for (int r = 1; r < grid()->rows(); ++r)
            for (int c = 0; c < grid()->cols(); ++c) {
                const QRect cell = grid()->visualRect(grid()->model()->index(r - 1, c));
                if (cell.isValid() && ui::vbValue(shot.pixelColor(cell.left(), cell.center().y())) == ui::palette::Cue &&
                    ui::vbValue(shot.pixelColor(cell.left() + 1, cell.center().y())) == ui::palette::Cue)
                    return QPoint(c, r);
            }
        return QPoint(0, 0);
    }
    /// Whether cell (r, c) is framed in colour along its left edge.
    bool framed(int r, int c, quint32 colour) const
    {
        const QImage shot = grid()->viewport()->grab().toImage();
        const QRect cell = grid()->visualRect(grid()->model()->index(r - 1, c));
        return ui::vbValue(shot.pixelColor(cell.left(), cell.center().y())) == colour &&
               ui::vbValue(shot.pixelColor(cell.left() + 1, cell.center().y())) == colour;
    }

    // ---- A studio to fire from ---------------------------------------------------------------
    // Cards in folder order: news (1-20), sport (2-20), third (3-7), ticker (a command, 1-5).
    // Rows: news_a, news_b, sport_s, third_t, ticker_k.
    void firingStudio()
    {
        card("news", {"CARDTITLE:News", "CHANNEL:1", "LAYER:20", "INVOKE:In;Out", "TAG:Name;f0;0;txt"});
        card("sport", {"CARDTITLE:Sport", "CHANNEL:2", "LAYER:20", "TAG:Score;s0;1;txt"});
        card("third", {"CARDTITLE:Third", "CHANNEL:3", "LAYER:7"});
        card("ticker", {"CARDTITLE:Ticker", "CHANNEL:1", "LAYER:5", "INVOKE:Go;Stop",
                        "COMMAND:PLAY {@CHANNEL}-{@LAYER} ticker"});
        copiedDataset("news_a", "Anna", "TAG~f0;Ann'a");
        copiedDataset("news_b", "Bob", "TAG~f0;Bob");
        copiedDataset("sport_s", "Final", "TAG~s0;3-1");
        copiedDataset("third_t", "T", "");
        copiedDataset("ticker_k", "K", "");
        writePlaylist("news_a.ftd\r\nnews_b.ftd\r\nsport_s.ftd\r\nthird_t.ftd\r\nticker_k.ftd\r\n");
        openPage();
    }
    /// A dataset and its copy, byte for byte the same.
    void copiedDataset(const QString& name, const QString& title, const QByteArray& tag)
    {
        const QByteArray bytes = "TITLE~" + title.toUtf8() + "\r\n" + (tag.isEmpty() ? "" : tag + "\r\n");
        writeRaw(data(name + ".ftd"), bytes);
        writeRaw(data(name + ".ft8"), bytes);
    }
    /// What reached the server up to a clear of channel 4, sent last so that nothing is missed.
    QByteArray sentUpToC4(Recorder& r)
    {
        QTest::mouseClick(cmdCLEAR(4), Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return r.all().endsWith("CLEAR 4\r\n"); }))
            return "(the clear never arrived)";
        QByteArray bytes = r.all();
        r.received[0].clear();
        return bytes.chopped(9);
    }

    QStringList row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < grid()->cols(); ++c)
            cells << grid()->textMatrix(r, c);
        return cells;
    }
};
