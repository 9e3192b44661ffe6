#include <QProcess>
#include <QStringDecoder>
#include <QTest>

#include "project/codepage.h"

class TestCodePage : public QObject {
    Q_OBJECT
private slots:
    void codePageHoldsGreekInOneBytePerLetter()
    {
        const QString title = QStringLiteral("Ειδήσεις");
        const QByteArray bytes = project::codepage::encode(title);
        QCOMPARE(bytes.size(), title.size());
        QCOMPARE(bytes, QByteArray("\xC5\xE9\xE4\xDE\xF3\xE5\xE9\xF2"));
        QCOMPARE(project::codepage::decode(bytes), title);
    }

    void whatTheCodePageCannotHoldIsAQuestionMark()
    {
        // Cyrillic, an emoji (two UTF-16 units, one character) and a control character.
        QCOMPARE(project::codepage::encode(QStringLiteral("aж😀b")), QByteArray("a??b"));
        QCOMPARE(project::codepage::encode(QString(QChar(0x1A))), QByteArray("\x1A"));
    }

    void everyByteReadComesBackUnchanged()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(project::codepage::encode(project::codepage::decode(all)), all);
    }

    void selectTakesOnlySingleByteCodePages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("taken");
        QTest::newRow("unknown") << "no-such-code-page" << false;
        for (const char* multi : {"UTF-8", "UTF-16", "UTF-32", "Shift_JIS", "GBK", "BOCU-1", "ISO-2022-JP", "UTF-7"})
            QTest::newRow(multi) << multi << false;
        for (const char* single : {"ISO-8859-7", "KOI8-R", "windows-1253"})
            QTest::newRow(single) << single << true;
    }
    void selectTakesOnlySingleByteCodePages()
    {
        QFETCH(QString, name);
        QFETCH(bool, taken);
        QCOMPARE(project::codepage::select(name), taken);
        // A code page refused leaves the one in use: 0xE1 is still the Greek alpha.
        QStringDecoder chosen(name.toLatin1().constData());
        QCOMPARE(project::codepage::decode("\xe1"), taken ? chosen.decode(QByteArray("\xe1")) : QString(QChar(0x3B1)));
        project::codepage::select(QStringLiteral("windows-1253"));
    }

    // The program refuses such a code page before it shows a window.
    void theProgramRefusesAMultiByteCodePageAtStart()
    {
        QProcess plintor;
        plintor.start(QStringLiteral(PLINTOR_EXE), {QStringLiteral("--codepage"), QStringLiteral("UTF-16")});
        QVERIFY(plintor.waitForFinished(20000));
        QCOMPARE(plintor.exitCode(), 2);
        QVERIFY(plintor.readAllStandardError().contains("\"UTF-16\" is not a single-byte code page"));
    }

    void anotherCodePageIsUsed()
    {
        QVERIFY(project::codepage::select(QStringLiteral("windows-1252")));
        QCOMPARE(project::codepage::encode(QStringLiteral("é")), QByteArray("\xE9"));
        QVERIFY(project::codepage::select(QStringLiteral("windows-1253")));
    }
};

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
