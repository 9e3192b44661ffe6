#include <QTest>

#include "project/codepage.h"

class TestCodePage : public QObject {
    Q_OBJECT
private slots:
    void codePageHoldsGreekInOneBytePerLetter()
    {
        const QString title = QStringLiteral("Ειδήσεις");
        const QByteArray bytes = codepage::encode(title);
        QCOMPARE(bytes.size(), title.size());
        QCOMPARE(bytes, QByteArray("\xC5\xE9\xE4\xDE\xF3\xE5\xE9\xF2"));
        QCOMPARE(codepage::decode(bytes), title);
    }

    void whatTheCodePageCannotHoldIsAQuestionMark()
    {
        // Cyrillic, an emoji (two UTF-16 units, one character) and a control character.
        QCOMPARE(codepage::encode(QStringLiteral("aж😀b")), QByteArray("a??b"));
        QCOMPARE(codepage::encode(QString(QChar(0x1A))), QByteArray("\x1A"));
    }

    void everyByteReadComesBackUnchanged()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(codepage::encode(codepage::decode(all)), all);
    }

    void selectRefusesUnknownCodePages()
    {
        QVERIFY(!codepage::select(QStringLiteral("no-such-code-page")));
        QCOMPARE(codepage::name(), QStringLiteral("windows-1253"));
        QVERIFY(codepage::select(QStringLiteral("windows-1252")));
        QCOMPARE(codepage::encode(QStringLiteral("é")), QByteArray("\xE9"));
        QVERIFY(codepage::select(QStringLiteral("windows-1253")));
    }
};

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
