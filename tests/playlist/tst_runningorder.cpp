// What each cell of the running order shows, from the lines that went out, the clears and the
// server's answers, with no window: the marks are what the server shows.
#include <QMap>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include "playlist/engine.h"
#include "playlist/runningorder.h"
#include "recorder.h"

using playlist::Mark;
using playlist::RunningOrder;

namespace {
// The entries every script starts from, three steps each: the lower third (1-20), the score
// (2-20), the logo (1-30), another lower third (1-20).
RunningOrder::Entry entry(const char* file, short channel, short layer)
{
    RunningOrder::Entry e;
    e.file = QString::fromLatin1(file);
    e.channel = channel;
    e.layer = layer;
    e.steps = {"Play", "Update", "Out"};
    return e;
}

playlist::Target target(const QString& text)
{
    const QStringList parts = text.split('-');
    return {parts[0].toShort(), parts.value(1).toShort()};
}

char letter(Mark m)
{
    switch (m) {
    case Mark::OnAir: return 'A';
    case Mark::OnPreview: return 'P';
    case Mark::Cleared: return 'C';
    case Mark::Refused: return 'R';
    case Mark::None: break;
    }
    return '.';
}

// Every entry's cells, one letter a step, entries apart; then "|" and the striped entries' numbers.
QString shown(const RunningOrder& order)
{
    QStringList entries;
    QString striped;
    for (int i = 0; i < order.size(); ++i) {
        QString cells;
        for (int s = 0; s < 3; ++s)
            cells += QLatin1Char(letter(order.mark(i, s)));
        entries << cells;
        if (order.entry(i).striped)
            striped += QString::number(i);
    }
    return entries.join(' ') + " |" + striped;
}
} // namespace

