// Firing playlist steps on air and on the preview channel, and the clears, against a real
// server on the loopback interface that records the exact bytes.
#include "playlist_fixture.h"
#include "recorder.h"

using ui::palette::Cleared;
using ui::palette::OnAir;
using ui::palette::OnPreview;

class TestFiring : public QObject {
    Q_OBJECT
    PlaylistFixture fx;

    // Cards in folder order: news (1-20), sport (2-20), third (3-7), ticker (a command, 1-5).
    // Rows: news_a, news_b, sport_s, third_t, ticker_k.
    void studio()
    {
        fx.card("news", {"CARDTITLE:News", "CHANNEL:1", "LAYER:20", "INVOKE:In;Out", "TAG:Name;f0;0;txt"});
        fx.card("sport", {"CARDTITLE:Sport", "CHANNEL:2", "LAYER:20", "TAG:Score;s0;1;txt"});
        fx.card("third", {"CARDTITLE:Third", "CHANNEL:3", "LAYER:7"});
        fx.card("ticker", {"CARDTITLE:Ticker", "CHANNEL:1", "LAYER:5", "INVOKE:Go;Stop",
                           "COMMAND:PLAY {@CHANNEL}-{@LAYER} ticker"});
        dataset("news_a", "Anna", "TAG~f0;Ann'a");
        dataset("news_b", "Bob", "TAG~f0;Bob");
        dataset("sport_s", "Final", "TAG~s0;3-1");
        dataset("third_t", "T", "");
        dataset("ticker_k", "K", "");
        fx.writePlaylist("news_a.ftd\r\nnews_b.ftd\r\nsport_s.ftd\r\nthird_t.ftd\r\nticker_k.ftd\r\n");
        fx.openPage();
    }
    void dataset(const QString& name, const QString& title, const QByteArray& tag)
    {
        const QByteArray bytes = "TITLE~" + title.toUtf8() + "\r\n" + (tag.isEmpty() ? "" : tag + "\r\n");
        writeRaw(fx.data(name + ".ftd"), bytes);
        writeRaw(fx.data(name + ".ft8"), bytes);
    }
    void connectTo(Recorder& r)
    {
        fx.w->txtGASPARPORT->setText(r.port());
        QTest::mouseClick(fx.w->cmdGASPARCONNECT, Qt::LeftButton);
        QTRY_COMPARE(fx.w->wsGASPAR->State(), server::Link::Connected);
        QTRY_COMPARE(r.peers.size(), 1);
    }
    // What reached the server up to a clear of channel 4, sent last so that nothing is missed.
    QByteArray sentUpToC4(Recorder& r)
    {
        QTest::mouseClick(fx.w->cmdCLEAR[4], Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return r.all().endsWith("CLEAR 4\r\n"); }))
            return "(the clear never arrived)";
        QByteArray bytes = r.all();
        r.received[0].clear();
        return bytes.chopped(9);
    }
    QList<quint32> steps(int r) const { return fx.colours(r).mid(5); }
    QList<quint32> rest(int r) const { return QList<quint32>(fx.grid()->cols() - 6, ui::palette::rest(r)); }
    QList<quint32> marked(int r, int col, quint32 mark) const
    {
        QList<quint32> out = rest(r);
        out[col - 6] = mark;
        return out;
    }
    QList<quint32> marked(int r, quint32 first, quint32 second) const
    {
        QList<quint32> out = marked(r, 6, first);
        out[1] = second;
        return out;
    }

