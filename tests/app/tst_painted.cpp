// What the operator sees of the playlist: the colours as painted on the screen, read from a
// grab of the grid, while a real server on the loopback interface takes the lines and answers.
#include <QProcess>
#include <QRegularExpression>

#include "playlist_fixture.h"

using namespace ui::palette;

class TestPainted : public QObject {
    Q_OBJECT
    PlaylistFixture fx;

private slots:
    void initTestCase() { fx.setUp(); }
    void init() { fx.start(); }
    void cleanup() { fx.stop(); }

    void everyCellShowsItsMarkAndTheCueIsAFrame()
    {
        fx.firingStudio();
        Recorder r;
        fx.connectTo(r);
        ui::Grid* g = fx.grid();

        // The stripes and resting colours, row by row.
        for (int row : {1, 2})
            for (int c = 1; c < g->cols(); ++c)
                if (c != 1) // the picture's cell
                    QCOMPARE(fx.shown(row, c), c < Step1 ? stripe(row) : rest(row));

        // The cell just fired is the current cell: it shows its mark, framed.
        fx.click(1, Step1);
        QTRY_VERIFY(!r.all().isEmpty());
        QCOMPARE(g->row(), 1);
        QCOMPARE(g->col(), Step1);
        QCOMPARE(fx.shown(1, Step1), OnAir);
        QVERIFY(fx.framed(1, Step1, Cue));
        QVERIFY(!fx.framed(1, Step2, Cue));

        fx.click(3, Step1, Qt::RightButton);
        QCOMPARE(fx.shown(3, Step1), OnPreview);
        QCOMPARE(fx.shown(1, Step1), OnAir);

        // A hover selects a whole row: no cell of it changes colour.
        fx.hover(1);
        QCOMPARE(fx.shown(1, Step1), OnAir);
        QCOMPARE(fx.shown(1, 2), StripeOdd);
        QCOMPARE(fx.shown(1, Step2), RestOdd);

        fx.chooseFromMenu(1, 4, "Clear OnAir");
        QCOMPARE(fx.shown(1, Step1), Cleared);
        QCOMPARE(fx.shown(3, Step1), OnPreview);

        // The server refuses the next line: its cell turns the refusal's colour.
        QTRY_VERIFY(r.all().endsWith("CLEAR 1-20\r\n"));
        r.received[0].clear();
        // Every line answered: the next one alone in flight is certainly the refused one.
        r.peers[0]->write("202 CG OK\r\n202 CG OK\r\n202 CLEAR OK\r\n");
        QTRY_COMPARE(fx.w->wsGASPAR->linesInFlight(), 0);
        r.answerLikeTheServer("UPDATE", "404 CG UPDATE FAILED");
        fx.click(2, Step2);
        QTRY_COMPARE(fx.shown(2, Step2), Refused);
        QVERIFY2(fx.w->sbSTATUS->refusal().contains("404 CG UPDATE FAILED  CG 1-20 UPDATE 1 \"<templateData>"),
                 qPrintable(fx.w->sbSTATUS->refusal()));
        QCOMPARE(fx.w->sbSTATUS->refusal().size(), 8 + 2 + 20 + 2 + 80);
        QCOMPARE(fx.reports(), QString());
    }

