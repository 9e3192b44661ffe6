#include <QNetworkDatagram>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSet>
#include <QTemporaryFile>
#include <QTest>
#include <QUdpSocket>
#include <functional>

#include "httprecorder.h"
#include "recorder.h"
#include "remote/companion.h"
#include "remote/osc.h"
#include "remote/osccontrol.h"
#include "remote/oscfeedback.h"
#include "remote/surface.h"

// The remote control end to end: OSC from liblo's own tools drives a running order that stands
// in for the window's, the tally goes back to oscdump, the variables to a recording HTTP server.
namespace {

/// A running order of three entries on channels 1, 2 and 2, marked as the window marks it.
class FakeSurface : public remote::Surface {
public:
    QStringList calls;
    std::function<void()> changed = [] {};

    FakeSurface()
    {
        state_.entries = {{QStringLiteral("Headline"), {{QStringLiteral("Play")}, {QStringLiteral("Stop")}}},
                          {QStringLiteral("Weather"), {{QStringLiteral("Play")}, {QStringLiteral("Next")}}},
                          {QStringLiteral("Score"), {{QStringLiteral("Play")}}}};
        state_.linkUp = true;
        setCue(1, 1);
    }
    bool fire(int entry, int step, bool preview) override
    {
        if (!exists(entry, step))
            return false;
        for (remote::Tally::Step& s : state_.entries[entry - 1].steps)
            s.onAir = s.preview = false;
        (preview ? step_(entry, step).preview : step_(entry, step).onAir) = true;
        if (!preview)
            state_.onAir[channelOf(entry) - 1] = state_.entries[entry - 1].title;
        return act(QStringLiteral("fire %1 %2%3").arg(entry).arg(step).arg(preview ? " preview" : ""));
    }
    bool moveCue(remote::CueMove move) override
    {
        int e = state_.cueEntry, s = state_.cueStep;
        const auto steps = [this](int entry) { return int(state_.entries[entry - 1].steps.size()); };
        switch (move) {
        case remote::CueMove::Up: e = std::max(1, e - 1); break;
        case remote::CueMove::Down: e = std::min(int(state_.entries.size()), e + 1); break;
        case remote::CueMove::PageUp: e = 1; break;
        case remote::CueMove::PageDown: e = int(state_.entries.size()); break;
        case remote::CueMove::Left: s = std::max(1, s - 1); break;
        case remote::CueMove::Right: s = std::min(steps(e), s + 1); break;
        case remote::CueMove::Home: s = 1; break;
        case remote::CueMove::End: s = steps(e); break;
        }
        setCue(e, std::min(s, steps(e)));
        return act(QStringLiteral("move %1").arg(int(move)));
    }
    bool gotoCue(int entry, int step) override
    {
        if (!exists(entry, step))
            return false;
        setCue(entry, step);
        return act(QStringLiteral("goto %1 %2").arg(entry).arg(step));
    }
    bool clearCue(bool preview) override
    {
        for (remote::Tally::Step& s : state_.entries[state_.cueEntry - 1].steps)
            (preview ? s.preview : s.onAir) = false;
        return act(QStringLiteral("clear%1").arg(preview ? " preview" : ""));
    }
    bool clearChannel(int channel) override
    {
        for (int e = 1; e <= state_.entries.size(); ++e)
            if (channelOf(e) == channel)
                for (remote::Tally::Step& s : state_.entries[e - 1].steps)
                    s.onAir = s.preview = false;
        state_.onAir[channel - 1].clear();
        return act(QStringLiteral("clear channel %1").arg(channel));
    }
    remote::Tally tally() const override { return state_; }

private:
    static int channelOf(int entry) { return entry == 1 ? 1 : 2; }
    bool exists(int entry, int step) const
    {
        return entry >= 1 && entry <= state_.entries.size() && step >= 1 &&
               step <= state_.entries[entry - 1].steps.size();
    }
    remote::Tally::Step& step_(int entry, int step) { return state_.entries[entry - 1].steps[step - 1]; }
    void setCue(int entry, int step)
    {
        state_.cueEntry = entry;
        state_.cueStep = step;
        state_.cueTitle = state_.entries[entry - 1].title;
        state_.cueStepName = step_(entry, step).name;
    }
    bool act(const QString& call)
    {
        calls += call;
        changed();
        return true;
    }
    remote::Tally state_;
};

QString tool(const char* name)
{
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (path.isEmpty())
        qFatal("%s not found: apt-get install liblo-tools", name);
    return path;
}

/// A UDP port free a moment ago, for a program that takes a port number.
quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

QByteArray message(const QByteArray& address, QList<remote::osc::Argument> arguments = {})
{
    return remote::osc::encode({address, std::move(arguments)});
}

} // namespace