private slots:
    void initTestCase() { fx.setUp(); }
    void init() { fx.start(); }
    void cleanup() { fx.stop(); }

    void firingOnAirAndOnPreview()
    {
        studio();
        Recorder r;
        connectTo(r);
        ui::Grid* g = fx.grid();

        // "Play" from the editor page: the playlist sends the very same bytes.
        fx.w->tbMAIN->setTab(0);
        fx.w->cmbINVOKES->setListIndex(0);
        QTest::mouseClick(fx.w->cmdAIR, Qt::LeftButton);
        const QByteArray onAir = sentUpToC4(r);
        QVERIFY(onAir.startsWith("CG 1-20 ADD 1 \"news/news\" 1 \"<templateData>"));
        fx.showPage();

        g->setCellBackColor(2, 7, OnPreview);
        g->setCellBackColor(3, 6, OnAir);
        fx.click(1, 6);
        QCOMPARE(sentUpToC4(r), onAir);
        QCOMPARE(fx.w->txtCOMMAND->text().toUtf8(), onAir);
        QCOMPARE(steps(1), marked(1, 6, OnAir));
        QCOMPARE(steps(2), rest(2)); // the same channel and layer loses its marks
        QCOMPARE(steps(3), marked(3, 6, OnAir)); // another channel keeps them

        fx.click(1, 7);
        QVERIFY(sentUpToC4(r).startsWith("CG 1-20 UPDATE 1 \"<templateData>"));
        QCOMPARE(steps(1), marked(1, 7, OnAir));

        fx.w->cmbPREVIEW->setListIndex(2);
        fx.click(1, 6, Qt::RightButton);
        const QByteArray preview = sentUpToC4(r);
        QVERIFY(preview.startsWith("CG 3-20 ADD 1 "));
        QVERIFY(preview.contains("id=\\\"cg_channel\\\"><data type=\\\"txt\\\" ani=\\\"0\\\" value=\\\"3\\\">"));
        QCOMPARE(steps(1), marked(1, 6, OnPreview));

        // The command card: its "Custom" cell, and an invoke name as an entry added from the tree holds.
        fx.click(5, 6);
        QCOMPARE(sentUpToC4(r), QByteArray("PLAY 1-5 ticker\r\n"));
        g->setTextMatrix(5, 7, "Go");
        fx.click(5, 7, Qt::RightButton);
        QCOMPARE(sentUpToC4(r), QByteArray("CG 3-5 INVOKE 1 \"Go\r\n"));

        // Nothing is composed from an empty step cell or off the step columns, and no mark
        // changes: with the marks following what was composed, an empty cell no longer clears
        // the other entries of its channel and layer.
        const QList<quint32> before = fx.colours(5);
        g->setCellBackColor(4, 6, OnAir);
        fx.click(5, 9);
        fx.click(5, 3);
        fx.click(0, 6);
        QCOMPARE(sentUpToC4(r), QByteArray());
        QCOMPARE(fx.colours(5), before);
        QCOMPARE(fx.reports(), QString());
    }

    void whatComposesNothing()
    {
        studio();
        Recorder r;
        connectTo(r);
        ui::Grid* g = fx.grid();

        // A missing copy: reported, nothing sent, no mark changed.
        QFile::remove(fx.data("news_b.ft8"));
        g->setCellBackColor(1, 6, OnAir);
        fx.click(2, 6);
        QVERIFY2(fx.reports().startsWith("Error 53\r\n"), qPrintable(fx.reports()));
        QVERIFY(fx.reports().contains("PLAYLIST_EXEC"));
        QCOMPARE(steps(1), marked(1, 6, OnAir));
        QCOMPARE(steps(2), rest(2));

        // No preview channel chosen.
        fx.w->cmbPREVIEW->setListIndex(-1);
        fx.click(3, 6, Qt::RightButton);
        QCOMPARE(steps(3), rest(3));

        // A card that is gone: the empty text goes out and the panel is emptied.
        fx.w->txtCOMMAND->setText("before");
        g->setTextMatrix(3, 0, "gone_x.ftd");
        fx.click(3, 6);
        QCOMPARE(sentUpToC4(r), QByteArray());
        QCOMPARE(fx.w->txtCOMMAND->text(), QString());
        QCOMPARE(steps(3), rest(3));

        // The link down: nothing sent, the marks change all the same.
        QTest::mouseClick(fx.w->cmdGASPARCONNECT, Qt::LeftButton);
        QTRY_COMPARE(r.peers[0]->state(), QAbstractSocket::UnconnectedState);
        fx.click(4, 6);
        QCOMPARE(steps(4), marked(4, 6, OnAir));
        QTest::mouseClick(fx.w->cmdCLEAR[3], Qt::LeftButton);
        QCOMPARE(steps(4), rest(4));
        QCOMPARE(r.all(), QByteArray());
        QCOMPARE(fx.scope->script.reports.size(), 1);
    }

    void clears()
    {
        studio();
        Recorder r;
        connectTo(r);
        ui::Grid* g = fx.grid();
        fx.w->txtCOMMAND->setText("kept");
        g->setCellBackColor(1, 6, OnAir);
        g->setCellBackColor(1, 7, OnPreview);
        g->setCellBackColor(2, 6, OnAir);
        g->setCellBackColor(3, 6, OnPreview);
        g->setCellBackColor(3, 7, OnAir);
        g->setTextMatrix(5, 4, "03");

        fx.hover(2);
        fx.chooseFromMenu(1, 4, "Clear OnAir"); // the pop-up's entry becomes the current row
        QCOMPARE(sentUpToC4(r), QByteArray("CLEAR 1-20\r\n"));
        QCOMPARE(steps(1).mid(0, 2), (QList<quint32>{Cleared, OnPreview}));
        QCOMPARE(steps(2), marked(2, 6, Cleared));
        QCOMPARE(steps(3), marked(3, OnPreview, OnAir));

        fx.w->cmbPREVIEW->setListIndex(1);
        fx.chooseFromMenu(3, 5, "Clear Preview");
        QCOMPARE(sentUpToC4(r), QByteArray("CLEAR 2-20\r\n"));
        QCOMPARE(steps(1).mid(0, 2), (QList<quint32>{Cleared, Cleared}));
        QCOMPARE(steps(3), marked(3, Cleared, OnAir));

        g->setCellBackColor(4, 7, OnPreview);
        g->setCellBackColor(5, 6, Cleared);
        fx.chooseFromMenu(4, 3, "C3");
        QCOMPARE(sentUpToC4(r), QByteArray("CLEAR 3\r\n"));
        QCOMPARE(fx.colours(4), fx.painted(4, ui::palette::RestEven));
        QCOMPARE(fx.colours(5), fx.painted(5, ui::palette::RestOdd));
        QCOMPARE(steps(3).at(1), OnAir);
        QCOMPARE(fx.w->txtCOMMAND->text(), QString("kept"));

        g->setTextMatrix(2, 4, "x");
        QTest::mouseClick(fx.w->cmdCLEAR[1], Qt::LeftButton);
        QCOMPARE(sentUpToC4(r), QByteArray("CLEAR 1\r\n"));
        QVERIFY2(fx.reports().startsWith("Error 13\r\n"), qPrintable(fx.reports()));

        QTest::mouseClick(fx.w->cmdCLEAR[5], Qt::LeftButton);
        QVERIFY(fx.w->fraCOMMAND->isVisible());

        // Only the header row: the channel clear still sends, the layer clears do nothing.
        g->setRows(1);
        fx.w->mnClearLAYERONAIR->trigger();
        fx.w->mnCLEARLAYERPREVIEW->trigger();
        fx.w->mnCLEARCHANNEL[2]->trigger();
        QCOMPARE(sentUpToC4(r), QByteArray("CLEAR 2\r\n"));
    }
};

QTEST_MAIN(TestFiring)
#include "tst_firing.moc"
