// A control surface runs the show through the real window: liblo's oscsend fires and moves the
// cue, the lines reach a real server, the marks show on the painted grid, and the tally reaches
// oscdump and a recording Companion.
#include <QProcess>
#include <QStandardPaths>
#include <QUdpSocket>

#include "httprecorder.h"
#include "playlist_fixture.h"
#include "remote/osccontrol.h"

using namespace ui::palette;

class TestRemoteControl : public QObject {
    Q_OBJECT
    PlaylistFixture fx;

    static QString tool(const char* name) { return QStandardPaths::findExecutable(QString::fromLatin1(name)); }

private slots:
    void initTestCase() { fx.setUp(); }
    void init() { fx.start(); }
    void cleanup() { fx.stop(); }

    void oscFiresTheRunningOrderAndTheTallyComesBack()
    {
#ifdef Q_OS_WIN
        QSKIP("liblo's oscsend and oscdump are the build machine's programs, not Windows ones");
#endif
        QVERIFY2(!tool("oscsend").isEmpty() && !tool("oscdump").isEmpty(), "apt-get install liblo-tools");
        QUdpSocket probe; // a port free a moment ago, for oscdump
        probe.bind(QHostAddress::LocalHost, 0);
        const quint16 dumpPort = probe.localPort();
        probe.close();
        QProcess dump;
        dump.start(tool("oscdump"), {"-L", QString::number(dumpPort)});
        QVERIFY(dump.waitForStarted());
        QByteArray heard;
        const auto hear = [&] { return heard += dump.readAllStandardOutput(); };
        HttpRecorder companion;

        probe.bind(QHostAddress::LocalHost, 0); // and one for the window to listen on
        const QString port = QString::number(probe.localPort());
        probe.close();

        fx.firingStudio(); // news 1-20 (rows 1, 2), sport 2-20, third 3-7, ticker 1-5
        app::Options options = fx.options();
        options.oscListen = remote::Endpoint{QHostAddress(QHostAddress::LocalHost), port.toUShort()};
        options.oscFeedback = {remote::Endpoint{QHostAddress(QHostAddress::LocalHost), dumpPort}};
        options.companion = QUrl(companion.url());
        fx.w = std::make_unique<app::frmMAIN>(options);
        fx.openPage();
        Recorder r;
        r.answerLikeTheServer();
        fx.connectTo(r);
        QTRY_VERIFY_WITH_TIMEOUT(hear().contains("/plintor/link i 1"), 10000);
        QVERIFY(heard.contains("/plintor/entry/3/title s \"Final\""));

        const auto press = [&](const QStringList& osc, const QByteArray& line) {
            QProcess send;
            send.start(tool("oscsend"), QStringList{"127.0.0.1", port} + osc);
            QVERIFY(send.waitForFinished(10000) && send.exitCode() == 0);
            if (!line.isEmpty())
                QTRY_VERIFY2(r.all().startsWith(line), qPrintable(osc.join(' ')));
            r.received[0].clear();
        };
        press({"/plintor/cue/goto", "ii", "3", "1"}, {});
        QTRY_VERIFY(fx.framed(3, Step1, ui::palette::Cue));
        press({"/plintor/cue/fire", "i", "1"}, "CG 2-20 ADD 1 \"news/sport\" 1 \"<templateData>");
        QCOMPARE(fx.shown(3, Step1), OnAir);
        QTRY_VERIFY(hear().contains("/plintor/entry/3/step/1/onair i 1"));
        QTRY_COMPARE(companion.bodiesTo("/api/custom-variable/plintor_onair_2/value").value(0), QByteArray("Final"));

        // A preview to the same channel and layer takes the score off, on the screen and the tally.
        press({"/plintor/entry/1/step/1/preview"}, "CG 2-20 ADD 1 \"news/news\" 1 \"<templateData>");
        QCOMPARE(fx.shown(1, Step1), OnPreview);
        QCOMPARE(fx.shown(3, Step1), RestOdd);
        QTRY_VERIFY(hear().contains("/plintor/entry/3/step/1/onair i 0"));
        QVERIFY(heard.contains("/plintor/entry/1/step/1/preview i 1"));
        QVERIFY(fx.framed(3, Step1, ui::palette::Cue)); // firing an entry leaves the cue

        press({"/plintor/cue/down"}, {});
        QTRY_VERIFY(hear().contains("/plintor/cue ii 4 1"));
        QTRY_COMPARE(companion.bodiesTo("/api/custom-variable/plintor_cue_title/value").constLast(), QByteArray("T"));
        press({"/plintor/channel/2/clear"}, "CLEAR 2\r\n");
        QCOMPARE(fx.shown(1, Step1), RestOdd);
        QVERIFY2(fx.sbSTATUS()->remote().startsWith("Remote: "), qPrintable(fx.sbSTATUS()->remote()));

        // A state request gives Companion every variable again: it may have restarted.
        const qsizetype links = companion.bodiesTo("/api/custom-variable/plintor_link/value").size();
        press({"/plintor/state"}, {});
        QTRY_COMPARE(companion.bodiesTo("/api/custom-variable/plintor_link/value").size(), links + 1);

        // A fire of a step that does not exist sends nothing and is said.
        press({"/plintor/entry/9/step/1/fire"}, {});
        QTRY_VERIFY(fx.sbSTATUS()->remote().contains("ignored"));
        QCOMPARE(fx.sentUpToC4(r), QByteArray());
        QCOMPARE(fx.reports(), QString());
        dump.kill();
        dump.waitForFinished();
    }
};

QTEST_MAIN(TestRemoteControl)
#include "tst_remotecontrol.moc"
