// What each cell of the running order shows, from the lines that went out and the clears, with
// no window: a mark follows where its line went.
#include <QSignalSpy>
#include <QTest>

#include "playlist/runningorder.h"

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
    // A script of "command => cells after it". Commands: "air E S CH-L" and "preview E S CH-L"
    // (the n-th of them is ticket n), "clear CH-L", "clear CH", "refuse N", "add" (from the tree,
    // on 1-20), "move A B", "remove E".
    void marksFollowWhereTheirLineWent_data()
    {
        QTest::addColumn<QStringList>("script");
        using L = QStringList;
        QTest::newRow("a preview replaced on air by another entry comes off")
            << L{"preview 0 0 2-20 => P.. ... ... ... |0123", "air 1 0 2-20 => ... A.. ... ... |0123"};
        QTest::newRow("an on-air line elsewhere leaves a preview alone")
            << L{"preview 0 0 2-20 => P.. ... ... ...", "air 3 0 1-20 => P.. ... ... A.."};
        QTest::newRow("two previews to one preview layer: the last shows")
            << L{"preview 0 0 2-20 => P.. ... ... ...", "preview 3 0 2-20 => ... ... ... P.."};
        QTest::newRow("a layer clear greys whatever went there, preview or not")
            << L{"preview 0 0 2-20 => P.. ... ... ...", "air 2 0 1-30 => P.. ... A.. ...",
                 "clear 2-20 => C.. ... A.. ...", "clear 1-20 => C.. ... A.. ...", "clear 1-30 => C.. ... C.. ..."};
        QTest::newRow("a channel clear takes off only what went to that channel")
            << L{"preview 0 0 2-20 => P.. ... ... ...", "air 2 0 1-30 => P.. ... A.. ...",
                 "clear 1 => P.. ... ... ... |0123", "clear 2 => ... ... ... ..."};
        QTest::newRow("one entry on air and on preview at once")
            << L{"air 2 0 1-30 => ... ... A.. ...", "preview 2 1 2-30 => ... ... AP. ...",
                 "preview 2 0 2-30 => ... ... P.. ...", "clear 2-30 => ... ... A.. ...", "clear 1-30 => ... ... C.. ..."};
        QTest::newRow("update after play on the same layer")
            << L{"air 0 0 1-20 => A.. ... ... ...", "air 0 1 1-20 => .A. ... ... ...", "air 3 2 1-20 => ... ... ... ..A"};
        QTest::newRow("a refusal stays until its layer gets a line or is cleared")
            << L{"air 0 0 1-20 => A.. ... ... ...", "preview 1 0 2-20 => A.. P.. ... ...",
                 "refuse 1 => R.. P.. ... ...", "refuse 1 => R.. P.. ... ...", "preview 0 1 2-20 => RP. ... ... ...",
                 "air 3 1 1-20 => .P. ... ... .A.", "refuse 4 => .P. ... ... .R.", "clear 1-20 => .P. ... ... .C.",
                 "refuse 3 => .R. ... ... .C."};
        QTest::newRow("a refusal of a line replaced since marks nothing")
            << L{"air 0 0 1-20 => A.. ... ... ...", "air 3 0 1-20 => ... ... ... A..", "refuse 1 => ... ... ... A.."};
        QTest::newRow("added from the tree: grey until fired, plain after its channel's clear")
            << L{"add => ... ... ... ... CCC |0123", "air 4 1 1-20 => ... ... ... ... .A. |0123", "add => ... ... ... ... .A. CCC |0123",
                 "clear 1 => ... ... ... ... ... ... |012345"};
        QTest::newRow("marks go with their entries when they move, and stay on the air when removed")
            << L{"air 0 0 1-20 => A.. ... ... ...", "move 0 2 => ... ... A.. ...", "remove 2 => ... ... ...",
                 "preview 0 1 2-20 => .P. ... ...", "clear 1-20 => .P. ... ...", "clear 1 => .P. ... ..."};
    }
    void marksFollowWhereTheirLineWent()
    {
        QFETCH(QStringList, script);
        RunningOrder order;
        order.load({entry("third_a.ftd", 1, 20), entry("score_s.ftd", 2, 20), entry("logo_l.ftd", 1, 30),
                    entry("third_b.ftd", 1, 20)});
        quint64 ticket = 0;
        for (const QString& step : script) {
            const QStringList parts = step.section(" => ", 0, 0).split(' ');
            const QString& verb = parts[0];
            if (verb == "air" || verb == "preview")
                order.sent(parts[1].toInt(), parts[2].toInt(), verb == "air" ? Mark::OnAir : Mark::OnPreview,
                           target(parts[3]), ++ticket);
            else if (verb == "clear" && parts[1].contains('-'))
                order.clearedLayer(target(parts[1]));
            else if (verb == "clear")
                order.clearedChannel(parts[1].toShort());
            else if (verb == "refuse")
                order.refused(parts[1].toULongLong());
            else if (verb == "add")
                order.append(entry("third_c.ftd", 1, 20), true);
            else if (verb == "move")
                order.move(parts[1].toInt(), parts[2].toInt());
            else if (verb == "remove")
                order.remove(parts[1].toInt());
            const QString expected = step.section(" => ", 1);
            const QString now = shown(order);
            QVERIFY2(expected.contains('|') ? now == expected : now.section(" |", 0, 0) == expected,
                     qPrintable(step + " gave " + now));
        }
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
        order.sent(0, 0, Mark::OnAir, {1, 1}, 1);
        order.sent(2, 0, Mark::OnAir, {1, 1}, 2); // takes entry 0's mark off: both change
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
