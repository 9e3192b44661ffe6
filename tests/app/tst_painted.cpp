// What the operator sees of the playlist: the colours as painted on the screen, read from a
// grab of the grid, while a real server on the loopback interface takes the lines and answers.
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
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

        fx.cmbPREVIEW()->setCurrentIndex(2); // "3": not the score's own channel
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
        QTRY_COMPARE(fx.wsGASPAR()->linesInFlight(), 0);
        r.answerLikeTheServer("UPDATE", "404 CG UPDATE FAILED");
        fx.click(2, Step2);
        QTRY_COMPARE(fx.shown(2, Step2), Refused);
        QVERIFY2(fx.sbSTATUS()->refusal().contains("404 CG UPDATE FAILED  CG 1-20 UPDATE 1 \"<templateData>"),
                 qPrintable(fx.sbSTATUS()->refusal()));
        QCOMPARE(fx.sbSTATUS()->refusal().size(), 8 + 2 + 20 + 2 + 80);
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
        fx.txtGASPARPORT()->setText(port.captured(1));
        QTest::mouseClick(fx.cmdGASPARCONNECT(), Qt::LeftButton);
        QTRY_COMPARE(fx.sbSTATUS()->link(), "Connected to 127.0.0.1:" + port.captured(1));

        fx.click(3, Step1); // sport: accepted
        QTRY_COMPARE(fx.wsGASPAR()->linesInFlight(), 0);
        fx.click(1, Step1); // news: no such template on the playout machine
        QTRY_COMPARE(fx.shown(1, Step1), Refused);
        QCOMPARE(fx.shown(3, Step1), OnAir);
        QVERIFY2(fx.sbSTATUS()->refusal().contains("  404 CG ADD FAILED  CG 1-20 ADD 1 \"news/news\" 1 \"<templateData>"),
                 qPrintable(fx.sbSTATUS()->refusal()));
        monitor.kill();
        monitor.waitForFinished();
        QTRY_VERIFY(fx.sbSTATUS()->link().startsWith("Not connected: "));
    }

    void aRowAddedFromTheTreeShowsGreySteps()
    {
        fx.firingStudio();
        QVERIFY(drive::doubleClickTreeNode(fx.trLIST(), "Bob"));
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
        QCOMPARE(fx.cmbPREVIEW()->currentText(), QString("2"));
        fx.click(1, Step1, Qt::RightButton);
        QCOMPARE(fx.shown(1, Step1), OnPreview);
        fx.click(3, Step1);
        QCOMPARE(fx.shown(3, Step1), OnAir);
        QCOMPARE(fx.shown(1, Step1), RestOdd);

        fx.click(4, Step1);             // 3-7
        fx.click(4, Step2, Qt::RightButton); // 2-7
        QTest::mouseClick(fx.cmdCLEAR(1), Qt::LeftButton);
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

    // Against a server that answers every line and refuses some, each cell shows what the
    // server shows: a refused clear clears nothing, a refused line leaves what it would have
    // replaced, the editor's line takes the layer, on air wins over preview, and no answer
    // widens the window.
    void theMarksAreWhatTheServerShows()
    {
        fx.firingStudio();
        Recorder r;
        QByteArray refused = "CLEAR"; // lines holding it are refused
        QByteArray answer;            // when set, the answer to every line
        r.answer = [&](const QByteArray& line) -> QByteArray {
            if (!answer.isEmpty())
                return answer + "\r\n";
            if (!refused.isEmpty() && line.contains(refused))
                return line.startsWith("CLEAR") ? "503 CLEAR FAILED\r\n" : "404 CG ADD FAILED\r\n";
            return "202 " + line.left(line.indexOf(' ')) + " OK\r\n";
        };
        fx.connectTo(r);
        const auto answered = [&] { QTRY_COMPARE(fx.wsGASPAR()->linesInFlight(), 0); };

        for (int row : {1, 5, 3}) { // the lower third 1-20, the ticker 1-5, the score 2-20
            fx.click(row, Step1);
            answered();
        }
        fx.chooseFromMenu(1, 4, "Clear OnAir");
        answered();
        QTRY_VERIFY(fx.sbSTATUS()->refusal().endsWith("  503 CLEAR FAILED  CLEAR 1-20"));
        QCOMPARE(fx.shown(1, Step1), OnAir);
        QTest::mouseClick(fx.cmdCLEAR(1), Qt::LeftButton);
        answered();
        QTRY_VERIFY(fx.sbSTATUS()->refusal().endsWith("CLEAR 1"));
        for (int row : {1, 5, 3})
            QCOMPARE(fx.shown(row, Step1), OnAir);

        refused = "Bob"; // the other lower third, on the same layer
        fx.click(2, Step1);
        answered();
        QTRY_COMPARE(fx.shown(2, Step1), Refused);
        QCOMPARE(fx.shown(1, Step1), OnAir);

        refused.clear();
        fx.tbMAIN()->setTab(0);
        fx.cmbINVOKES()->setCurrentRow(0);
        QTest::mouseClick(fx.cmdAIR(), Qt::LeftButton);
        answered();
        QVERIFY(r.all().endsWith("\r\n") && r.all().contains("CG 1-20 ADD 1 \"news/news\""));
        fx.showPage();
        QCOMPARE(fx.shown(1, Step1), RestOdd);
        QCOMPARE(fx.shown(2, Step1), RestEven);

        fx.cmbPREVIEW()->setCurrentIndex(1); // "2"
        fx.click(5, Step1, Qt::RightButton);  // 2-5, while still on air at 1-5
        fx.click(3, Step2, Qt::RightButton);  // the score's own channel: on air
        answered();
        QCOMPARE(fx.shown(5, Step1), OnAir);
        QCOMPARE(fx.shown(3, Step2), OnAir);
        QCOMPARE(fx.shown(3, Step1), RestOdd);

        const int width = fx.w->width();
        answer = "404 " + QByteArray(60000, 'x');
        fx.click(4, Step1);
        answered();
        QTRY_COMPARE(fx.shown(4, Step1), Refused);
        QCOMPARE(fx.sbSTATUS()->refusal().section("  ", 1, 1), QString("404 " + QString(76, 'x')));
        QCoreApplication::processEvents();
        QCOMPARE(fx.w->width(), width);
        QCOMPARE(fx.reports(), QString());
    }

    // A seeded operator fires, previews, clears, uses the editor's "On Air" and changes the
    // preview channel against a server that refuses one line in four: after every answer, every
    // step cell on the screen agrees with what the server shows.
    void aRandomOperatorSeesWhatTheServerShows()
    {
        fx.firingStudio();
        Recorder r;
        QRandomGenerator random(20261210);
        QPair<int, int> source;                               // the cell whose line goes out; row 0 the editor
        QMap<QPair<int, int>, QPair<int, int>> server;       // channel and layer: what shows there
        r.answer = [&](const QByteArray& line) -> QByteArray {
            const QList<QByteArray> words = line.split(' ');
            if (random.bounded(4) == 0)
                return "404 " + words[0] + " FAILED\r\n";
            const QList<QByteArray> at = words.value(1).split('-');
            const int channel = at[0].toInt();
            if (words[0] == "CLEAR" && at.size() == 1)
                server.removeIf([&](auto it) { return it.key().first == channel; });
            else if (words[0] == "CLEAR")
                server.remove({channel, at[1].toInt()});
            else
                server[{channel, at[1].toInt()}] = source;
            return "202 " + words[0] + " OK\r\n";
        };
        fx.connectTo(r);
        const int rows = fx.grid()->rows() - 1;
        const auto stepCol = [&](int row) {
            int last = Step1;
            while (last + 1 < fx.grid()->cols() && !fx.grid()->textMatrix(row, last + 1).isEmpty())
                ++last;
            return Step1 + random.bounded(last - Step1 + 1);
        };
        for (int action = 0; action < 40; ++action) {
            const int row = 1 + random.bounded(rows);
            switch (random.bounded(10)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4: {
                source = {row, stepCol(row)};
                fx.click(row, source.second, random.bounded(2) ? Qt::LeftButton : Qt::RightButton);
                break;
            }
            case 5: fx.cmbPREVIEW()->setCurrentIndex(random.bounded(4)); break;
            case 6: fx.chooseFromMenu(row, PlaylistCol::Layer, random.bounded(2) ? "Clear OnAir" : "Clear Preview"); break;
            case 7: QTest::mouseClick(fx.cmdCLEAR(size_t(1 + random.bounded(4))), Qt::LeftButton); break;
            default:
                source = {0, 0};
                fx.tbMAIN()->setTab(0);
                fx.cmbINVOKES()->setCurrentRow(0);
                QTest::mouseClick(fx.cmdAIR(), Qt::LeftButton);
                fx.showPage();
                break;
            }
            QTRY_COMPARE(fx.wsGASPAR()->linesInFlight(), 0);
            QCoreApplication::processEvents();
            const QImage shot = fx.grid()->viewport()->grab().toImage();
            for (int rr = 1; rr <= rows; ++rr) {
                const int own = fx.grid()->textMatrix(rr, PlaylistCol::Channel).toInt();
                for (int cc = Step1; cc < fx.grid()->cols() && !fx.grid()->textMatrix(rr, cc).isEmpty(); ++cc) {
                    bool onOwn = false, elsewhere = false;
                    for (auto it = server.cbegin(); it != server.cend(); ++it)
                        if (it.value() == qMakePair(rr, cc))
                            (it.key().first == own ? onOwn : elsewhere) = true;
                    const QRect cell = fx.grid()->visualRect(fx.grid()->model()->index(rr - 1, cc));
                    const quint32 colour = ui::vbValue(shot.pixelColor(cell.left() + 4, cell.top() + 4));
                    const bool agrees = onOwn ? colour == OnAir
                                        : elsewhere ? colour == OnPreview || colour == Refused
                                                    : colour != OnAir && colour != OnPreview;
                    QVERIFY2(agrees, qPrintable(QStringLiteral("action %1: cell %2, %3 painted %4").arg(action).arg(rr).arg(cc).arg(colour)));
                }
            }
        }
        QCOMPARE(fx.reports(), QString());
    }

    void withTheLinkDownNothingChangesColour()
    {
        fx.firingStudio();
        fx.click(1, Step1);
        fx.click(2, Step2, Qt::RightButton);
        fx.chooseFromMenu(1, 4, "Clear OnAir");
        QTest::mouseClick(fx.cmdCLEAR(1), Qt::LeftButton);
        fx.hover(4); // the outline moves off the rows compared
        for (int row : {1, 2})
            for (int c = 2; c < fx.grid()->cols(); ++c)
                QCOMPARE(fx.shown(row, c), c < Step1 ? stripe(row) : rest(row));
        QCOMPARE(fx.txtCOMMAND()->text(), QString());
        QCOMPARE(fx.sbSTATUS()->link(), QString("Not connected"));
    }
};

QTEST_MAIN(TestPainted)
#include "tst_painted.moc"
