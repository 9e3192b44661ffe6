// The connect button and the on-air action against a real TCP server on the loopback interface.
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "app/frmMAIN.h"
#include "drive.h"
#include "editor_fixture.h"
#include "recorder.h"
#include "scripted.h"
#include "server/link.h"
#include "ui/colors.h"


const QByteArray kWorkedExample =
    "CG 1-20 ADD 1 \"demo/lower3rd\" 1 \"<templateData><componentData id=\\\"cg_channel\\\"><data type=\\\"txt\\\" "
    "ani=\\\"0\\\" value=\\\"1\\\"></data></componentData><componentData id=\\\"f0\\\"><data type=\\\"txt\\\" ani=\\\"0\\\" "
    "value=\\\"Hello\\\"></data></componentData></templateData>\""
    "\r\n";

class TestOnAir : public QObject {
    Q_OBJECT
    EditorFixture fx;

    QString copyPath() const { return fx.home.filePath(QStringLiteral("data/demo/lower3rd_ab12cd34.ft8")); }

    // The editor page as the operator leaves it: project demo open, its card lower3rd (1-20, a
    // tag f0 and the invokes given) selected with its one dataset, whose copy is on disk.
    void selectCard(const QString& invokes = QStringLiteral("In;Out"), bool withDataset = true)
    {
        const QString project = fx.home.filePath(QStringLiteral("projects/demo"));
        writeCodePageLines(project + QStringLiteral("/lower3rd.fti"),
                           {"CHANNEL:1", "LAYER:20", "INVOKE:" + invokes, "TAG:Name;f0;0;txt"});
        if (withDataset)
            writeRaw(fx.home.filePath(QStringLiteral("data/demo/lower3rd_ab12cd34.ftd")), "TITLE~Greeting\r\nTAG~f0;Hello\r\n");
        fx.openFolder(project);
        QCOMPARE(fx.currentCardFile(), QStringLiteral("lower3rd"));
        QCOMPARE(fx.currentDataset(), withDataset ? QStringLiteral("lower3rd_ab12cd34.ftd") : QString());
        writeRaw(copyPath(), "TITLE~Greeting\r\nTAG~f0;Hello\r\n");
    }
    template <class T = QPushButton> T* control(const char* name) { return fx.w->findChild<T*>(QLatin1String(name)); }
    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    QPoint entry(int i) const { return fx.cmbINVOKES()->visualItemRect(fx.cmbINVOKES()->item(i)).center(); }
    void chooseAction(int i) { QTest::mouseClick(fx.cmbINVOKES()->viewport(), Qt::LeftButton, {}, entry(i)); }
    // A double-click is a click and the second press of it; the list selects on the first.
    void doubleClickAction(int i)
    {
        chooseAction(i);
        QTest::mouseDClick(fx.cmbINVOKES()->viewport(), Qt::LeftButton, {}, entry(i));
    }
    // The panel holds the line as sent, CR LF included.
    QByteArray shown() const { return fx.txtCOMMAND()->text().toUtf8(); }
    void button(quint32 colour, const char* caption, const char* tag)
    {
        QCOMPARE(fx.cmdGASPARCONNECT()->backColor(), colour);
        QCOMPARE(fx.cmdGASPARCONNECT()->text(), QLatin1String(caption));
        QCOMPARE(fx.cmdGASPARCONNECT()->tag, QLatin1String(tag));
        QCOMPARE(fx.tmrCASPAR()->isActive(), QLatin1String(tag) == QLatin1String("disconnect"));
    }

private slots:
    void initTestCase() { fx.setUp(); }
    void init()
    {
        fx.start();
        QVERIFY(fx.show());
    }
    void cleanup() { fx.stop(); }

    // ---- The window ----------------------------------------------------------------------

