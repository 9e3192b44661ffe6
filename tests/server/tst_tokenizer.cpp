// The server's reading of a command line into parameters.
#include <QTest>

#include "server/tokenizer.h"

using L = QList<QByteArray>;

class TestTokenizer : public QObject {
    Q_OBJECT
private slots:
    void parameters_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::newRow("spaces separate") << QByteArray("CG 1-20 INVOKE 1") << L{"CG", "1-20", "INVOKE", "1"};
        QTest::newRow("runs of spaces give no empty ones") << QByteArray("  a   b ") << L{"a", "b"};
        QTest::newRow("nothing") << QByteArray("") << L{};
        QTest::newRow("quotes keep spaces") << QByteArray("ADD \"a b\" 1") << L{"ADD", "a b", "1"};
        QTest::newRow("an empty quoted one") << QByteArray("a \"\" b") << L{"a", "", "b"};
        QTest::newRow("a quote ends a bare one") << QByteArray("ab\"cd\"ef") << L{"ab", "cd", "ef"};
        QTest::newRow("escaped backslash and quote") << QByteArray("\"a\\\\b\\\"c\"") << L{"a\\b\"c"};
        QTest::newRow("escaped n is a line break") << QByteArray("\"C:\\new\"") << L{"C:\new"};
        QTest::newRow("any other escape is dropped") << QByteArray("\"C:\\clips\"") << L{"C:lips"};
        QTest::newRow("a backslash at the end is dropped") << QByteArray("\"ab\\") << L{"ab"};
        QTest::newRow("no escapes outside quotes") << QByteArray("a\\nb") << L{"a\\nb"};
        QTest::newRow("an unclosed final quote") << QByteArray("INVOKE 1 \"Next step") << L{"INVOKE", "1", "Next step"};
        QTest::newRow("an unclosed empty one") << QByteArray("INVOKE \"") << L{"INVOKE", ""};
        QTest::newRow("an escaped quote does not close")
            << QByteArray("\"v=\\\"x\\\" y\" z") << L{"v=\"x\" y", "z"};
    }
    void parameters()
    {
        QFETCH(QByteArray, command);
        QFETCH(QList<QByteArray>, expected);
        QCOMPARE(server::parameters(command), expected);
    }
};

QTEST_GUILESS_MAIN(TestTokenizer)
#include "tst_tokenizer.moc"
