// The server's reading of a command line into parameters: rule by rule, and the lines whose
// reading was taken from the server's own code (data/readings.jsonl).
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include "monitor/tokenizer.h"

using L = QList<QByteArray>;

class TestTokenizer : public QObject {
    Q_OBJECT
private slots:
    void parameters_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<L>("expected");
        QTest::newRow("spaces separate") << QByteArray("CG 1-20 INVOKE 1") << L{"CG", "1-20", "INVOKE", "1"};
        QTest::newRow("nothing") << QByteArray("") << L{};

        // 1. UTF-8 first, invalid bytes dropped
        QTest::newRow("an invalid byte is dropped") << QByteArray("X a\xff" "b") << L{"X", "ab"};
        QTest::newRow("a cut sequence goes, the quote after it stays") << QByteArray("X \"\xce\" Y") << L{"X", "", "Y"};
        QTest::newRow("overlong and past U+10FFFF") << QByteArray("X \xc0\xaf" "a\xf4\x90\x80\x80" "b") << L{"X", "ab"};
        QTest::newRow("an escape takes a whole character")
            << QStringLiteral("X \"a\\λb\\😀c\"").toUtf8() << L{"X", "abc"};
        QTest::newRow("an escape before an invalid byte escapes what follows it")
            << QByteArray("X \"a\\\xff\"b\"") << L{"X", "a\"b"};
        QTest::newRow("U+FFFF is a character") << QByteArray("X \xef\xbf\xbf") << L{"X", "\xef\xbf\xbf"};

        // 2. Escapes everywhere
        QTest::newRow("escaped quote outside quotes") << QByteArray("X a\\\"b") << L{"X", "a\"b"};
        QTest::newRow("escaped backslash outside quotes") << QByteArray("X a\\\\b") << L{"X", "a\\b"};
        QTest::newRow("escaped blank is dropped, not kept") << QByteArray("X a\\ b") << L{"X", "ab"};
        QTest::newRow("an escape that gives nothing makes no parameter") << QByteArray("X \\q Y") << L{"X", "Y"};
        QTest::newRow("a trailing backslash is dropped") << QByteArray("X ab\\") << L{"X", "ab"};
        QTest::newRow("escapes inside a group") << QByteArray("X (a\\\"b\\nc)") << L{"X", "(a\"b\nc)"};

        // 3. Parenthesis groups
        QTest::newRow("the closing parenthesis ends the parameter") << QByteArray("X f(a)b") << L{"X", "f(a)", "b"};
        QTest::newRow("a quote inside a group is a character")
            << QByteArray("PLAY 1-10 AMB STING (MASK=m OVERLAY=\"x y\")")
            << L{"PLAY", "1-10", "AMB", "STING", "(MASK=m OVERLAY=\"x y\")"};
        QTest::newRow("an unclosed group runs to the end") << QByteArray("X (a b") << L{"X", "(a b"};
        QTest::newRow("a ( balances a stray ), then blanks split again")
            << QByteArray("X a) b (c d") << L{"X", "a) b (c", "d"};
        QTest::newRow("parentheses in quotes count for nothing") << QByteArray("X \"(a\" b)") << L{"X", "(a", "b)"};

        // 4. Quotes glue
        QTest::newRow("text before a quote is glued to it") << QByteArray("ab\"cd\"") << L{"abcd"};
        QTest::newRow("the closing quote ends it") << QByteArray("a\"b c\"d") << L{"ab c", "d"};
        QTest::newRow("an empty quoted one") << QByteArray("a \"\" b") << L{"a", "", "b"};

        // 5. An empty last quote
        QTest::newRow("an unclosed empty quote gives nothing") << QByteArray("CG 1-20 INVOKE 1 \"")
                                                               << L{"CG", "1-20", "INVOKE", "1"};
        QTest::newRow("an unclosed quote with text gives it") << QByteArray("INVOKE 1 \"Next step")
                                                              << L{"INVOKE", "1", "Next step"};
        QTest::newRow("glued text before an unclosed quote") << QByteArray("X ab\"") << L{"X", "ab"};

        // The server's own readings.
        QFile file(QStringLiteral(PLINTOR_TEST_DATA "/readings.jsonl"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        int count = 0;
        for (const QByteArray& text : file.readAll().split('\n')) {
            if (text.trimmed().isEmpty())
                continue;
            const QJsonObject o = QJsonDocument::fromJson(text).object();
            L expected;
            for (const QJsonValue& v : o.value(QLatin1String("parameters")).toArray())
                expected.append(v.toString().toUtf8());
            const QByteArray line = o.contains(QLatin1String("line_hex"))
                                        ? QByteArray::fromHex(o.value(QLatin1String("line_hex")).toString().toLatin1())
                                        : o.value(QLatin1String("line")).toString().toUtf8();
            QTest::newRow(qPrintable(QStringLiteral("server: ") + o.value(QLatin1String("case")).toString()))
                << line << expected;
            ++count;
        }
        QCOMPARE(count, 38);
    }
    void parameters()
    {
        QFETCH(QByteArray, command);
        QFETCH(L, expected);
        QCOMPARE(monitor::parameters(command), expected);
    }

    // Past the ones kept, parameters are counted, not kept; the dropped bytes are counted too.
    void theFirstAreKeptAndAllCounted()
    {
        const monitor::Tokens t = monitor::tokenize("a \"b c\" \xff(d e) \"\" f\xfe\\", 2);
        QCOMPARE(t.parameters, (L{"a", "b c"}));
        QCOMPARE(t.count, 5);
        QCOMPARE(t.invalidBytes, 2);
        QCOMPARE(monitor::decoded("a\xff" "b\xce\xbb\xe2\x82"), QByteArray("ab\xce\xbb"));
    }
};

QTEST_GUILESS_MAIN(TestTokenizer)
#include "tst_tokenizer.moc"