    void theButtonBlinksWhileTheLinkIsDownAndKeepsItsPhase()
    {
        button(ui::palette::LinkIdle, "Connect", "connect");
        fx.connectTo(refusedPort());
        button(ui::palette::LinkUp, "Disconnect", "disconnect"); // green at once, before anything is known
        // Ticks called in a row, so the real timer cannot slip one in between.
        const quint32 expected[] = {ui::palette::LinkBlink, ui::palette::LinkIdle, ui::palette::LinkBlink};
        for (quint32 colour : expected) {
            fx.tick();
            QCOMPARE(fx.cmdGASPARCONNECT()->backColor(), colour);
        }
        QCOMPARE(fx.cmdGASPARCONNECT()->text(), QStringLiteral("Disconnect"));
        click("cmdGASPARCONNECT");
        button(ui::palette::LinkIdle, "Connect", "connect");
        click("cmdGASPARCONNECT");
        button(ui::palette::LinkUp, "Disconnect", "disconnect");
        fx.tick(); // the phase went on from where it was: light red, not red
        QCOMPARE(fx.cmdGASPARCONNECT()->backColor(), ui::palette::LinkIdle);
        QTRY_COMPARE(fx.wsGASPAR()->State(), int(server::Link::Failed));
        QTRY_COMPARE(fx.cmdGASPARCONNECT()->backColor(), ui::palette::LinkBlink); // the real timer ticks on
        QVERIFY(fx.scope->script.reports.isEmpty());
    }

    void aConnectedLinkTurnsGreenAndDisconnectCloses()
    {
        Recorder r;
        fx.connectTo(r.port());
        fx.tick(); // not up yet
        QCOMPARE(fx.cmdGASPARCONNECT()->backColor(), ui::palette::LinkBlink);
        QTRY_COMPARE(fx.wsGASPAR()->State(), int(server::Link::Connected));
        QTRY_COMPARE(fx.cmdGASPARCONNECT()->backColor(), ui::palette::LinkUp); // the first tick after it is up
        button(ui::palette::LinkUp, "Disconnect", "disconnect");
        QTRY_COMPARE(r.peers.size(), 1);
        click("cmdGASPARCONNECT");
        button(ui::palette::LinkIdle, "Connect", "connect");
        QTRY_COMPARE(r.peers[0]->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(r.all(), QByteArray()); // nothing is sent on connecting or closing
    }

    void onAirSendsTheLineAndShowsIt_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("Play") << 0 << false << kWorkedExample;
        QTest::newRow("Update") << 1 << false
                                << QByteArray(kWorkedExample)
                                       .replace("ADD 1 \"demo/lower3rd\" 1", "UPDATE 1");
        QTest::newRow("an invoke name") << 2 << false << QByteArray("CG 1-20 INVOKE 1 \"In\r\n");
        QTest::newRow("double-click on Play") << 0 << true << kWorkedExample;
        QTest::newRow("double-click on Out") << 3 << true << QByteArray("CG 1-20 INVOKE 1 \"Out\r\n");
    }
    void onAirSendsTheLineAndShowsIt()
    {
        QFETCH(int, action);
        QFETCH(bool, doubleClick);
        QFETCH(QByteArray, expected);
        Recorder r;
        selectCard();
        fx.connectTo(r.port());
        QTRY_COMPARE(fx.wsGASPAR()->State(), int(server::Link::Connected));
        if (doubleClick) {
            doubleClickAction(action);
        } else {
            chooseAction(action);
            click("cmdAIR");
        }
        QCOMPARE(fx.cmbINVOKES()->currentRow(), action);
        QTRY_COMPARE(r.all(), expected);
        QCOMPARE(shown(), expected);
        QVERIFY(fx.fraCOMMAND()->isHidden()); // the panel opens with "?" only
        QVERIFY(fx.scope->script.reports.isEmpty());
    }