class TestRunningOrder : public QObject {
    Q_OBJECT
private slots:
    // A script of "command => cells after it". Lines, each the next ticket: "line E S CH-L" (step
    // S of entry E), "editor CH-L", "clear CH-L", "clear CH". Answers: "accept N", "refuse N"
    // (N 0: an answer not tied to its line), "settle". Editing: "add" (from the tree, on 1-20),
    // "move A B", "remove E". A cell on its entry's own channel shows on air (A), elsewhere on
    // preview (P); C cleared, R refused.
    void marksAreTheServersState_data()
    {
        QTest::addColumn<QStringList>("script");
        using L = QStringList;
        // The five ways the marks once parted from what was on air.
        QTest::newRow("a refused clear clears nothing")
            << L{"line 0 0 1-20", "line 2 0 1-30", "line 1 0 2-20 => A.. A.. A.. ...", "clear 1-20 => C.. A.. A.. ...",
                 "refuse 4 => A.. A.. A.. ...", "clear 1 => ... A.. ... ...", "refuse 5 => A.. A.. A.. ..."};
        QTest::newRow("a refused line leaves its target's occupant on air")
            << L{"line 0 0 1-20 => A.. ... ... ...", "line 3 0 1-20 => ... ... ... A..", "refuse 2 => A.. ... ... R..",
                 "line 3 1 1-20 => ... ... ... .A.", "refuse 3 => A.. ... ... RR."};
        QTest::newRow("the editor's line takes off what showed at its target")
            << L{"line 0 0 1-20", "line 2 0 1-30 => A.. ... A.. ...", "editor 1-20 => ... ... A.. ...",
                 "refuse 3 => A.. ... A.. ...", "editor 1-30 => A.. ... ... ...", "clear 1-30 => A.. ... ... ..."};
        QTest::newRow("one cell on air and on preview shows on air")
            << L{"line 2 0 1-30", "line 2 0 2-30 => ... ... A.. ...", "clear 1-30 => ... ... P.. ...",
                 "clear 2-30 => ... ... C.. ...", "line 2 0 2-30", "refuse 5 => ... ... R.. ...",
                 "line 2 0 1-30 => ... ... A.. ..."};
        QTest::newRow("on its own channel, whichever button sent it, it is on air")
            << L{"line 1 0 2-20 => ... A.. ... ...", "line 0 0 2-20 => P.. ... ... ...", "line 0 1 1-20 => PA. ... ... ..."};
        // Answers late, out of order, untied, settled.
        QTest::newRow("a refusal after later lines to its target changes only what it must")
            << L{"line 0 0 1-20", "line 3 0 1-20", "line 0 1 1-20 => .A. ... ... ...", "refuse 2 => .A. ... ... ...",
                 "refuse 3 => AR. ... ... R..", "refuse 1 => RR. ... ... R.."};
        QTest::newRow("a late refusal of a clear puts back what it cleared")
            << L{"line 0 0 1-20", "line 1 0 2-20", "clear 1-20", "clear 2", "line 2 0 1-30 => C.. ... A.. ...",
                 "refuse 4 => C.. A.. A.. ...", "refuse 3 => A.. A.. A.. ..."};
        QTest::newRow("only a tied refusal of a line in flight counts")
            << L{"line 0 0 1-20", "refuse 0 => A.. ... ... ...", "accept 1", "refuse 1 => A.. ... ... ...",
                 "line 3 0 1-20", "settle", "refuse 2 => ... ... ... A..", "refuse 9 => ... ... ... A.."};
        // Clears.
        QTest::newRow("a layer clear greys what showed there, and a refusal there comes off")
            << L{"line 0 0 2-20", "line 2 0 1-30 => P.. ... A.. ...", "clear 2-20 => C.. ... A.. ...",
                 "clear 1-20 => C.. ... A.. ...", "line 3 1 1-20", "refuse 5 => C.. ... A.. .R.",
                 "clear 1-20 => C.. ... A.. ...", "clear 1-30 => C.. ... C.. ..."};
        QTest::newRow("a channel clear takes off every mark of lines that went there")
            << L{"line 0 0 2-20", "line 2 0 1-30", "line 2 1 1-30", "clear 1-30", "line 3 2 1-20", "refuse 5 => P.. ... .C. ..R",
                 "clear 1 => P.. ... ... ... |0123", "clear 2 => ... ... ... ..."};
        QTest::newRow("update after play on the same layer")
            << L{"line 0 0 1-20 => A.. ... ... ...", "line 0 1 1-20 => .A. ... ... ...", "line 3 2 1-20 => ... ... ... ..A"};
        // Stripes, and marks that follow their entries.
        QTest::newRow("added from the tree: grey until fired, plain after a line on air at its layer")
            << L{"add => ... ... ... ... CCC |0123", "line 4 1 1-20 => ... ... ... ... .A. |0123", "add => ... ... ... ... .A. CCC |0123",
                 "line 0 0 2-20 => P.. ... ... ... .A. CCC |0123", "editor 1-20 => P.. ... ... ... ... ... |012345"};
        QTest::newRow("marks go with their entries when they move, and stay on the air when removed")
            << L{"line 0 0 1-20 => A.. ... ... ...", "move 0 2 => ... ... A.. ...", "remove 2 => ... ... ...",
                 "line 0 1 3-20 => .P. ... ...", "clear 2-20 => .P. ... ...", "clear 2 => .P. ... ...", "clear 3 => ... ... ..."};
    }
    void marksAreTheServersState()
    {
        QFETCH(QStringList, script);
        RunningOrder order;
        order.load({entry("third_a.ftd", 1, 20), entry("score_s.ftd", 2, 20), entry("logo_l.ftd", 1, 30),
                    entry("third_b.ftd", 1, 20)});
        quint64 ticket = 0;
        for (const QString& step : script) {
            const QStringList parts = step.section(" => ", 0, 0).split(' ');
            const QString& verb = parts[0];
            if (verb == "line")
                order.sent(parts[1].toInt(), parts[2].toInt(), target(parts[3]), ++ticket);
            else if (verb == "editor")
                order.sent(RunningOrder::kEditor, 0, target(parts[1]), ++ticket);
            else if (verb == "clear" && parts[1].contains('-'))
                order.clearedLayer(target(parts[1]), ++ticket);
            else if (verb == "clear")
                order.clearedChannel(parts[1].toShort(), ++ticket);
            else if (verb == "accept")
                order.accepted(parts[1].toULongLong());
            else if (verb == "refuse")
                order.refused(parts[1].toULongLong());
            else if (verb == "settle")
                order.settle();
            else if (verb == "add")
                order.append(entry("third_c.ftd", 1, 20), true);
            else if (verb == "move")
                order.move(parts[1].toInt(), parts[2].toInt());
            else if (verb == "remove")
                order.remove(parts[1].toInt());
            if (!step.contains(" => "))
                continue;
            const QString expected = step.section(" => ", 1);
            const QString now = shown(order);
            QVERIFY2(expected.contains('|') ? now == expected : now.section(" |", 0, 0) == expected,
                     qPrintable(step + " gave " + now));
        }
    }