    // The rehearsal server refusing a template the playout machine lacks, end to end.
    void aRefusalFromTheMonitorShowsOnTheCell()
    {
        fx.firingStudio();
        QProcess monitor;
        monitor.start(QStringLiteral(MONITOR_EXE), {"--port", "0", "--refuse", "news/news"});
        QVERIFY(monitor.waitForReadyRead(10000));
        const QRegularExpressionMatch port = QRegularExpression("port (\\d+)").match(QString::fromUtf8(monitor.readLine()));
        QVERIFY(port.hasMatch());
        fx.w->txtGASPARPORT->setText(port.captured(1));
        QTest::mouseClick(fx.w->cmdGASPARCONNECT, Qt::LeftButton);
        QTRY_COMPARE(fx.w->sbSTATUS->link(), "Connected to 127.0.0.1:" + port.captured(1));

        fx.click(3, Step1); // sport: accepted
        QTRY_COMPARE(fx.w->wsGASPAR->linesInFlight(), 0);
        fx.click(1, Step1); // news: no such template on the playout machine
        QTRY_COMPARE(fx.shown(1, Step1), Refused);
        QCOMPARE(fx.shown(3, Step1), OnAir);
        QVERIFY2(fx.w->sbSTATUS->refusal().contains("  404 CG ADD FAILED  CG 1-20 ADD 1 \"news/news\" 1 \"<templateData>"),
                 qPrintable(fx.w->sbSTATUS->refusal()));
        monitor.kill();
        monitor.waitForFinished();
        QTRY_VERIFY(fx.w->sbSTATUS->link().startsWith("Not connected: "));
    }

    void aRowAddedFromTheTreeShowsGreySteps()
    {
        fx.firingStudio();
        QVERIFY(drive::selectTreeNode(fx.w->trLIST, "Bob"));
        fx.w->trLIST_DblClick();
        const int added = fx.grid()->rows() - 1;
        QCOMPARE(fx.shown(added, Step1), Cleared);
        QCOMPARE(fx.shown(added, Step2), Cleared);
        const quint32 plain = ui::vbValue(fx.grid()->palette().color(QPalette::Base));
        QCOMPARE(fx.shown(added, 3), plain);
    }

    // What the screen shows follows where each line went: the lower third previewed on 2-20
    // goes off when the score goes on air there; one entry shows on air and on preview at once,
    // and a clear of another channel leaves both.
    void aMarkFollowsWhereItsLineWent()
    {
        fx.firingStudio();
        Recorder r;
        fx.connectTo(r);
        QCOMPARE(fx.w->cmbPREVIEW->currentText(), QString("2"));
        fx.click(1, Step1, Qt::RightButton);
        QCOMPARE(fx.shown(1, Step1), OnPreview);
        fx.click(3, Step1);
        QCOMPARE(fx.shown(3, Step1), OnAir);
        QCOMPARE(fx.shown(1, Step1), RestOdd);

        fx.click(4, Step1);             // 3-7
        fx.click(4, Step2, Qt::RightButton); // 2-7
        QTest::mouseClick(fx.w->cmdCLEAR[1], Qt::LeftButton);
        QTRY_VERIFY(r.all().endsWith("CLEAR 1\r\n"));
        fx.hover(5);
        QCOMPARE(fx.shown(4, Step1), OnAir);
        QCOMPARE(fx.shown(4, Step2), OnPreview);
        QCOMPARE(fx.shown(3, Step1), OnAir);

        fx.chooseFromMenu(3, 4, "Clear OnAir"); // the score's 2-20
        QCOMPARE(fx.shown(3, Step1), Cleared);
        QCOMPARE(fx.shown(4, Step2), OnPreview);
        QCOMPARE(fx.reports(), QString());
    }

    void withTheLinkDownNothingChangesColour()
    {
        fx.firingStudio();
        fx.click(1, Step1);
        fx.click(2, Step2, Qt::RightButton);
        fx.chooseFromMenu(1, 4, "Clear OnAir");
        QTest::mouseClick(fx.w->cmdCLEAR[1], Qt::LeftButton);
        fx.hover(4); // the outline moves off the rows compared
        for (int row : {1, 2})
            for (int c = 2; c < fx.grid()->cols(); ++c)
                QCOMPARE(fx.shown(row, c), c < Step1 ? stripe(row) : rest(row));
        QCOMPARE(fx.w->txtCOMMAND->text(), QString());
        QCOMPARE(fx.w->sbSTATUS->link(), QString("Not connected"));
    }
};

QTEST_MAIN(TestPainted)
#include "tst_painted.moc"