    void greekTextReachesTheServerInUtf8()
    {
        Recorder r;
        // Project, card and dataset named in Greek; a second card sends its own command.
        const QString project = fx.home.filePath(QStringLiteral("projects/Ειδήσεις"));
        writeCodePageLines(project + QStringLiteral("/τίτλος.fti"), {"CHANNEL:1", "LAYER:20", "TAG:Name;f0;0;txt"});
        writeCodePageLines(project + QStringLiteral("/ήχος.fti"),
                           {"CHANNEL:1", "LAYER:20", QStringLiteral("COMMAND:PLAY {@CHANNEL}-{@LAYER} \"Ήχος\"")});
        const QString data = fx.home.filePath(QStringLiteral("data/Ειδήσεις/"));
        writeCodePageLines(data + QStringLiteral("τίτλος_1.ftd"), {QStringLiteral("TITLE~Ά"), QStringLiteral("TAG~f0;Νίκος & Μαρία's")});
        writeCodePageLines(data + QStringLiteral("ήχος_1.ftd"), {QStringLiteral("TITLE~Ή")});
        fx.openFolder(project);
        const QStringList cards = fx.column(fx.vsCARDS(), app::mGENERAL::CardCol::FileName);
        drive::click(fx.vsCARDS(), int(cards.indexOf(QStringLiteral("τίτλος"))) + 1, app::mGENERAL::CardCol::Title);
        QCOMPARE(fx.currentCardFile(), QStringLiteral("τίτλος"));
        fx.connectTo(r.port());
        QTRY_COMPARE(fx.wsGASPAR()->State(), int(server::Link::Connected));
        chooseAction(0);
        click("cmdAIR");
        const QByteArray add = QStringLiteral(
            "CG 1-20 ADD 1 \"Ειδήσεις/τίτλος\" 1 \"<templateData><componentData id=\\\"cg_channel\\\"><data type=\\\"txt\\\" "
            "ani=\\\"0\\\" value=\\\"1\\\"></data></componentData><componentData id=\\\"f0\\\"><data type=\\\"txt\\\" ani=\\\"0\\\" "
            "value=\\\"Νίκος &amp; Μαρία&apos;s\\\"></data></componentData></templateData>\""
            "\r\n").toUtf8();
        QTRY_COMPARE(r.all(), add);
        drive::click(fx.vsCARDS(), int(cards.indexOf(QStringLiteral("ήχος"))) + 1, app::mGENERAL::CardCol::Title);
        QCOMPARE(fx.invokes(), QStringList{QStringLiteral("Custom")});
        chooseAction(0);
        click("cmdAIR");
        QTRY_COMPARE(r.all(), add + QStringLiteral("PLAY 1-20 \"Ήχος\"\r\n").toUtf8());
        QCOMPARE(shown(), QStringLiteral("PLAY 1-20 \"Ήχος\"\r\n").toUtf8());
    }

    void withTheLinkDownNothingIsSentOrShown()
    {
        Recorder r;
        selectCard();
        fx.txtCOMMAND()->setText(QStringLiteral("before"));
        chooseAction(0);
        click("cmdAIR"); // never connected
        fx.connectTo(refusedPort());
        click("cmdAIR"); // connecting, then refused
        QTRY_COMPARE(fx.wsGASPAR()->State(), int(server::Link::Failed));
        click("cmdAIR");
        click("cmdGASPARCONNECT");
        fx.connectTo(r.port());
        QTRY_COMPARE(fx.wsGASPAR()->State(), int(server::Link::Connected));
        QTRY_COMPARE(r.peers.size(), 1);
        r.peers[0]->disconnectFromHost(); // the server drops the link
        QTRY_VERIFY(fx.wsGASPAR()->State() != 7);
        doubleClickAction(2);
        fx.tick();
        QVERIFY(fx.cmdGASPARCONNECT()->backColor() != ui::palette::LinkUp);
        QCOMPARE(fx.txtCOMMAND()->text(), QStringLiteral("before"));
        // Disconnect and connect again: the only line the server ever gets is the next one.
        click("cmdGASPARCONNECT");
        click("cmdGASPARCONNECT");
        QTRY_COMPARE(fx.wsGASPAR()->State(), int(server::Link::Connected));
        click("cmdAIR");
        QTRY_COMPARE(r.peers.size(), 2);
        QTRY_COMPARE(r.received[1], QByteArray("CG 1-20 INVOKE 1 \"In\r\n"));
        QCOMPARE(r.received[0], QByteArray());
        QVERIFY(fx.scope->script.reports.isEmpty());
    }

