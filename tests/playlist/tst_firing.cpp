// Firing playlist steps on air and on the preview channel, and the clears, against a real
// server on the loopback interface that records the exact bytes.
#include "playlist_fixture.h"

using playlist::Mark;
using ui::palette::Cleared;
using ui::palette::OnAir;
using ui::palette::OnPreview;

class TestFiring : public QObject {
    Q_OBJECT
    PlaylistFixture fx;

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
        fx.firingStudio();
        Recorder r;
        fx.connectTo(r);
        ui::Grid* g = fx.grid();

        // "Play" from the editor page: the playlist sends the very same bytes.
        fx.w->tbMAIN->setTab(0);
        fx.w->cmbINVOKES->setListIndex(0);
        QTest::mouseClick(fx.w->cmdAIR, Qt::LeftButton);
        const QByteArray onAir = fx.sentUpToC4(r);
        QVERIFY(onAir.startsWith("CG 1-20 ADD 1 \"news/news\" 1 \"<templateData>"));
        fx.showPage();

        fx.mark(2, 7, Mark::OnPreview, {2, 20});
        fx.mark(3, 6, Mark::OnAir, {2, 20});
        fx.click(1, 6);
        QCOMPARE(fx.sentUpToC4(r), onAir);
        QCOMPARE(fx.w->txtCOMMAND->text().toUtf8(), onAir);
        QCOMPARE(steps(1), marked(1, 6, OnAir));
        QCOMPARE(steps(2), rest(2)); // the same channel and layer loses its marks
        QCOMPARE(steps(3), marked(3, 6, OnAir)); // another channel keeps them

        fx.click(1, 7);
        QVERIFY(fx.sentUpToC4(r).startsWith("CG 1-20 UPDATE 1 \"<templateData>"));
        QCOMPARE(steps(1), marked(1, 7, OnAir));

        fx.w->cmbPREVIEW->setListIndex(2);
        fx.click(1, 6, Qt::RightButton);
        const QByteArray preview = fx.sentUpToC4(r);
        QVERIFY(preview.startsWith("CG 3-20 ADD 1 "));
        QVERIFY(preview.contains("id=\\\"cg_channel\\\"><data type=\\\"txt\\\" ani=\\\"0\\\" value=\\\"3\\\">"));
        QCOMPARE(steps(1), marked(1, 6, OnPreview));

