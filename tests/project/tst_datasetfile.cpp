// The dataset file format: which card a file belongs to, reading lines, composing them, new
// names and the texts the format cannot hold.
#include <QSet>
#include <QTest>

#include "failure.h"
#include "fault/runtimeerror.h"
#include "project/codepage.h"
#include "project/datasetfile.h"
#include "project/textlines.h"

using namespace project::datasetfile;

class TestDatasetFile : public QObject {
    Q_OBJECT
private slots:
    void membership_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("card");
        QTest::addColumn<bool>("belongs");
        QTest::newRow("own dataset") << "news_ab12cd34.ftd" << "news" << true;
        QTest::newRow("the copy is no dataset") << "news_x.ft8" << "news" << false;
        QTest::newRow("no underscore") << "news.ftd" << "news" << false;
        QTest::newRow("another card") << "other_1.ftd" << "news" << false;
        QTest::newRow("name inside another name") << "news_ab12cd34.ftd" << "ews" << false;
        QTest::newRow("a card with a longer name") << "subtitle_ab12cd34.ftd" << "title" << false;
        QTest::newRow("card name with underscore") << "lower_third_ab12cd34.ftd" << "lower_third" << true;
        QTest::newRow("its prefix is another card") << "lower_third_ab12cd34.ftd" << "lower" << false;
        QTest::newRow("empty card name owns nothing") << "_ab12cd34.ftd" << "" << false;
        QTest::newRow("extension case") << "news_ab12cd34.FTD" << "news" << false;
        QTest::newRow("card name case") << "News_ab12cd34.ftd" << "news" << false;
        QTest::newRow("base name ends at first dot") << "news_a.b_c.ftd" << "news" << true;
        QTest::newRow("no dot") << "news_ftd" << "news" << false;
    }
    void membership()
    {
        QFETCH(QString, file);
        QFETCH(QString, card);
        QFETCH(bool, belongs);
        QCOMPARE(belongsTo(file, card), belongs);
    }

    void copyNameReplacesEveryFtd()
    {
        QCOMPARE(copyName(QStringLiteral("news_ab12cd34.ftd")), QStringLiteral("news_ab12cd34.ft8"));
        QCOMPARE(copyName(QStringLiteral("a.ftd_b.ftd")), QStringLiteral("a.ft8_b.ft8"));
    }

    void readingLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("title") << "TITLE~Evening" << "TITLE" << "Evening";
        QTest::newRow("empty title") << "TITLE~" << "TITLE" << "";
        QTest::newRow("after a second ~ is dropped") << "TITLE~a~b" << "TITLE" << "a";
        QTest::newRow("nothing trimmed") << " TAG~ x;y " << " TAG" << " x;y ";
    }
    void readingLines()
    {
        QFETCH(QString, line);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(lineKey(line), key);
        QCOMPARE(lineValue(line), value);
    }

    // The lines a reader after one key steps through are those that a walk over every line
    // would match or fail on: the same as filtering the decoded lines.
    void keyedLinesAreTheFilteredLines()
    {
        const QByteArray files[] = {
            "TITLE~One\r\nTAG~a;b\r\n\r\nTITLE~Two~x\r\nTITLEX~no\r\nTITLE\r\n TITLE~no\nTITLE~\xE1\xE2\r",
            "", "\r\n\r\n", "TITL", "TITLE", "TAG~TITLE~x"};
        for (const QByteArray& bytes : files) {
            QStringList expected;
            for (const QByteArray& line : project::textfile::splitLines(bytes)) {
                const QString text = project::codepage::decode(line);
                if (text.isEmpty() || lineKey(text) == QLatin1String("TITLE"))
                    expected.append(text);
            }
            QCOMPARE(keyedLines(bytes, u"TITLE"), expected);
        }
        QCOMPARE(keyedLines("TITLE~\xE1\r\n", u"TITLE"), QStringList{QStringLiteral("TITLE~\u03B1")});
    }

    void tagValues()
    {
        const TagValue plain = tagValue(QStringLiteral("f0;Hello"));
        QCOMPARE(plain.id, QStringLiteral("f0"));
        QCOMPARE(plain.value, QStringLiteral("Hello"));
        // A ";" inside the value: only the text before it comes back.
        QCOMPARE(tagValue(QStringLiteral("f0;a;b")).value, QStringLiteral("a"));
        QCOMPARE(tagValue(QStringLiteral("f0;")).value, QString());
        for (const char* bad : {"f0", ""})
            QCOMPARE(failureNumber([&] { tagValue(QLatin1String(bad)); }), int(fault::SubscriptOutOfRange));
    }

    void randomStrings()
    {
        QRandomGenerator generator(7);
        QCOMPARE(randomString(0, generator), QString());
        QCOMPARE(randomString(-3, generator), QString());
        const QString alphabet = QLatin1String(kAlphabet);
        QCOMPARE(alphabet.size(), 36);
        QSet<QChar> seen;
        QSet<QString> names;
        for (int i = 0; i < 500; ++i) {
            const QString s = randomString(8, generator);
            QCOMPARE(s.size(), 8);
            for (QChar c : s) {
                QVERIFY2(alphabet.contains(c), qPrintable(s));
                seen.insert(c);
            }
            names.insert(s);
        }
        QCOMPARE(seen.size(), 36); // both ends of the alphabet are reached
        QCOMPARE(names.size(), 500);
    }

    void refusedTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("asTitle");
        QTest::addColumn<bool>("asValue");
        QTest::newRow("plain") << "Καλησπέρα 1;2" << false << true;
        QTest::newRow("tilde") << "a~b" << true << true;
        QTest::newRow("semicolon") << "a;b" << false << true;
        QTest::newRow("line break") << "a\nb" << true << true;
        QTest::newRow("carriage return") << "a\rb" << true << true;
        QTest::newRow("a control character") << "a\x01" "b" << true << true;
        QTest::newRow("escape") << "\x1b[1m" << true << true;
        QTest::newRow("a TAB is text") << "a\tb" << false << false;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("slashes") << "C:/img/logo.png" << false << false;
    }
    void refusedTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, asTitle);
        QFETCH(bool, asValue);
        QCOMPARE(!refusal(text, Field::Title).isEmpty(), asTitle);
        QCOMPARE(!refusal(text, Field::Value).isEmpty(), asValue);
    }

};

QTEST_GUILESS_MAIN(TestDatasetFile)
#include "tst_datasetfile.moc"
