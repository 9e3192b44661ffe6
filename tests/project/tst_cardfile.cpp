// The card file format: names, and the card a file's lines give, with its failures.
#include <QTest>

#include <algorithm>

#include "project/cardfile.h"

namespace {
// A card's fields in one line of text, tags as title/id/ani/type.
QString fields(const project::CARD& c)
{
    QString text = QStringLiteral("%1|%2|%3:%4|%5|%6|").arg(c.Title).arg(c.Type).arg(c.Channel).arg(c.Layer).arg(c.Invoke, c.Command);
    for (int slot = 1; slot <= project::kTagSlots; ++slot) {
        const project::TAGDEF& t = c.Tags[size_t(slot)];
        if (!t.Title.isEmpty() || !t.Id.isEmpty() || !t.Type.isEmpty() || t.Ani != 0)
            text += QStringLiteral("[%1/%2/%3/%4]").arg(t.Title, t.Id).arg(t.Ani).arg(t.Type);
    }
    return text;
}
QString numbers(const QList<fault::RuntimeError>& failures)
{
    QStringList out;
    for (const fault::RuntimeError& f : failures)
        out << QString::number(f.number);
    return out.join(QLatin1Char(' '));
}
} // namespace

class TestCardFile : public QObject {
    Q_OBJECT
private slots:
    void cardFileNames()
    {
        QVERIFY(project::cardfile::isCardFile(QStringLiteral("news.fti")));
        QVERIFY(project::cardfile::isCardFile(QStringLiteral("news.old.fti")));
        QVERIFY(!project::cardfile::isCardFile(QStringLiteral("news.FTI")));
        QVERIFY(!project::cardfile::isCardFile(QStringLiteral("fti")));
        QCOMPARE(project::cardfile::baseName(QStringLiteral("news.old.fti")), QStringLiteral("news"));
        QCOMPARE(project::cardfile::invokeCount(QStringLiteral("in;out;")), 3);
        QCOMPARE(project::cardfile::invokeCount(QString()), 0);
        QCOMPARE(project::cardfile::typeCode(QStringLiteral("video")), short(1));
        QCOMPARE(project::cardfile::typeCode(QStringLiteral(" VIDEO")), short(0));
        QCOMPARE(project::cardfile::typeCode(QStringLiteral("Mixer")), short(3));
    }

    void parse_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("failures");
        QTest::addColumn<int>("maxInvokes");
        QTest::newRow("keywords") << QStringList{"CARDTITLE:News: evening", "TYPE:video", "CHANNEL:1", "CHANNEL:2",
                                                 "LAYER: 20 ", "COMMAND:PLAY 1-1 AMB", "INVOKE:in;out;",
                                                 "comment line: ignored", ":no keyword"}
                                  << "News|1|2:20|in;out;|PLAY 1-1 AMB|" << "" << 3;
        QTest::newRow("tags") << QStringList{"TAG:Name;f0;1;text", "TAG:Empty;;0;text", "TAG:Pic;img;0;pic;extra"}
                              << "|0|0:0|||[Name/f0/1/text][Empty//0/text][Pic/img/0/pic]" << "" << 0;
        QTest::newRow("type words") << QStringList{"TYPE: VIDEO", "TYPE:Mixer"} << "|3|0:0|||" << "" << 0;
        QTest::newRow("a blank before the word") << QStringList{"TYPE: VIDEO"} << "|0|0:0|||" << "" << 0;
        QTest::newRow("the most invokes of any line") << QStringList{"INVOKE:a;b;c", "INVOKE:x"} << "|0|0:0|x||" << "" << 3;
        // An empty line fails at its keyword; taken for a TYPE line, its value fails too.
        QTest::newRow("bad lines") << QStringList{"CARDTITLE:Bad", "", "CHANNEL:x", "LAYER:40000", "TAG:Only;two",
                                                  "CARDTITLE", "LAYER:7"}
                                   << "Bad|0|0:7|||[Only/two/0/]" << "9 9 13 6 9 9 9" << 0;
        QTest::newRow("a tag id holding ~") << QStringList{"TAG:T;a~b;0;text", "TAG:U;u;0;text"}
                                            << "|0|0:0|||[T//0/text][U/u/0/text]" << "5" << 0;
        QStringList many;
        for (int i = 1; i <= project::kTagSlots + 1; ++i)
            many << QStringLiteral("TAG:T;f%1;0;t").arg(i);
        QString hundred = "|0|0:0|||";
        for (int i = 1; i <= project::kTagSlots; ++i)
            hundred += QStringLiteral("[T/f%1/0/t]").arg(i);
        QTest::newRow("a hundred tags fit") << many << hundred << "9" << 0;
    }
    void parse()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, card);
        QFETCH(QString, failures);
        QFETCH(int, maxInvokes);
        project::cardfile::TextPool shared;
        const project::cardfile::Parsed parsed = project::cardfile::parse(QStringLiteral("news.old.fti"), lines, &shared);
        QCOMPARE(parsed.card.FileName, QStringLiteral("news"));
        QCOMPARE(fields(parsed.card), card);
        // Each TAG line takes the next slot; the card keeps those and no more, whatever was read.
        const auto tagLines = std::count_if(lines.cbegin(), lines.cend(),
                                            [](const QString& l) { return l.section(QLatin1Char(':'), 0, 0) == QLatin1String("TAG"); });
        QCOMPARE(parsed.card.Tags.size(), tagLines ? size_t(std::min(int(tagLines), project::kTagSlots) + 1) : size_t(0));
        QCOMPARE(numbers(parsed.failures), failures);
        QCOMPARE(parsed.maxInvokes, maxInvokes);
        if (QTest::currentDataTag() == QLatin1String("a tag id holding ~"))
            QVERIFY(parsed.failures[0].description.contains("the tag id \"a~b\" of news.old.fti holds \"~\""));
    }
};

QTEST_GUILESS_MAIN(TestCardFile)
#include "tst_cardfile.moc"