    // No action chosen, or an empty invoke name (a card's "INVOKE:In;"): nothing is sent.
    void withNoActionChosenNothingHappens()
    {
        Recorder r;
        selectCard(QStringLiteral("In;"));
        QFile::remove(copyPath()); // not even the copy is looked at
        fx.connectTo(r.port());
        QTRY_COMPARE(fx.wsGASPAR()->State(), int(server::Link::Connected));
        fx.txtCOMMAND()->setText(QStringLiteral("before"));
        QCOMPARE(fx.cmbINVOKES()->currentRow(), -1);
        click("cmdAIR");
        doubleClickAction(3);
        click("cmdAIR");
        QCOMPARE(fx.cmbINVOKES()->currentRow(), 3);
        QCOMPARE(fx.txtCOMMAND()->text(), QStringLiteral("before"));
        chooseAction(2);
        click("cmdAIR");
        QTRY_COMPARE(r.all(), QByteArray("CG 1-20 INVOKE 1 \"In\r\n"));
        QVERIFY(fx.scope->script.reports.isEmpty());
    }

    void failuresAreReportedAndNothingIsSent_data()
    {
        QTest::addColumn<QString>("dataset");
        QTest::addColumn<QByteArray>("copy");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("no copy") << "lower3rd_ab12cd34.ftd" << QByteArray() << 0 << "Error 53";
        QTest::newRow("no dataset selected") << "" << QByteArray("TITLE~t\r\n") << 1 << "Error 75";
        QTest::newRow("a TAG line without ;") << "lower3rd_ab12cd34.ftd" << QByteArray("TITLE~t\r\nTAG~f0\r\n") << 1
                                               << "Error 9";
    }
    void failuresAreReportedAndNothingIsSent()
    {
        QFETCH(QString, dataset);
        QFETCH(QByteArray, copy);
        QFETCH(int, action);
        QFETCH(QString, firstLine);
        Recorder r;
        selectCard(QStringLiteral("In;Out"), !dataset.isEmpty());
        QFile::remove(copyPath());
        if (!copy.isEmpty())
            writeRaw(copyPath(), copy);
        fx.connectTo(r.port());
        QTRY_COMPARE(fx.wsGASPAR()->State(), int(server::Link::Connected));
        fx.txtCOMMAND()->setText(QStringLiteral("before"));
        chooseAction(action);
        click("cmdAIR"); // the script answers Ignore
        QCOMPARE(fx.scope->script.reports.size(), 1);
        const QStringList report = fx.scope->script.reports[0].split(QStringLiteral("\r\n"));
        QCOMPARE(report[0], firstLine);
        QCOMPARE(report[2], QStringLiteral("Location: Plintor.frmMAIN.cmdAIR_Click"));
        QCOMPARE(fx.txtCOMMAND()->text(), QStringLiteral("before"));
        chooseAction(2); // an invoke needs no copy
        click("cmdAIR");
        QTRY_COMPARE(r.all(), QByteArray("CG 1-20 INVOKE 1 \"In\r\n"));
    }