    // A seeded operator fires, previews, clears and uses the editor against a server that refuses
    // some lines and answers each before the next goes out, or several at once: whenever every
    // answer is in, a cell is on air exactly when the server shows it on its own channel, and
    // on preview only when the server shows it elsewhere.
    void aRandomOperatorSeesTheServersState()
    {
        QRandomGenerator random(20261210);
        RunningOrder order;
        order.load({entry("third_a.ftd", 1, 20), entry("score_s.ftd", 2, 20), entry("logo_l.ftd", 1, 30),
                    entry("third_b.ftd", 1, 20)});
        struct Sent {
            int entry, step;
            playlist::Target target;
            int kind; // 0 a line, 1 a layer clear, 2 a channel clear
        };
        QList<Sent> inFlight;
        quint64 ticket = 0, answered = 0;
        QMap<QPair<short, short>, QPair<int, int>> server; // what each layer shows; entry -1 the editor
        const auto carryOut = [&](const Sent& l) {
            if (l.kind == 0)
                server[{l.target.channel, l.target.layer}] = {l.entry, l.step};
            else if (l.kind == 1)
                server.remove({l.target.channel, l.target.layer});
            else
                server.removeIf([&](auto it) { return it.key().first == l.target.channel; });
        };
        for (int action = 0; action < 3000; ++action) {
            const int e = random.bounded(4), s = random.bounded(3);
            const short own = order.entry(e).channel, layer = order.entry(e).layer;
            const short preview = short(1 + random.bounded(4));
            Sent l{e, s, {own, layer}, 0};
            switch (random.bounded(10)) {
            case 0: l.kind = 2, l.target = {preview, 0}; break;
            case 1: l.kind = 1; break;
            case 2: l.kind = 1, l.target.channel = preview; break;
            case 3: l.entry = RunningOrder::kEditor, l.step = 0; break;
            case 4:
            case 5: l.target.channel = preview; break;
            default: break;
            }
            ++ticket;
            if (l.kind == 0)
                order.sent(l.entry, l.step, l.target, ticket);
            else if (l.kind == 1)
                order.clearedLayer(l.target, ticket);
            else
                order.clearedChannel(l.target.channel, ticket);
            inFlight.append(l);
            if (random.bounded(3) != 0)
                continue;
            // The server answers everything in flight, in order, refusing one line in four.
            for (const Sent& done : std::as_const(inFlight)) {
                ++answered;
                if (random.bounded(4) == 0) {
                    order.refused(answered);
                } else {
                    carryOut(done);
                    order.accepted(answered);
                }
            }
            inFlight.clear();
            for (int i = 0; i < order.size(); ++i) {
                for (int st = 0; st < 3; ++st) {
                    bool onOwn = false, elsewhere = false;
                    for (auto it = server.cbegin(); it != server.cend(); ++it) {
                        if (it.value() != qMakePair(i, st))
                            continue;
                        (it.key().first == order.entry(i).channel ? onOwn : elsewhere) = true;
                    }
                    const Mark m = order.mark(i, st);
                    const bool agrees = onOwn ? m == Mark::OnAir
                                        : elsewhere ? m == Mark::OnPreview || m == Mark::Refused
                                                    : m != Mark::OnAir && m != Mark::OnPreview;
                    QVERIFY2(agrees, qPrintable(QStringLiteral("action %1: entry %2 step %3 shows %4")
                                                    .arg(action).arg(i).arg(st).arg(letter(m))));
                }
            }
            QCOMPARE(order.linesInFlight(), 0);
        }
    }

