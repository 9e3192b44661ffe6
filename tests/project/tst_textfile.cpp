#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "failure.h"
#include "fault/runtimeerror.h"
#include "project/cardfile.h"
#include "project/codepage.h"
#include "project/convert.h"
#include "project/textfile.h"

class TestTextFile : public QObject {
    Q_OBJECT
private slots:
    void splitLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"};
        QTest::newRow("lone cr") << QByteArray("a\rb") << QList<QByteArray>{"a", "b"};
        QTest::newRow("lone lf") << QByteArray("a\nb\n") << QList<QByteArray>{"a", "b"};
        QTest::newRow("no final end") << QByteArray("a\r\nb") << QList<QByteArray>{"a", "b"};
        QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\nb\r\n") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("only a line end") << QByteArray("\r\n") << QList<QByteArray>{""};
    }
    void splitLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        QCOMPARE(textfile::splitLines(bytes), lines);
    }

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

    void writeLinesEndsEveryLineWithCrLf()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.ftd"));
        textfile::writeLines(path, {QStringLiteral("TITLE~Α"), QStringLiteral("TAG~f0;v")});
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("TITLE~\xC1\r\nTAG~f0;v\r\n"));
        textfile::writeLines(path, {QStringLiteral("Α")}, textfile::Encoding::Utf8);
        QCOMPARE(textfile::readBytes(path), QByteArray("\xCE\x91\r\n"));
        QCOMPARE(textfile::readLines(path, textfile::Encoding::Utf8), QStringList{QStringLiteral("Α")});
    }

    void aFailedWriteLeavesTheOldFileWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("keep.ftd"));
        textfile::writeLines(path, {QStringLiteral("TITLE~old")});
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        const int number = failureNumber([&] { textfile::writeLines(path, {QStringLiteral("TITLE~new")}); });
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (number == 0)
            QSKIP("running with rights that ignore folder permissions");
        QVERIFY(number == fault::PermissionDenied || number == fault::PathFileAccessError);
        QCOMPARE(textfile::readBytes(path), QByteArray("TITLE~old\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.ftd")});
    }

    void failuresNameWhatWentWrong()
    {
        QTemporaryDir dir;
        QCOMPARE(failureNumber([&] { textfile::readLines(dir.filePath(QStringLiteral("none.fti"))); }),
                 int(fault::FileNotFound));
        QCOMPARE(failureNumber([&] { textfile::listFiles(dir.filePath(QStringLiteral("gone"))); }),
                 int(fault::PathNotFound));
        QCOMPARE(failureNumber([&] { textfile::writeLines(dir.filePath(QStringLiteral("gone/x.ftd")), {}); }),
                 int(fault::PathNotFound));
        try {
            textfile::readLines(dir.filePath(QStringLiteral("none.fti")));
        } catch (const fault::RuntimeError& e) {
            QVERIFY(e.description.contains(dir.filePath(QStringLiteral("none.fti"))));
        }
    }

    void createFolderMakesMissingParents()
    {
        QTemporaryDir dir;
        const QString deep = dir.filePath(QStringLiteral("data/news"));
        textfile::createFolder(deep);
        QVERIFY(textfile::folderExists(deep));
    }

    void toInteger16_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("failure");
        QTest::newRow("plain") << "20" << 20 << 0;
        QTest::newRow("blanks around") << "  7 " << 7 << 0;
        QTest::newRow("negative") << "-32768" << -32768 << 0;
        QTest::newRow("half to even down") << "2.5" << 2 << 0;
        QTest::newRow("half to even up") << "3.5" << 4 << 0;
        QTest::newRow("fraction") << "1.6" << 2 << 0;
        QTest::newRow("too large") << "32768" << 0 << int(fault::Overflow);
        QTest::newRow("empty") << "" << 0 << int(fault::TypeMismatch);
        QTest::newRow("word") << "ten" << 0 << int(fault::TypeMismatch);
        QTest::newRow("inner blank") << "1 0" << 0 << int(fault::TypeMismatch);
    }
    void toInteger16()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(int, failure);
        short got = 0;
        QCOMPARE(failureNumber([&] { got = convert::toInteger16(text); }), failure);
        if (!failure)
            QCOMPARE(int(got), value);
    }

    void cutAndItem()
    {
        QCOMPARE(convert::cut(QString(), QLatin1Char(':')).size(), 0);
        QCOMPARE(convert::cut(QStringLiteral("A:b:c"), QLatin1Char(':')).size(), 3);
        QCOMPARE(failureNumber([] { convert::item({QStringLiteral("TAG")}, 1); }), int(fault::SubscriptOutOfRange));
    }

    void cardFileNames()
    {
        QVERIFY(cardfile::isCardFile(QStringLiteral("news.fti")));
        QVERIFY(cardfile::isCardFile(QStringLiteral("news.old.fti")));
        QVERIFY(!cardfile::isCardFile(QStringLiteral("news.FTI")));
        QVERIFY(!cardfile::isCardFile(QStringLiteral("fti")));
        QCOMPARE(cardfile::baseName(QStringLiteral("news.old.fti")), QStringLiteral("news"));
        QCOMPARE(cardfile::invokeCount(QStringLiteral("in;out;")), 3);
        QCOMPARE(cardfile::invokeCount(QString()), 0);
        QCOMPARE(cardfile::typeCode(QStringLiteral("video")), short(1));
        QCOMPARE(cardfile::typeCode(QStringLiteral(" VIDEO")), short(0));
        QCOMPARE(cardfile::typeCode(QStringLiteral("Mixer")), short(3));
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