    // Whatever a folder, card or dataset holds, the server gets one line with the text as typed,
    // or none and the operator a report naming the field.
    void hostileTextNeverBecomesAnotherCommand_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("invoke");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("action");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("report");
        QTest::newRow("a folder named with CR LF") << "news\r\nCLEAR 1" << "In" << "v" << 0 << QByteArray()
                                                 << "the project name holds a line break";
        QTest::newRow("backslashes doubled") << "C:\\new" << "In" << "C:\\clips\\" << 0
                                             << QByteArray("CG 1-20 ADD 1 \"C:\\\\new/lower3rd\" 1 \"<templateData>"
                                                           "<componentData id=\\\"cg_channel\\\"><data type=\\\"txt\\\" "
                                                           "ani=\\\"0\\\" value=\\\"1\\\"></data></componentData>"
                                                           "<componentData id=\\\"f0\\\"><data type=\\\"txt\\\" ani=\\\"0\\\" "
                                                           "value=\\\"C:\\\\clips\\\\\\\"></data></componentData>"
                                                           "</templateData>\"\r\n")
                                             << QString();
        QTest::newRow("an invoke name with quotes") << "news" << "say \"hi\"" << "v" << 2
                                                    << QByteArray("CG 1-20 INVOKE 1 \"say \\\"hi\\\"\r\n") << QString();
    }
    void hostileTextNeverBecomesAnotherCommand()
    {
        QFETCH(QString, folder);
        QFETCH(QString, invoke);
        QFETCH(QString, value);
        QFETCH(int, action);
        QFETCH(QByteArray, expected);
        QFETCH(QString, report);
#ifdef Q_OS_WIN
        if (folder.contains(QLatin1Char('\\')) || folder.contains(QLatin1Char('\r')))
            QSKIP("a Windows folder name holds no backslash, CR or LF");
#endif
        Recorder r;
        const QString project = fx.home.filePath(QStringLiteral("projects/") + folder);
        writeCodePageLines(project + QStringLiteral("/lower3rd.fti"),
                           {"CHANNEL:1", "LAYER:20", "INVOKE:" + invoke, "TAG:Name;f0;0;txt"});
        const QString data = fx.home.filePath(QStringLiteral("data/") + folder + QStringLiteral("/lower3rd_ab12cd34"));
        writeCodePageLines(data + QStringLiteral(".ftd"), {"TITLE~t", "TAG~f0;" + value});
        writeRaw(data + QStringLiteral(".ft8"), ("TITLE~t\r\nTAG~f0;" + value + "\r\n").toUtf8());
        fx.openFolder(project);
        fx.connectTo(r.port());
        QTRY_COMPARE(fx.wsGASPAR()->State(), int(server::Link::Connected));
        QTRY_COMPARE(r.peers.size(), 1);
        chooseAction(action);
        click("cmdAIR");
        if (!report.isEmpty()) {
            QCOMPARE(fx.scope->script.reports.size(), 1);
            QVERIFY2(fx.scope->script.reports[0].startsWith(QStringLiteral("Error 5\r\n")) &&
                         fx.scope->script.reports[0].contains(report),
                     qPrintable(fx.scope->script.reports[0]));
            chooseAction(2); // what needs no project name still goes
            click("cmdAIR");
            expected = "CG 1-20 INVOKE 1 \"In\r\n";
        }
        QTRY_COMPARE(r.all(), expected);
        QCOMPARE(fx.scope->script.reports.size(), report.isEmpty() ? 0 : 1);
    }

    void aBadPortIsReportedAndConnectsNothing()
    {
        Recorder r;
        fx.connectTo(QStringLiteral("52a"));
        QCOMPARE(fx.scope->script.reports.size(), 1);
        QVERIFY2(fx.scope->script.reports[0].startsWith(QStringLiteral("Error 5\r\n")), qPrintable(fx.scope->script.reports[0]));
        QVERIFY(fx.scope->script.reports[0].contains(QStringLiteral("Location: Plintor.frmMAIN.cmdGASPARCONNECT_Click")));
        // Ignore goes on with the rest of the toggle; the link itself stays closed and blinks.
        button(ui::palette::LinkUp, "Disconnect", "disconnect");
        QCOMPARE(fx.wsGASPAR()->State(), int(server::Link::Closed));
        fx.tick();
        QVERIFY(fx.cmdGASPARCONNECT()->backColor() != ui::palette::LinkUp);
    }
};

QTEST_MAIN(TestOnAir)
#include "tst_onair.moc"
