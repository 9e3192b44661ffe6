// The editor's document alone: a script of the operator's operations, each edit saved as the
// window saves it, and the bytes of the dataset file and its UTF-8 copy after the script.
#include <QTemporaryDir>
#include <QTest>

#include "failure.h"
#include "project/codepage.h"
#include "project/document.h"
#include "project/textfile.h"

class TestDocument : public QObject {
    Q_OBJECT

    // Card news: tags a (text) and p (pic); a repeated a takes no second row.
    static project::CARD news()
    {
        project::CARD card;
        card.FileName = QStringLiteral("news");
        card.Tags[1] = {QStringLiteral("A"), QStringLiteral("a"), 0, QStringLiteral("text")};
        card.Tags[2] = {QStringLiteral("Picture"), QStringLiteral("p"), 1, QStringLiteral("pic")};
        card.Tags[3] = {QStringLiteral("Again"), QStringLiteral("a"), 0, QStringLiteral("text")};
        return card;
    }

private slots:
    // An operation is "verb|argument|argument"; what it refuses or raises is said, in order.
    void operations_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QByteArray>("ftd");
        QTest::addColumn<QString>("ft8");
        QTest::addColumn<QString>("said");
        const QString x(40000, QLatin1Char('x'));
        const QStringList one{"select|news_1.ftd|One", "fill|a|old", "fill|p|one.png"};
        QTest::newRow("a value") << one + QStringList{"value|0|Γειά"} << QByteArray("TITLE~One\r\nTAG~a;\xc3\xe5\xe9\xdc\r\nTAG~p;one.png\r\n")
                                 << "TITLE~One\r\nTAG~a;Γειά\r\nTAG~p;one.png\r\n" << "";
        QTest::newRow("a title") << one + QStringList{"title|Νέο; τώρα"} << QByteArray("TITLE~\xcd\xdd\xef; \xf4\xfe\xf1\xe1\r\nTAG~a;old\r\nTAG~p;one.png\r\n")
                                 << "TITLE~Νέο; τώρα\r\nTAG~a;old\r\nTAG~p;one.png\r\n" << "";
        QTest::newRow("a long value, whole") << one + QStringList{"value|0|" + x + "END"}
                                             << QByteArray("TITLE~One\r\nTAG~a;" + x.toLatin1() + "END\r\nTAG~p;one.png\r\n")
                                             << "TITLE~One\r\nTAG~a;" + x + "END\r\nTAG~p;one.png\r\n" << "";
        QTest::newRow("a long title, whole") << one + QStringList{"title|" + x + "END"}
                                             << QByteArray("TITLE~" + x.toLatin1() + "END\r\nTAG~a;old\r\nTAG~p;one.png\r\n")
                                             << "TITLE~" + x + "END\r\nTAG~a;old\r\nTAG~p;one.png\r\n" << "";
        // Refused: nothing is saved, the value stays.
        QTest::newRow("outside the code page") << one + QStringList{"value|0|Łódź café", "title|Ωμέγα ✓"} << QByteArray() << ""
                                               << "A value cannot hold \"Ł\" (U+0141)|A title cannot hold \"✓\" (U+2713)";
        QTest::newRow("a separator") << one + QStringList{"value|1|a;b", "value|0|ok"}
                                     << QByteArray("TITLE~One\r\nTAG~a;ok\r\nTAG~p;one.png\r\n")
                                     << "TITLE~One\r\nTAG~a;ok\r\nTAG~p;one.png\r\n" << "A value cannot hold \";\"";
        // A byte the code page leaves undefined is read as a character of its own and written back.
        QTest::newRow("an undefined byte kept") << QStringList{"select|news_1.ftd|One", "fill|a|<D2>", "value|1|b"}
                                                << QByteArray("TITLE~One\r\nTAG~a;\xd2\r\nTAG~p;b\r\n")
                                                << "TITLE~One\r\nTAG~a;" + QString(QChar(0xF7D2)) + "\r\nTAG~p;b\r\n" << "";
        QTest::newRow("orphans removed") << one + QStringList{"fill|x|gone", "orphans|yes"}
                                         << QByteArray("TITLE~One\r\nTAG~a;old\r\nTAG~p;one.png\r\n")
                                         << "TITLE~One\r\nTAG~a;old\r\nTAG~p;one.png\r\n" << "x = gone\r\n";
        QTest::newRow("orphans kept") << one + QStringList{"fill|x|gone", "orphans|no"} << QByteArray() << "" << "x = gone\r\n";
        QTest::newRow("a new dataset") << one + QStringList{"add|news_2.ftd"} << QByteArray("TITLE~New dataset\r\n")
                                       << "TITLE~New dataset\r\n" << "";
        QTest::newRow("a new dataset, then a value") << one + QStringList{"add|news_2.ftd", "value|0|v"}
                                                     << QByteArray("TITLE~New dataset\r\nTAG~a;v\r\nTAG~p;\r\n")
                                                     << "TITLE~New dataset\r\nTAG~a;v\r\nTAG~p;\r\n" << "";
        QTest::newRow("unread, not written over") << one + QStringList{"unread", "value|0|v"} << QByteArray() << "" << "75";
        QTest::newRow("deleted: nothing selected") << one + QStringList{"delete|news_1.ftd", "title|T"} << QByteArray() << ""
                                                   << "";
    }
    void operations()
    {
        QFETCH(QStringList, script);
        QFETCH(QByteArray, ftd);
        QFETCH(QString, ft8);
        QFETCH(QString, said);
        QTemporaryDir folder;
        project::Document doc;
        doc.selectCard(1, news());
        QStringList heard;
        const auto save = [&](bool withTags) {
            if (const int n = failureNumber([&] { doc.save(folder.path(), withTags); }))
                heard << QString::number(n);
        };
        for (const QString& op : script) {
            const QStringList w = op.split(QLatin1Char('|'));
            QString why;
            if (w[0] == "select")
                doc.selectDataset(w[1], w[2]);
            else if (w[0] == "fill")
                doc.fill(w[1], w[2] == "<D2>" ? project::codepage::decode("\xd2") : w[2]);
            else if (w[0] == "value" && (why = doc.setValue(w[1].toInt(), w[2])).isEmpty())
                save(true);
            else if (w[0] == "title" && (why = doc.setTitle(w[1])).isEmpty() && !doc.dataset().isEmpty())
                save(true);
            else if (w[0] == "orphans") {
                heard << doc.orphans();
                if (doc.answerOrphans(w[1] == "yes"))
                    save(true);
            } else if (w[0] == "add") {
                doc.add(w[1]);
                save(false);
            } else if (w[0] == "delete")
                doc.remove(w[1]);
            else if (w[0] == "unread")
                doc.setUnread();
            if (!why.isEmpty())
                heard << why;
        }
        const QString file = doc.dataset().isEmpty() ? QStringLiteral("news_1.ftd") : doc.dataset();
        const QString path = folder.filePath(file);
        QCOMPARE(QFile::exists(path) ? project::textfile::readBytes(path) : QByteArray(), ftd);
        const QString copy = folder.filePath(QString(file).replace(".ftd", ".ft8"));
        QCOMPARE(QFile::exists(copy) ? QString::fromUtf8(project::textfile::readBytes(copy)) : QString(), ft8);
        for (const QString& part : said.split(QLatin1Char('|'), Qt::SkipEmptyParts))
            QVERIFY2(heard.join(QLatin1Char('|')).contains(part), qPrintable(heard.join(QLatin1Char('|'))));
        QCOMPARE(heard.isEmpty(), said.isEmpty());
    }

    // What the grids show: one row per tag id, the listed titles, the picture rows.
    void rows()
    {
        project::Document doc;
        doc.selectCard(1, news());
        doc.list(QStringLiteral("news_1.ftd"), {QStringLiteral("One"), QStringLiteral("Uno")});
        doc.selectDataset(QStringLiteral("news_1.ftd"), QStringLiteral("Uno"));
        QCOMPARE(doc.tags().size(), 2);
        QVERIFY(!doc.isPicture(0) && doc.isPicture(1) && !doc.isPicture(2));
        QVERIFY(doc.setTitle(QStringLiteral("Two")).isEmpty());
        QCOMPARE(doc.datasets()[0].title, QStringLiteral("One"));
        QCOMPARE(doc.datasets()[1].title, QStringLiteral("Two"));
        QCOMPARE(failureNumber([&] { doc.setValue(2, QString()); }), 9);
    }
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