        // The command card: its "Custom" cell, and an invoke name as an entry added from the tree holds.
        fx.click(5, 6);
        QCOMPARE(fx.sentUpToC4(r), QByteArray("PLAY 1-5 ticker\r\n"));
        g->setTextMatrix(5, 7, "Go");
        fx.click(5, 7, Qt::RightButton);
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CG 3-5 INVOKE 1 \"Go\r\n"));

        // Nothing is composed from an empty step cell or off the step columns, and no mark
        // changes: with the marks following what was composed, an empty cell no longer clears
        // the other entries of its channel and layer.
        const QList<quint32> before = fx.colours(5);
        fx.mark(4, 6, Mark::OnAir, {3, 7});
        fx.click(5, 9);
        fx.click(5, 3);
        fx.click(0, 6);
        QCOMPARE(fx.sentUpToC4(r), QByteArray());
        QCOMPARE(fx.colours(5), before);
        QCOMPARE(fx.reports(), QString());
    }

    void whatComposesNothing()
    {
        fx.firingStudio();
        Recorder r;
        fx.connectTo(r);
        ui::Grid* g = fx.grid();

        // A missing copy: reported, nothing sent, no mark changed.
        QFile::remove(fx.data("news_b.ft8"));
        fx.mark(1, 6, Mark::OnAir, {1, 20});
        fx.click(2, 6);
        QVERIFY2(fx.reports().startsWith("Error 53\r\n"), qPrintable(fx.reports()));
        QVERIFY(fx.reports().contains("PLAYLIST_EXEC"));
        QCOMPARE(steps(1), marked(1, 6, OnAir));
        QCOMPARE(steps(2), rest(2));

        // No preview channel chosen.
        fx.w->cmbPREVIEW->setListIndex(-1);
        fx.click(3, 6, Qt::RightButton);
        QCOMPARE(steps(3), rest(3));

        // A card that is gone: nothing goes out, not even an empty line, and the panel keeps its text.
        fx.w->txtCOMMAND->setText("before");
        g->setTextMatrix(3, 0, "gone_x.ftd");
        fx.click(3, 6);
        QCOMPARE(fx.sentUpToC4(r), QByteArray());
        QCOMPARE(fx.w->txtCOMMAND->text(), QString("before"));
        QCOMPARE(steps(3), rest(3));

        // The link down: nothing is sent and no mark changes.
        fx.mark(4, 7, Mark::OnAir, {3, 7});
        QTest::mouseClick(fx.w->cmdGASPARCONNECT, Qt::LeftButton);
        QTRY_COMPARE(r.peers[0]->state(), QAbstractSocket::UnconnectedState);
        fx.click(4, 6);
        QTest::mouseClick(fx.w->cmdCLEAR[3], Qt::LeftButton);
        fx.chooseFromMenu(4, 4, "Clear OnAir");
        QCOMPARE(steps(4), marked(4, 7, OnAir));
        QCOMPARE(r.all(), QByteArray());
        QCOMPARE(fx.scope->script.reports.size(), 1);
    }

    void clears()
    {
        fx.firingStudio();
        Recorder r;
        fx.connectTo(r);
        ui::Grid* g = fx.grid();
        fx.w->txtCOMMAND->setText("kept");
        fx.mark(1, 6, Mark::OnAir, {1, 20});
        fx.mark(2, 7, Mark::OnPreview, {2, 20});
        fx.mark(3, 7, Mark::OnPreview, {3, 20});
        fx.mark(4, 7, Mark::OnPreview, {2, 7});
        fx.mark(5, 6, Mark::Cleared, {1, 5});
        g->setTextMatrix(5, 4, "03");

        fx.hover(2);
        fx.chooseFromMenu(1, 4, "Clear OnAir"); // the pop-up's entry becomes the current row
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CLEAR 1-20\r\n"));
        QCOMPARE(steps(1), marked(1, 6, Cleared));
        QCOMPARE(steps(2), marked(2, 7, OnPreview));

        // Only the previews that went to this channel and layer.
        fx.w->cmbPREVIEW->setListIndex(1);
        fx.chooseFromMenu(3, 5, "Clear Preview");
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CLEAR 2-20\r\n"));
        QCOMPARE(steps(2), marked(2, 7, Cleared));
        QCOMPARE(steps(3), marked(3, 7, OnPreview)); // previewed on channel 3
        QCOMPARE(steps(4), marked(4, 7, OnPreview)); // layer 7

        // A channel: its rows, compared as numbers, and every line that went to it.
        fx.chooseFromMenu(4, 3, "C3");
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CLEAR 3\r\n"));
        QCOMPARE(fx.colours(4), fx.painted(4, ui::palette::RestEven));
        QCOMPARE(fx.colours(5), fx.painted(5, ui::palette::RestOdd));
        QCOMPARE(steps(3), rest(3));
        QCOMPARE(steps(2), marked(2, 7, Cleared));
        QCOMPARE(fx.w->txtCOMMAND->text(), QString("kept"));

        g->setTextMatrix(2, 4, "x");
        QTest::mouseClick(fx.w->cmdCLEAR[1], Qt::LeftButton);
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CLEAR 1\r\n"));
        QVERIFY2(fx.reports().startsWith("Error 13\r\n"), qPrintable(fx.reports()));

        QTest::mouseClick(fx.w->cmdCLEAR[5], Qt::LeftButton);
        QVERIFY(fx.w->fraCOMMAND->isVisible());

        // Only the header row: the channel clear still sends, the layer clears do nothing.
        g->setRows(1);
        fx.w->mnClearLAYERONAIR->trigger();
        fx.w->mnCLEARLAYERPREVIEW->trigger();
        fx.w->mnCLEARCHANNEL[2]->trigger();
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CLEAR 2\r\n"));
    }
};

QTEST_MAIN(TestFiring)
#include "tst_firing.moc"