class TestRemote : public QObject {
    Q_OBJECT
    FakeSurface surface;
    remote::OscControl control{surface};
    remote::OscFeedback feedback{surface};
    QUdpSocket sender; // the test's own OSC, for what no proper tool would send

    void send(const QByteArray& datagram)
    {
        sender.writeDatagram(datagram, QHostAddress::LocalHost, control.port());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(control.listen({QHostAddress(QHostAddress::LocalHost), 0}));
        connect(&control, &remote::OscControl::stateRequested, &feedback, &remote::OscFeedback::sendState);
        sender.bind(QHostAddress::LocalHost, 0);
    }
    void cleanup() { surface.changed = [] {}; } // nothing outlives the test that hooked it

    // oscsend fires, previews, moves the cue and clears; oscdump hears the tally, and a
    // recording server Companion's variables.
    void aControlSurfaceRunsTheShow()
    {
#ifdef Q_OS_WIN
        QSKIP("liblo's oscsend and oscdump are the build machine's programs, not Windows ones");
#endif
        QProcess dump;
        const quint16 dumpPort = freeUdpPort();
        dump.start(tool("oscdump"), {QStringLiteral("-L"), QString::number(dumpPort)});
        QVERIFY(dump.waitForStarted());
        QByteArray heard;
        const auto hear = [&] { heard += dump.readAllStandardOutput(); return heard; };
        QTRY_VERIFY_WITH_TIMEOUT((sender.writeDatagram(message("/ready"), QHostAddress::LocalHost, dumpPort),
                                  hear().contains("/ready")), 10000);
        feedback.addTarget({QHostAddress(QHostAddress::LocalHost), dumpPort});

        HttpRecorder companion;
        remote::Companion variables(surface, QUrl(companion.url()));
        surface.changed = [&] { feedback.changed(); variables.changed(); };
        QSignalSpy acted(&control, &remote::OscControl::acted);

        surface.changed(); // the start: everything once
        QTRY_VERIFY(hear().contains("/plintor/entries i 3"));
        QVERIFY(heard.contains("/plintor/entry/3/step/1/onair i 0"));
        QVERIFY(heard.contains("/plintor/cue ii 1 1"));
        QTRY_COMPARE(companion.requests.size(), 9);
        QCOMPARE(companion.bodiesTo("/api/custom-variable/plintor_cue_title/value"), QList<QByteArray>{"Headline"});
        QCOMPARE(companion.bodiesTo("/api/custom-variable/plintor_link/value"), QList<QByteArray>{"connected"});
        QCOMPARE(companion.bodiesTo("/api/custom-variable/plintor_onair_2/value?value="), QList<QByteArray>{""});
        QCOMPARE(companion.requests.first().method, QByteArray("POST"));

        const QString port = QString::number(control.port());
        const auto oscsend = [&](QStringList arguments) {
            QProcess tool_;
            tool_.start(tool("oscsend"), QStringList{QStringLiteral("127.0.0.1"), port} + arguments);
            return tool_.waitForFinished(10000) && tool_.exitCode() == 0;
        };
        const struct {
            QStringList osc;
            QString call; // what the running order was asked
        } presses[] = {
            {{"/plintor/cue/goto", "ii", "2", "1"}, "goto 2 1"},
            {{"/plintor/cue/right"}, "move 3"},
            {{"/plintor/cue/fire", "i", "1"}, "fire 2 2"},
            {{"/plintor/cue/fire", "i", "0"}, ""}, // the button's release
            {{"/plintor/entry/1/step/1/preview", "f", "1.0"}, "fire 1 1 preview"},
            {{"/plintor/entry/3/step/1/fire", "T"}, "fire 3 1"},
            {{"/plintor/cue/up"}, "move 0"},
            {{"/plintor/cue/clear/preview"}, "clear preview"},
            {{"/plintor/channel/2/clear", "F"}, ""},
            {{"/plintor/channel/2/clear"}, "clear channel 2"},
        };
        QStringList expected;
        for (const auto& press : presses) {
            QVERIFY(oscsend(press.osc));
            if (!press.call.isEmpty())
                expected += press.call;
            QTRY_COMPARE(surface.calls, expected);
        }
        QVERIFY(acted.first().first().toString().startsWith("Remote: cue 2 Play from 127.0.0.1:"));
        QVERIFY(acted.at(2).first().toString().startsWith("Remote: fire 2 Next from 127.0.0.1:"));
        QCOMPARE(control.ignoredCount(), 0);

        // Each change once, in order: on air, then off again with the channel's clear.
        QTRY_COMPARE(hear().count("/plintor/entry/3/step/1/onair i 0"), 2);
        const QList<QByteArray> lines = heard.split('\n');
        QStringList tallyOf22;
        for (const QByteArray& line : lines)
            if (line.contains("/plintor/entry/2/step/2/onair"))
                tallyOf22 += QString::fromLatin1(line.mid(line.indexOf(' ') + 1));
        QCOMPARE(tallyOf22, (QStringList{"/plintor/entry/2/step/2/onair i 0", "/plintor/entry/2/step/2/onair i 1",
                                         "/plintor/entry/2/step/2/onair i 0"}));
        QVERIFY(heard.contains("/plintor/entry/1/step/1/preview i 1"));
        QVERIFY(heard.contains("/plintor/cue ii 2 2"));
        QVERIFY(heard.contains("/plintor/cue/title s \"Weather\""));
        QVERIFY(heard.contains("/plintor/cue/step s \"Next\""));

        QTRY_COMPARE(companion.bodiesTo("/api/custom-variable/plintor_onair_2/value"),
                     (QList<QByteArray>{"Weather", "Score"}));
        QTRY_COMPARE(companion.bodiesTo("/api/custom-variable/plintor_onair_2/value?value=").size(), 2); // start, clear
        QTRY_COMPARE(companion.bodiesTo("/api/custom-variable/plintor_cue_entry/value"), (QList<QByteArray>{"1", "2", "1"}));

        QTRY_VERIFY(hear().contains("/plintor/onair/2 s \"Score\""));

        // The state, asked for: all of it again, titles and names included, to the targets only;
        // the asker, no target, gets nothing back. The heartbeat goes on meanwhile.
        QUdpSocket asker;
        QVERIFY(asker.bind(QHostAddress::LocalHost, 0));
        heard.clear();
        asker.writeDatagram(message("/plintor/state"), QHostAddress::LocalHost, control.port());
        QTRY_VERIFY(hear().contains("/plintor/entries i 3"));
        QCOMPARE(heard.count("/onair i"), 5);
        QVERIFY(heard.contains("/plintor/entry/2/title s \"Weather\""));
        QVERIFY(heard.contains("/plintor/entry/2/step/2/name s \"Next\""));
        QVERIFY(heard.contains("/plintor/onair/1 s \"\""));
        QTRY_VERIFY_WITH_TIMEOUT(hear().contains("/plintor/alive i 1"), 3000);
        QVERIFY(!asker.hasPendingDatagrams() && !asker.waitForReadyRead(100));

        dump.kill();
        dump.waitForFinished();
    }

