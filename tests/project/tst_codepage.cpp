#include <QProcess>
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

    // windows-1253 byte by byte, the same on every system: from the C library's tables on Linux,
    // from the system's own on Windows. A byte the code page leaves undefined reads as U+F700 plus
    // the byte; every character goes back to its byte.
    void windows1253ReadsTheSameEverywhere()
    {
        static constexpr char16_t upper[128] = {
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
            0x0088, 0x2030, 0x008A, 0x2039, 0x008C, 0x008D, 0x008E, 0x008F,
            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            0x0098, 0x2122, 0x009A, 0x203A, 0x009C, 0x009D, 0x009E, 0x009F,
            0x00A0, 0x0385, 0x0386, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
            0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x2015,
            0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x0384, 0x00B5, 0x00B6, 0x00B7,
            0x0388, 0x0389, 0x038A, 0x00BB, 0x038C, 0x00BD, 0x038E, 0x038F,
            0x0390, 0x0391, 0x0392, 0x0393, 0x0394, 0x0395, 0x0396, 0x0397,
            0x0398, 0x0399, 0x039A, 0x039B, 0x039C, 0x039D, 0x039E, 0x039F,
            0x03A0, 0x03A1, 0xF7D2, 0x03A3, 0x03A4, 0x03A5, 0x03A6, 0x03A7,
            0x03A8, 0x03A9, 0x03AA, 0x03AB, 0x03AC, 0x03AD, 0x03AE, 0x03AF,
            0x03B0, 0x03B1, 0x03B2, 0x03B3, 0x03B4, 0x03B5, 0x03B6, 0x03B7,
            0x03B8, 0x03B9, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BE, 0x03BF,
            0x03C0, 0x03C1, 0x03C2, 0x03C3, 0x03C4, 0x03C5, 0x03C6, 0x03C7,
            0x03C8, 0x03C9, 0x03CA, 0x03CB, 0x03CC, 0x03CD, 0x03CE, 0xF7FF,
        };
        const project::codepage::Units& units = project::codepage::units();
        for (int b = 0; b < 256; ++b) {
            const char16_t expected = b < 0x80 ? char16_t(b) : upper[b - 0x80];
            QVERIFY2(units[size_t(b)] == expected, qPrintable(QStringLiteral("byte %1 reads as U+%2, not U+%3")
                                                                .arg(b, 2, 16).arg(units[size_t(b)], 4, 16)
                                                                .arg(expected, 4, 16)));
            QCOMPARE(project::codepage::encode(QString(QChar(expected))), QByteArray(1, char(b)));
        }
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
        QTest::addColumn<char16_t>("e1"); // what byte 0xE1 reads as afterwards
        constexpr char16_t alpha = 0x3B1;
        QTest::newRow("unknown") << "no-such-code-page" << false << alpha;
        for (const char* multi : {"UTF-8", "UTF-16", "UTF-32", "Shift_JIS", "GBK", "BOCU-1", "ISO-2022-JP", "UTF-7"})
            QTest::newRow(multi) << multi << false << alpha; // refused: the one in use stays
        QTest::newRow("ISO-8859-7") << "ISO-8859-7" << true << alpha;
        QTest::newRow("KOI8-R") << "KOI8-R" << true << char16_t(0x410);
        QTest::newRow("windows-1253") << "windows-1253" << true << alpha;
    }
    void selectTakesOnlySingleByteCodePages()
    {
        QFETCH(QString, name);
        QFETCH(bool, taken);
        QFETCH(char16_t, e1);
        QCOMPARE(project::codepage::select(name), taken);
        QCOMPARE(project::codepage::decode("\xe1"), QString(QChar(e1)));
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

    // Without --codepage, Windows' own: a single-byte one as it is, any other gives windows-1253 and a word.
    void theSystemsCodePage_data()
    {
        QTest::addColumn<unsigned>("reported");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("said"); // in the notice; empty: no notice
        QTest::newRow("Western") << 1252u << "windows-1252" << "";
        QTest::newRow("Greek") << 1253u << "windows-1253" << "";
        QTest::newRow("Central European, the first") << 1250u << "windows-1250" << "";
        QTest::newRow("Vietnamese, the last") << 1258u << "windows-1258" << "";
        QTest::newRow("Thai") << 874u << "windows-874" << "";
        QTest::newRow("UTF-8") << 65001u << "windows-1253" << "The system's code page, UTF-8, does not hold";
        QTest::newRow("Japanese, double-byte") << 932u << "windows-1253" << "code page 932";
        QTest::newRow("Chinese, double-byte") << 936u << "windows-1253" << "code page 936";
        QTest::newRow("just past the range") << 1259u << "windows-1253" << "code page 1259";
    }
    void theSystemsCodePage()
    {
        QFETCH(unsigned, reported);
        QFETCH(QString, name);
        QFETCH(QString, said);
        const project::codepage::Choice choice = project::codepage::chooseForWindows(reported);
        QCOMPARE(choice.name, name);
        QCOMPARE(choice.notice.isEmpty(), said.isEmpty());
        QVERIFY2(choice.notice.contains(said), qPrintable(choice.notice));
        if (!said.isEmpty())
            QVERIFY(choice.notice.contains(QStringLiteral("read as windows-1253")));
        // Every name chosen is one this system can use, so no choice is refused at start.
        QVERIFY2(project::codepage::select(choice.name), qPrintable(choice.name));
        project::codepage::select(QStringLiteral("windows-1253"));
#ifndef Q_OS_WIN
        QCOMPARE(project::codepage::systemDefault().name, QStringLiteral("windows-1253"));
        QCOMPARE(project::codepage::systemDefault().notice, QString());
#endif
    }

    // From a console: "/?" is --help, and a refused option ends with its status before a window is shown.
    void theProgramAnswersAConsole_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("/?") << QStringList{"/?"} << 0 << QByteArray("--codepage <NAME>") << QByteArray();
        QTest::newRow("--help") << QStringList{"--help"} << 0 << QByteArray("--codepage <NAME>") << QByteArray();
        QTest::newRow("--version") << QStringList{"--version"} << 0 << QByteArray("Plintor ") << QByteArray();
        QTest::newRow("an unknown option") << QStringList{"--no-such"} << 1 << QByteArray() << QByteArray("no-such");
    }
    void theProgramAnswersAConsole()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QProcess plintor;
        plintor.start(QStringLiteral(PLINTOR_EXE), arguments);
        QVERIFY(plintor.waitForFinished(20000));
        QCOMPARE(plintor.exitCode(), status);
        const QByteArray said = plintor.readAllStandardOutput();
        const QByteArray complaint = plintor.readAllStandardError();
        QVERIFY2(out.isEmpty() ? said.isEmpty() : said.contains(out), said.constData());
        QVERIFY2(complaint.contains(err), complaint.constData());
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
