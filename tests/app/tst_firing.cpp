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

    QList<quint32> steps(int r) const { return fx.colours(r).mid(Step1 - 1); }
    QList<quint32> rest(int r) const { return QList<quint32>(fx.grid()->cols() - Step1, ui::palette::rest(r)); }
    QList<quint32> marked(int r, int col, quint32 mark) const
    {
        QList<quint32> out = rest(r);
        out[col - Step1] = mark;
        return out;
    }
    QList<quint32> marked(int r, quint32 first, quint32 second) const
    {
        QList<quint32> out = marked(r, Step1, first);
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

        // "Play" from the editor page: the playlist sends the very same bytes.
        fx.tbMAIN()->setTab(0);
        fx.cmbINVOKES()->setCurrentRow(0);
        QTest::mouseClick(fx.cmdAIR(), Qt::LeftButton);
        const QByteArray onAir = fx.sentUpToC4(r);
        QVERIFY(onAir.startsWith("CG 1-20 ADD 1 \"news/news\" 1 \"<templateData>"));
        fx.showPage();

        fx.mark(2, Step2, Mark::OnAir); // on 1-20: whichever entry put it there
        fx.mark(3, Step1, Mark::OnAir); // on 2-20
        fx.click(1, Step1);
        QCOMPARE(fx.sentUpToC4(r), onAir);
        QCOMPARE(fx.txtCOMMAND()->text().toUtf8(), onAir);
        QCOMPARE(steps(1), marked(1, Step1, OnAir));
        QCOMPARE(steps(2), rest(2)); // what went to the same channel and layer is off the air
        QCOMPARE(steps(3), marked(3, Step1, OnAir)); // another channel keeps it

        fx.click(1, Step2);
        QVERIFY(fx.sentUpToC4(r).startsWith("CG 1-20 UPDATE 1 \"<templateData>"));
        QCOMPARE(steps(1), marked(1, Step2, OnAir));

        fx.cmbPREVIEW()->setCurrentIndex(2);
        fx.click(1, Step1, Qt::RightButton);
        const QByteArray preview = fx.sentUpToC4(r);
        QVERIFY(preview.startsWith("CG 3-20 ADD 1 "));
        QVERIFY(preview.contains("id=\\\"cg_channel\\\"><data type=\\\"txt\\\" ani=\\\"0\\\" value=\\\"3\\\">"));
        QCOMPARE(steps(1), marked(1, OnPreview, OnAir)); // on preview at 3-20, still on air at 1-20

        // The command card: its "Custom" cell, and an invoke name, which an entry added from the
        // tree holds.
        fx.click(5, Step1);
        QCOMPARE(fx.sentUpToC4(r), QByteArray("PLAY 1-5 ticker\r\n"));
        QVERIFY(drive::doubleClickTreeNode(fx.trLIST(), "K"));
        fx.click(6, Step2, Qt::RightButton);
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CG 3-5 INVOKE 1 \"Go\r\n"));

        // Nothing is composed from an empty step cell or off the step columns, and no mark
        // changes: with the marks following what was composed, an empty cell no longer clears
        // the other entries of its channel and layer.
        const QList<quint32> before = fx.colours(5);
        fx.mark(4, Step1, Mark::OnAir); // on 3-7
        fx.click(5, Step4);
        fx.click(5, 3);
        fx.click(0, Step1);
        QCOMPARE(fx.sentUpToC4(r), QByteArray());
        QCOMPARE(fx.colours(5), before);
        QCOMPARE(fx.reports(), QString());
    }

    // The copies follow their datasets when the page is shown: a missing one, and one older than
    // its dataset (changed elsewhere), are made again, so the step sends what the file holds.
    void theCopiesFollowTheirDatasets()
    {
        fx.firingStudio();
        Recorder r;
        fx.connectTo(r);
        fx.tbMAIN()->setTab(0);
        QFile::remove(fx.data("news_b.ft8"));
        QFile copy(fx.data("news_a.ft8"));
        QVERIFY(copy.open(QIODevice::ReadWrite) &&
                copy.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        copy.close();
        writeRaw(fx.data("news_a.ftd"), "TITLE~Anna\r\nTAG~f0;\xe1\r\n");
        fx.showPage();
        fx.click(1, Step1);
        QVERIFY2(fx.sentUpToC4(r).contains("\xce\xb1"), "α, in UTF-8");
        fx.click(2, Step1);
        QVERIFY(fx.sentUpToC4(r).contains("Bob"));
        QVERIFY2(fx.reports().isEmpty(), qPrintable(fx.reports()));
    }

    void whatComposesNothing()
    {
        fx.firingStudio();
        Recorder r;
        fx.connectTo(r);

        // A missing copy: reported, nothing sent, no mark changed.
        QFile::remove(fx.data("news_b.ft8"));
        fx.mark(1, Step1, Mark::OnAir); // on 1-20
        fx.click(2, Step1);
        QVERIFY2(fx.reports().startsWith("Error 53\r\n"), qPrintable(fx.reports()));
        QVERIFY(fx.reports().contains("PLAYLIST_EXEC"));
        QCOMPARE(steps(1), marked(1, Step1, OnAir));
        QCOMPARE(steps(2), rest(2));

        // No preview channel chosen.
        fx.cmbPREVIEW()->setCurrentIndex(-1);
        fx.click(3, Step1, Qt::RightButton);
        QCOMPARE(steps(3), rest(3));

        // A card that is gone: nothing goes out, not even an empty line, and the panel keeps its text.
        fx.copiedDataset("gone_x", "X", "");
        fx.writePlaylist(fx.playlist() + "gone_x.ftd\r\n");
        fx.open();
        fx.showPage();
        fx.txtCOMMAND()->setText("before");
        fx.click(6, Step1);
        QCOMPARE(fx.sentUpToC4(r), QByteArray());
        QCOMPARE(fx.txtCOMMAND()->text(), QString("before"));
        QCOMPARE(steps(6), rest(6));

        // The link down: nothing is sent and no mark changes.
        fx.mark(4, Step2, Mark::OnAir); // on 3-7
        QTest::mouseClick(fx.cmdGASPARCONNECT(), Qt::LeftButton);
        QTRY_COMPARE(r.peers[0]->state(), QAbstractSocket::UnconnectedState);
        fx.click(4, Step1);
        QTest::mouseClick(fx.cmdCLEAR(3), Qt::LeftButton);
        fx.chooseFromMenu(4, 4, "Clear OnAir");
        QCOMPARE(steps(4), marked(4, Step2, OnAir));
        QCOMPARE(r.all(), QByteArray());
        QCOMPARE(fx.scope->script.reports.size(), 1);
    }

    void clears()
    {
        fx.firingStudio();
        Recorder r;
        fx.connectTo(r);
        fx.txtCOMMAND()->setText("kept");
        fx.mark(1, Step1, Mark::OnAir); // on 1-20
        fx.mark(2, Step2, Mark::OnPreview, 2); // on 2-20
        fx.mark(3, Step2, Mark::OnPreview, 3); // on 3-20
        fx.mark(4, Step2, Mark::OnPreview, 2); // on 2-7
        fx.mark(5, Step1, Mark::Cleared); // on 1-5

        fx.hover(2);
        fx.chooseFromMenu(1, 4, "Clear OnAir"); // the pop-up's entry becomes the current row
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CLEAR 1-20\r\n"));
        QCOMPARE(steps(1), marked(1, Step1, Cleared));
        QCOMPARE(steps(2), marked(2, Step2, OnPreview));

        // Only the previews that went to this channel and layer.
        fx.cmbPREVIEW()->setCurrentIndex(1);
        fx.chooseFromMenu(3, PlaylistCol::Layer, "Clear Preview");
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CLEAR 2-20\r\n"));
        QCOMPARE(steps(2), marked(2, Step2, Cleared));
        QCOMPARE(steps(3), marked(3, Step2, OnPreview)); // previewed on channel 3
        QCOMPARE(steps(4), marked(4, Step2, OnPreview)); // layer 7

        // A channel: its entries, and every line that went to it.
        fx.chooseFromMenu(4, PlaylistCol::Ft, "C3");
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CLEAR 3\r\n"));
        QList<quint32> plain = fx.painted(4, ui::palette::RestEven);
        plain[Step2 - 1] = OnPreview; // its line went to channel 2, which still shows it
        QCOMPARE(fx.colours(4), plain);
        QCOMPARE(steps(3), rest(3));
        QCOMPARE(steps(2), marked(2, Step2, Cleared));
        QCOMPARE(steps(5), marked(5, Step1, Cleared));
        QCOMPARE(fx.txtCOMMAND()->text(), QString("kept"));

        QTest::mouseClick(fx.cmdCLEAR(1), Qt::LeftButton);
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CLEAR 1\r\n"));
        for (int row : {1, 5})
            QCOMPARE(fx.colours(row), fx.painted(row, ui::palette::rest(row)));
        QCOMPARE(steps(2), marked(2, Step2, Cleared)); // cleared on channel 2, not 1
        QCOMPARE(fx.reports(), QString());

        QTest::mouseClick(fx.cmdCLEAR(5), Qt::LeftButton);
        QVERIFY(fx.fraCOMMAND()->isVisible());

        // Only the header row: the channel clear still sends, the layer clears do nothing.
        while (fx.grid()->rows() > 1)
            fx.removeByMenu(1);
        fx.mnClearLAYERONAIR()->trigger();
        fx.mnCLEARLAYERPREVIEW()->trigger();
        fx.mnCLEARCHANNEL(2)->trigger();
        QCOMPARE(fx.sentUpToC4(r), QByteArray("CLEAR 2\r\n"));
    }

    void theKeysMoveTheCueAndFireIt()
    {
        fx.firingStudio();
        Recorder r;
        r.answerLikeTheServer();
        fx.connectTo(r);
        ui::Grid* g = fx.grid();
        fx.cmbPREVIEW()->setCurrentIndex(2); // "3"
        g->setFocus();
        struct Key {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int row, col;      // the cue after it
            const char* line;  // the start of what it sent, or nothing
        };
        const Key keys[] = {
            {Qt::Key_Return, {}, 0, 0, ""}, // no cue yet: nothing to fire
            {Qt::Key_Down, {}, 1, Step1, ""},   // the first key puts it on the first step
            {Qt::Key_Right, {}, 1, Step2, ""},
            {Qt::Key_End, {}, 1, Step4, ""},
            {Qt::Key_Right, {}, 1, Step4, ""},  // never past the last step
            {Qt::Key_Down, {}, 2, Step4, ""},
            {Qt::Key_Down, {}, 3, Step2, ""},   // fewer steps: its last one
            {Qt::Key_Return, {}, 3, Step2, "CG 2-20 UPDATE 1 \""},
            {Qt::Key_Return, Qt::ShiftModifier, 3, Step2, "CG 3-20 UPDATE 1 \""},
            {Qt::Key_Home, {}, 3, Step1, ""},
            {Qt::Key_Left, {}, 3, Step1, ""},   // never into the description columns
            {Qt::Key_PageDown, {}, 5, Step1, ""},
            {Qt::Key_Space, {}, 5, Step1, "PLAY 1-5 ticker\r\n"},
            {Qt::Key_Return, Qt::ControlModifier, 5, Step1, ""},
            {Qt::Key_Up, {}, 4, Step1, ""},
            {Qt::Key_Enter, Qt::KeypadModifier, 4, Step1, "CG 3-7 ADD 1 \"news/third\""},
            {Qt::Key_F12, {}, 4, Step1, "CLEAR 3-7\r\n"},
            {Qt::Key_F12, Qt::ShiftModifier, 4, Step1, "CLEAR 3-7\r\n"},
            {Qt::Key_PageUp, {}, 1, Step1, ""},
        };
        for (const Key& k : keys) {
            const QString what = QStringLiteral("key %1 to %2, %3").arg(k.key, 0, 16).arg(k.row).arg(k.col);
            QTest::keyClick(g, k.key, k.modifiers);
            const QPoint cue = fx.cueShown();
            const int row = cue.y(), col = cue.x();
            QVERIFY2(row == k.row && (k.row == 0 || col == k.col), qPrintable(what + QStringLiteral(": at %1, %2").arg(row).arg(col)));
            const QByteArray sent = fx.sentUpToC4(r);
            QVERIFY2(sent.startsWith(k.line) && (sent.isEmpty() == (*k.line == 0)), qPrintable(what + ": " + sent));
        }
        QCOMPARE(steps(4), marked(4, Step1, Cleared)); // fired on air, then its layer cleared

        // A held key fires once.
        QTest::keyClick(g, Qt::Key_Down);
        QTest::keyPress(g, Qt::Key_Return);
        for (int i = 0; i < 3; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(g, &repeat);
        }
        QTest::keyRelease(g, Qt::Key_Return);
        QCOMPARE(fx.sentUpToC4(r).count("\r\n"), 1);

        // Keys act only where the focus is: Return in the port box fires nothing.
        QTest::keyClick(fx.txtGASPARPORT(), Qt::Key_Return);
        QCOMPARE(fx.sentUpToC4(r), QByteArray());

        // A refusal of a line fired by key shows as by the mouse, once the lines before are
        // answered; the step the server still shows stays on air.
        QTRY_COMPARE(fx.wsGASPAR()->linesInFlight(), 0);
        r.answerLikeTheServer("UPDATE", "404 CG UPDATE FAILED");
        QTest::keyClick(g, Qt::Key_Right);
        QTest::keyClick(g, Qt::Key_Return);
        QTRY_COMPARE(steps(2), marked(2, OnAir, ui::palette::Refused));

        // With the link down a key fires nothing and no mark changes.
        QTest::mouseClick(fx.cmdGASPARCONNECT(), Qt::LeftButton);
        QTest::keyClick(g, Qt::Key_Up);
        QTest::keyClick(g, Qt::Key_Return);
        QCOMPARE(steps(1), rest(1));
        QCOMPARE(fx.reports(), QString());
    }

    void returnInTheTreeAddsADataset()
    {
        fx.firingStudio();
        const int before = fx.grid()->rows();
        ui::Tree* tree = fx.trLIST();
        tree->setFocus();
        for (const char* text : {"News", "Bob"}) { // a card adds nothing
            QVERIFY(drive::selectTreeNode(tree, text));
            QTest::keyClick(tree, Qt::Key_Return);
        }
        QCOMPARE(fx.grid()->rows(), before + 1);
        QCOMPARE(fx.grid()->textMatrix(before, 0), QString("news_b.ftd"));
    }
};

QTEST_MAIN(TestFiring)
#include "tst_firing.moc"