    // The engine over a real link: with the link down nothing goes out and nothing changes; a
    // refusal tied to its line undoes it, one that cannot be tied changes no mark.
    void theEngineMarksWhatTheAnswersSay()
    {
        project::State s;
        RunningOrder order;
        order.load({entry("third_a.ftd", 1, 20), entry("score_s.ftd", 2, 20), entry("logo_l.ftd", 1, 30),
                    entry("third_b.ftd", 1, 20)});
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        playlist::Engine engine(s, order, link);
        Recorder r;
        QByteArray refused = "#";
        r.answer = [&](const QByteArray& line) -> QByteArray {
            if (line.contains(refused))
                return line.startsWith("CLEAR") ? "503 CLEAR FAILED\r\n" : "404 CG ADD FAILED\r\n";
            return "202 " + line.left(line.indexOf(' ')) + " OK\r\n";
        };
        const auto line = [](const char* where, const char* what) { return QByteArray("CG ") + where + " ADD 1 \"" + what + "\"\r\n"; };

        QVERIFY(!engine.send(0, 0, engine.target(0), line("1-20", "a")));
        QVERIFY(!engine.clearChannel(1) && !engine.clearLayer({1, 20}));
        QCOMPARE(shown(order), QString("... ... ... ... |0123"));
        link.Connect(QStringLiteral("127.0.0.1"), r.port());
        QTRY_VERIFY(engine.linkUp());
        QCOMPARE(engine.target(1, 3), (playlist::Target{3, 20}));
        QVERIFY(!engine.send(0, 0, engine.target(0), QByteArray())); // nothing to send
        const auto answered = [&] { QTRY_COMPARE(link.linesInFlight(), 0); };

        QVERIFY(engine.send(0, 0, engine.target(0), line("1-20", "a")));
        answered();
        refused = "\"b\"";
        QVERIFY(engine.send(3, 0, engine.target(3), line("1-20", "b")));
        answered();
        QTRY_COMPARE(shown(order), QString("A.. ... ... R.. |0123"));
        // Two lines of one word in flight: neither answer can be tied, so the refusal marks nothing.
        refused = "\"d\"";
        QVERIFY(engine.send(2, 0, engine.target(2), line("1-30", "c")));
        QVERIFY(engine.send(1, 0, engine.target(1), line("2-20", "d")));
        answered();
        QCOMPARE(shown(order), QString("A.. A.. A.. R.. |0123"));
        refused = "CLEAR";
        QVERIFY(engine.clearLayer(engine.target(0)));
        answered();
        QCOMPARE(shown(order), QString("A.. A.. A.. R.. |0123"));
        QVERIFY(r.all().endsWith("CLEAR 1-20\r\n"));
        refused = "#";
        QVERIFY(engine.clearChannel(1));
        answered();
        QCOMPARE(shown(order), QString("... A.. ... ... |0123"));
    }

    // The cue goes with its entry and leaves with it; every change is announced.
    void theCueFollowsItsEntry()
    {
        RunningOrder order;
        order.load({entry("a.ftd", 1, 1), entry("b.ftd", 1, 2), entry("c.ftd", 1, 3)});
        QSignalSpy cues(&order, &RunningOrder::cueChanged);
        QSignalSpy marks(&order, &RunningOrder::marksChanged);
        order.setCue(1, 2);
        QCOMPARE(order.cue(), (RunningOrder::Cue{1, 2}));
        QVERIFY(order.isCue(1, 2) && !order.isCue(1, 1) && !order.isCue(0, 2));
        order.move(1, 2);
        QCOMPARE(order.cue(), (RunningOrder::Cue{2, 2}));
        order.setCue(2, 2); // no change, no news
        QCOMPARE(cues.size(), 1);
        order.sent(0, 0, {1, 1}, 1);
        order.sent(2, 0, {1, 1}, 2); // takes entry 0's mark off: both change
        QCOMPARE(marks.size(), 3);
        order.remove(2);
        QCOMPARE(order.cue(), RunningOrder::Cue());
        QCOMPARE(cues.size(), 2);
        order.setCue(7, 0);
        QCOMPARE(order.cue(), RunningOrder::Cue());
        QVERIFY(order.isLoaded());
        order.unload();
        QVERIFY(!order.isLoaded() && order.size() == 0 && order.shown().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRunningOrder)
#include "tst_runningorder.moc"