    // Garbage, oversized and nested datagrams and addresses the surface does not have change
    // nothing; each is dropped or ignored and counted, the ignored ones said.
    void whatIsNotAnActionChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QString>("said"); // empty: dropped unread
        const QByteArray fire = message("/plintor/cue/fire");
        QTest::newRow("garbage") << QByteArray("\x00\xff garbage \x01", 13) << "";
        QTest::newRow("oversized") << message("/plintor/cue/fire", {remote::osc::Argument::string(QByteArray(1100, 'x'))})
                                   << "";
        QTest::newRow("nested bundle") << QByteArray("#bundle\0", 8) + QByteArray(8, '\0') + QByteArray("\0\0\0\x10", 4) +
                                              QByteArray("#bundle\0", 8) + QByteArray(8, '\0')
                                       << "";
        QTest::newRow("unknown address") << message("/plintor/cue/jump") << "unknown address";
        QTest::newRow("another program's") << message("/live/play") << "unknown address";
        QTest::newRow("a string") << message("/plintor/cue/fire", {remote::osc::Argument::string("go")})
                                  << "wrong arguments";
        QTest::newRow("goto without entry") << message("/plintor/cue/goto") << "wrong arguments";
        QTest::newRow("no such entry") << message("/plintor/entry/4/step/1/fire") << "no such entry or step";
        QTest::newRow("no such step") << message("/plintor/entry/1/step/3/preview") << "no such entry or step";
        QTest::newRow("entry 0") << message("/plintor/entry/0/step/1/fire") << "no such entry or step";
        QTest::newRow("entry 01") << message("/plintor/entry/01/step/1/fire") << "no such entry or step";
        QTest::newRow("goto past the end") << message("/plintor/cue/goto", {remote::osc::Argument::int32(9)})
                                           << "no such entry or step";
        QTest::newRow("channel 5") << message("/plintor/channel/5/clear") << "no such channel";
        QTest::newRow("control characters shown as ?") << message("/plintor/\x1b[2J") << "unknown address";
    }
    void whatIsNotAnActionChangesNothing()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(QString, said);
        const remote::Tally before = surface.tally();
        const QStringList calls = surface.calls;
        const int ignored = control.ignoredCount();
        const int dropped = control.droppedCount();
        QSignalSpy told(&control, &remote::OscControl::ignored);
        send(datagram);
        if (said.isEmpty()) {
            QTRY_COMPARE(control.droppedCount(), dropped + 1);
            QCOMPARE(told.size(), 0);
        } else {
            QTRY_COMPARE(told.size(), 1);
            QCOMPARE(control.ignoredCount(), ignored + 1);
            const QString text = told.first().first().toString();
            QVERIFY2(text.startsWith("Remote: ignored /") && text.endsWith("(" + said + ")"), qPrintable(text));
            QVERIFY(!text.contains(QLatin1Char('\x1b')));
        }
        QCOMPARE(surface.calls, calls);
        QCOMPARE(surface.tally(), before);
    }

    // Any number where a number is meant: reals rounded to the nearest whole, as surfaces that
    // send only reals say 5.0 for 5; what is not a number is said and changes nothing.
    void aNumberIsANumber_data()
    {
        QTest::addColumn<QStringList>("osc");
        QTest::addColumn<QString>("outcome"); // the call, or why it was ignored, or "" for a release
        QTest::newRow("f") << QStringList{"/plintor/cue/goto", "f", "2.0"} << "goto 2 1";
        QTest::newRow("f i, generic-osc's multiple arguments") << QStringList{"/plintor/cue/goto", "fi", "3.0", "1"}
                                                               << "goto 3 1";
        QTest::newRow("h d, rounded") << QStringList{"/plintor/cue/goto", "hd", "1", "1.5"} << "goto 1 2";
        QTest::newRow("d, rounded down") << QStringList{"/plintor/cue/goto", "d", "2.4"} << "goto 2 1";
        QTest::newRow("NaN") << QStringList{"/plintor/cue/goto", "f", "nan"} << "wrong arguments";
        QTest::newRow("infinity") << QStringList{"/plintor/cue/goto", "di", "inf", "1"} << "wrong arguments";
        QTest::newRow("past any int") << QStringList{"/plintor/cue/goto", "h", "4294967297"} << "wrong arguments";
        QTest::newRow("press as h") << QStringList{"/plintor/entry/2/step/1/preview", "h", "1"} << "fire 2 1 preview";
        QTest::newRow("press as d") << QStringList{"/plintor/entry/1/step/2/fire", "d", "1.0"} << "fire 1 2";
        QTest::newRow("release as f") << QStringList{"/plintor/cue/fire", "f", "0.0"} << "";
        QTest::newRow("press as NaN") << QStringList{"/plintor/cue/fire", "f", "nan"} << "wrong arguments";
    }
    void aNumberIsANumber()
    {
#ifdef Q_OS_WIN
        QSKIP("liblo's oscsend is the build machine's program, not a Windows one");
#endif
        QFETCH(QStringList, osc);
        QFETCH(QString, outcome);
        const QStringList calls = surface.calls;
        QSignalSpy told(&control, &remote::OscControl::ignored);
        QSignalSpy acted(&control, &remote::OscControl::acted);
        QProcess send;
        send.start(tool("oscsend"), QStringList{QStringLiteral("127.0.0.1"), QString::number(control.port())} + osc);
        QVERIFY(send.waitForFinished(10000) && send.exitCode() == 0);
        if (outcome.isEmpty() || outcome == "wrong arguments") {
            send.start(tool("oscsend"), {QStringLiteral("127.0.0.1"), QString::number(control.port()), "/plintor/cue/end"});
            QVERIFY(send.waitForFinished(10000));
            QTRY_COMPARE(acted.size(), 1); // the message after it has been read, so it has too
            QCOMPARE(surface.calls.mid(calls.size()), QStringList{"move 5"});
            QCOMPARE(told.size(), outcome.isEmpty() ? 0 : 1);
            if (!outcome.isEmpty())
                QVERIFY(told.first().first().toString().endsWith("(wrong arguments)"));
            return;
        }
        QTRY_COMPARE(surface.calls.mid(calls.size()), QStringList{outcome});
        QCOMPARE(told.size(), 0);
    }

    // However much comes, and however fast, control is never deaf: one sender's 50 messages a
    // second act, the rest are dropped, and the next press from another sender acts.
    void neverDeaf_data()
    {
        QTest::addColumn<int>("messages");
        QTest::newRow("a burst of 10,000") << 10000;
        QTest::newRow("a flood at full speed") << 100000;
    }
    void neverDeaf()
    {
#ifdef Q_OS_WIN
        QSKIP("liblo's oscsendfile is the build machine's program, not a Windows one");
#endif
        QFETCH(int, messages);
        QTemporaryFile file;
        QVERIFY(file.open());
        // oscsendfile bundles the lines that share a time; a second apart, played a hundred
        // million times faster, each goes in a datagram of its own at once.
        for (quint32 i = 0; i < quint32(messages); ++i)
            file.write(QByteArray::number(0x80000000u + i, 16) + ".00000000 /plintor/cue/right\n");
        file.close();
        QTest::qWait(1000); // the last test's sender windows have passed
        const qsizetype before = surface.calls.size();
        const int dropped = control.droppedCount();
        QElapsedTimer took;
        took.start();
        QProcess flood;
        flood.start(tool("oscsendfile"),
                    {QStringLiteral("127.0.0.1"), QString::number(control.port()), file.fileName(), "100000000"});
        QTRY_VERIFY_WITH_TIMEOUT(flood.state() == QProcess::NotRunning, 60000); // read all along
        QCOMPARE(flood.exitCode(), 0);
        QTRY_VERIFY(control.droppedCount() > dropped + 100);
        // The kernel drops what it cannot hold, the control what is over the sender's rate.
        const qsizetype flooded = surface.calls.size() - before;
        const qint64 windows = took.elapsed() / 1000 + 1;
        QVERIFY2(flooded > 0 && flooded <= windows * remote::OscControl::kMaxPerSecond,
                 qPrintable(QStringLiteral("%1 in %2 ms").arg(flooded).arg(took.elapsed())));

        QProcess send;
        send.start(tool("oscsend"), {QStringLiteral("127.0.0.1"), QString::number(control.port()), "/plintor/cue/fire"});
        QVERIFY(send.waitForFinished(10000));
        QTRY_VERIFY(surface.calls.constLast().startsWith(QStringLiteral("fire ")));
    }

    // A flood from one sender: 50 of its messages a second act, the rest are dropped, and
    // another sender is heard at once.
    void aFloodIsCut()
    {
        const qsizetype before = surface.calls.size();
        const int dropped = control.droppedCount();
        QByteArray bundle = QByteArray("#bundle\0", 8) + QByteArray(8, '\0');
        const QByteArray right = message("/plintor/cue/right");
        for (int i = 0; i < 8; ++i)
            bundle += QByteArray("\0\0\0", 3) + char(right.size()) + right;
        QUdpSocket flood;
        flood.bind(QHostAddress::LocalHost, 0);
        for (int i = 0; i < 40; ++i)
            flood.writeDatagram(bundle, QHostAddress::LocalHost, control.port());
        QTRY_COMPARE(int(surface.calls.size() - before) + control.droppedCount() - dropped, 320);
        QCOMPARE(surface.calls.size() - before, remote::OscControl::kMaxPerSecond);

        send(message("/plintor/cue/home"));
        QTRY_COMPARE(surface.calls.last(), QStringLiteral("move 4"));
    }

    void badRemoteOptionsEndTheProgram_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("value");
        QTest::newRow("listen port") << "--osc-listen" << "99999";
        QTest::newRow("listen name") << "--osc-listen" << "studio:9000";
        QTest::newRow("feedback without port") << "--osc-feedback" << "127.0.0.1";
        QTest::newRow("companion not http") << "--companion" << "ftp://127.0.0.1";
        QTest::newRow("companion without host") << "--companion" << "http://";
    }
    void badRemoteOptionsEndTheProgram()
    {
        QFETCH(QString, option);
        QFETCH(QString, value);
        QProcess plintor;
        plintor.start(QStringLiteral(PLINTOR_EXE), {option, value});
        QVERIFY(plintor.waitForFinished(20000));
        QCOMPARE(plintor.exitCode(), 2);
        QVERIFY(plintor.readAllStandardError().contains(QString(option + " \"" + value + "\" is not").toUtf8()));
    }

    // Companion slow: one request per variable in flight, and only the latest text waits.
    void companionIsNeverQueuedFor()
    {
        surface.gotoCue(1, 2);
        HttpRecorder companion;
        remote::Companion variables(surface, QUrl(companion.url()));
        variables.changed();
        QTRY_COMPARE(companion.requests.size(), 9);
        const QByteArray title = "/api/custom-variable/plintor_cue_title/value";
        companion.holding = true;
        for (const int entry : {2, 3, 1}) {
            surface.gotoCue(entry, 1);
            variables.changed();
        }
        QTRY_COMPARE(companion.requests.size(), 9 + 3); // title, step and entry of the first move
        QTest::qWait(100);
        QCOMPARE(companion.requests.size(), 9 + 3);
        companion.release();
        QTRY_COMPARE(companion.bodiesTo(title), (QList<QByteArray>{"Headline", "Weather", "Headline"}));
        QTRY_COMPARE(companion.bodiesTo("/api/custom-variable/plintor_cue_entry/value"),
                     (QList<QByteArray>{"1", "2", "1"}));
        QTest::qWait(100);
        QCOMPARE(companion.requests.size(), 9 + 3 + 2); // the step's name ended where it was
    }

    // Companion down: said once, however many variables and changes fail.
    void companionDownIsSaidOnceAndRetried()
    {
        const QString port = refusedPort();
        remote::Companion variables(surface, QUrl("http://127.0.0.1:" + port));
        QSignalSpy failed(&variables, &remote::Companion::failed);
        variables.changed();
        QTRY_COMPARE(failed.size(), 1);
        QVERIFY2(failed.first().first().toString().startsWith("Companion: plintor_"), qPrintable(failed.first().first().toString()));
        surface.gotoCue(2, 2);
        variables.changed();
        QTest::qWait(200);
        QCOMPARE(failed.size(), 1);

        // Back, it is found by itself and given every variable, once; and all of them again at a
        // state request, since a restarted Companion keeps none.
        HttpRecorder companion(port.toUShort());
        QVERIFY(companion.server.isListening());
        const auto variablesSet = [&] {
            QSet<QByteArray> targets;
            for (const HttpRecorder::Request& r : companion.requests)
                targets.insert(r.target);
            return targets.size();
        };
        QTRY_COMPARE_WITH_TIMEOUT(variablesSet(), 9, 3 * remote::Companion::kRetryMs);
        QCOMPARE(companion.bodiesTo("/api/custom-variable/plintor_cue_step/value"), QList<QByteArray>{"Next"});
        QTest::qWait(100);
        const qsizetype once = companion.requests.size();
        variables.resendAll();
        QTRY_COMPARE(companion.requests.size(), once + 9);
    }
};

QTEST_GUILESS_MAIN(TestRemote)
#include "tst_remote.moc"
