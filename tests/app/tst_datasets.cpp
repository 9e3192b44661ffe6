// Dataset files and the tag grid on real files: listing, the action list, byte forms of both
// files, titles, new names and orphan tags.
#include <QRegularExpression>
#include <limits>

#include "drive.h"
#include "editor_fixture.h"
#include "project/paths.h"
#include "project/textfile.h"

namespace DatasetCol = app::mGENERAL::DatasetCol;
namespace TagCol = app::mGENERAL::TagCol;

class TestDatasets : public QObject {
    Q_OBJECT
    EditorFixture fx;

    void abcCard() { fx.card(QStringLiteral("news"), {QStringLiteral("TAG:A;a;0;text"), QStringLiteral("TAG:B;b;1;text"), QStringLiteral("TAG:C;c;0;pic")}); }

private slots:
    void initTestCase() { fx.setUp(); }
    void init() { fx.start(); }
    void cleanup() { fx.stop(); }

    void onlyTheCardsOwnDatasetsAreListed()
    {
        fx.card(QStringLiteral("news"), {QStringLiteral("TAG:A;a;0;text")});
        fx.card(QStringLiteral("title"), {});
        fx.card(QStringLiteral("subtitle"), {});
        fx.dataset(QStringLiteral("news_ab12cd34.ftd"), {QStringLiteral("TITLE~Mine")});
        fx.dataset(QStringLiteral("news_x.ft8"), {QStringLiteral("TITLE~Copy")});
        fx.dataset(QStringLiteral("news.ftd"), {QStringLiteral("TITLE~No underscore")});
        fx.dataset(QStringLiteral("other_1.ftd"), {QStringLiteral("TITLE~Other")});
        fx.dataset(QStringLiteral("title_1.ftd"), {QStringLiteral("TITLE~Title")});
        fx.dataset(QStringLiteral("subtitle_1.ftd"), {QStringLiteral("TITLE~Subtitle")});
        fx.open();
        QCOMPARE(fx.column(fx.vsDATASET(), DatasetCol::Description), QStringList{QStringLiteral("Mine")});
        QCOMPARE(fx.currentDataset(), QStringLiteral("news_ab12cd34.ftd"));
        QCOMPARE(fx.vsDATASET()->textMatrix(0, DatasetCol::File), QStringLiteral("filename"));
        QCOMPARE(fx.vsDATASET()->textMatrix(0, DatasetCol::Description), QStringLiteral("Description"));
        QVERIFY(fx.vsDATASET()->isColumnHidden(DatasetCol::File));
        // The card "title" does not list the datasets of "subtitle".
        QVERIFY(fx.show());
        drive::click(fx.vsCARDS(), int(fx.column(fx.vsCARDS(), app::mGENERAL::CardCol::FileName).indexOf(QStringLiteral("title"))) + 1,
                     app::mGENERAL::CardCol::Title);
        QCOMPARE(fx.currentCardFile(), QStringLiteral("title"));
        QCOMPARE(fx.column(fx.vsDATASET(), DatasetCol::Description), QStringList{QStringLiteral("Title")});
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
        QVERIFY(fx.scope->script.questions.isEmpty());
    }

    void datasetsAreSortedByTitleAndEveryTitleLineIsARow()
    {
        abcCard();
        fx.dataset(QStringLiteral("news_1.ftd"), {QStringLiteral("TITLE~Zeta"), QStringLiteral("TAG~a;from 1")});
        fx.dataset(QStringLiteral("news_2.ftd"), {QStringLiteral("TITLE~Beta"), QStringLiteral("TAG~a;from 2"),
                                                  QStringLiteral("TITLE~Alpha")});
        fx.open();
        QCOMPARE(fx.column(fx.vsDATASET(), DatasetCol::Description), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Zeta")}));
        QCOMPARE(fx.column(fx.vsDATASET(), DatasetCol::File).at(2), QStringLiteral("news_1.ftd"));
        QCOMPARE(fx.vsDATASET()->row(), 1);
        QCOMPARE(fx.currentDataset(), QStringLiteral("news_2.ftd"));
        QCOMPARE(fx.vsTAGS()->textMatrix(1, TagCol::Value), QStringLiteral("from 2"));
        QCOMPARE(app::mGENERAL::FindDatasetTitle(fx.folders(), QStringLiteral("news_2.ftd")), QStringLiteral("Beta"));
        QCOMPARE(app::mGENERAL::FindDatasetTitle(fx.folders(), QString()), QString());
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    void theActionList_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("no invokes") << QStringList{} << QStringList{"Play", "Update"};
        QTest::newRow("invokes with a trailing ;") << QStringList{"INVOKE:in;out;"} << QStringList{"Play", "Update", "in", "out", ""};
        QTest::newRow("a command") << QStringList{"INVOKE:in", "COMMAND:PLAY 1-1 AMB"} << QStringList{"Custom"};
    }
    void theActionList()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, entries);
        fx.card(QStringLiteral("news"), lines);
        fx.open();
        QCOMPARE(fx.invokes(), entries);
    }

    void aCardWithoutDatasets()
    {
        abcCard();
        fx.open();
        QVERIFY(QFileInfo(fx.dataFolder()).isDir()); // created on first listing
        QCOMPARE(fx.vsDATASET()->rows(), 1);
        QCOMPARE(fx.currentDataset(), QString());
        QCOMPARE(fx.vsTAGS()->rows(), 1);
        QCOMPARE(fx.vsTAGS()->textMatrix(0, TagCol::Id), QStringLiteral("Id"));
        QCOMPARE(fx.vsTAGS()->colWidth(TagCol::Type), 450);
        // Nothing to save to: no file appears.
        app::mGENERAL::SAVEDATASET(*fx.w, fx.currentDataset(), true);
        QCOMPARE(QDir(fx.dataFolder()).entryList(QDir::Files), QStringList());
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    // Greek in one byte per letter, UTF-8 in the copy; a letter outside the code page is "?" in both.
    void theBytesOfBothFiles()
    {
        abcCard();
        fx.dataset(QStringLiteral("news_1.ftd"), {QStringLiteral("TITLE~old")});
        fx.open();
        fx.vsDATASET()->setTextMatrix(1, DatasetCol::Description, QStringLiteral("Βράδυ ж"));
        fx.vsTAGS()->setTextMatrix(2, TagCol::Value, QStringLiteral("Ωμέγα"));
        app::mGENERAL::SAVEDATASET(*fx.w, QStringLiteral("news_1.ftd"), true);
        QCOMPARE(readRaw(fx.data(QStringLiteral("news_1.ftd"))),
                 QByteArray("TITLE~\xc2\xf1\xdc\xe4\xf5 ?\r\nTAG~a;\r\nTAG~b;\xd9\xec\xdd\xe3\xe1\r\nTAG~c;\r\n"));
        QCOMPARE(readRaw(fx.data(QStringLiteral("news_1.ft8"))),
                 QStringLiteral("TITLE~Βράδυ ?\r\nTAG~a;\r\nTAG~b;Ωμέγα\r\nTAG~c;\r\n").toUtf8());
        QVERIFY(!readRaw(fx.data(QStringLiteral("news_1.ft8"))).startsWith("\xef\xbb\xbf"));

        app::mGENERAL::SAVEDATASET(*fx.w, QStringLiteral("news_1.ftd"), false);
        QCOMPARE(readRaw(fx.data(QStringLiteral("news_1.ftd"))), QByteArray("TITLE~\xc2\xf1\xdc\xe4\xf5 ?\r\n"));
        QCOMPARE(readRaw(fx.data(QStringLiteral("news_1.ft8"))), QStringLiteral("TITLE~Βράδυ ?\r\n").toUtf8());
        QCOMPARE(QDir(fx.dataFolder()).entryList(QDir::Files).size(), 2); // no temporary left behind
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    // The copy holds the dataset file's lines as read back, also lines written outside the program.
    void theCopyFollowsTheFileAsRead()
    {
        fx.card(QStringLiteral("news"), {});
        writeRaw(fx.data(QStringLiteral("news_1.ftd")), QByteArray("TITLE~\xe1\rTAG~x;1\nother"));
        fx.open();
        app::mGENERAL::SaveMe8(fx.folders(), QStringLiteral("news_1.ftd"));
        QCOMPARE(readRaw(fx.data(QStringLiteral("news_1.ft8"))), QStringLiteral("TITLE~α\r\nTAG~x;1\r\nother\r\n").toUtf8());
    }

    // Listing the card's datasets makes a copy again when it is missing or older than its dataset,
    // from the dataset as it reads now; a copy as new or newer is kept as it is.
    void theCopyFollowsItsDataset_data()
    {
        QTest::addColumn<int>("copyAge"); // seconds the copy was written before the dataset; none: no copy
        QTest::addColumn<bool>("remade");
        QTest::newRow("missing") << std::numeric_limits<int>::min() << true;
        QTest::newRow("older") << 60 << true;
        QTest::newRow("as new") << 0 << false;
        QTest::newRow("newer") << -60 << false;
    }
    void theCopyFollowsItsDataset()
    {
        QFETCH(int, copyAge);
        QFETCH(bool, remade);
        fx.card(QStringLiteral("news"), {});
        const QString dataset = fx.data(QStringLiteral("news_1.ftd"));
        const QString copy = fx.data(QStringLiteral("news_1.ft8"));
        writeRaw(dataset, "TITLE~\xe1\r\nTAG~x;\xe2\r\n");
        const QDateTime written = QDateTime::currentDateTime().addSecs(-3600);
        const auto stamp = [](const QString& path, const QDateTime& when) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(when, QFileDevice::FileModificationTime));
        };
        stamp(dataset, written);
        if (copyAge != std::numeric_limits<int>::min()) {
            writeRaw(copy, "TITLE~as made before\r\n");
            stamp(copy, written.addSecs(-copyAge));
        }
        fx.open();
        QCOMPARE(fx.column(fx.vsDATASET(), DatasetCol::Description), QStringList{QStringLiteral("α")});
        QCOMPARE(readRaw(copy), remade ? QStringLiteral("TITLE~α\r\nTAG~x;β\r\n").toUtf8() : QByteArray("TITLE~as made before\r\n"));
        QCOMPARE(readRaw(dataset), QByteArray("TITLE~\xe1\r\nTAG~x;\xe2\r\n"));
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    // A project shipped with datasets in data/<name> beside it (the demo): a missing data folder
    // starts as their copy; one that exists, even empty, is the operator's and stays as it is.
    void aShippedProjectStartsWithItsDatasets_data()
    {
        QTest::addColumn<bool>("folderThere");
        QTest::newRow("first use") << false;
        QTest::newRow("the operator's folder") << true;
    }
    void aShippedProjectStartsWithItsDatasets()
    {
        QFETCH(bool, folderThere);
        fx.card(QStringLiteral("news"), {});
        const QString shipped = fx.home.filePath(QStringLiteral("projects/data/news"));
        QVERIFY(QDir().mkpath(shipped));
        writeRaw(shipped + QStringLiteral("/news_1.ftd"), "TITLE~\xe1\r\n");
        writeRaw(shipped + QStringLiteral("/playlist.dat"), "order\r\n");
        if (folderThere)
            QVERIFY(QDir().mkpath(fx.dataFolder()));
        fx.open();
        QCOMPARE(fx.column(fx.vsDATASET(), DatasetCol::Description),
                 folderThere ? QStringList() : QStringList{QStringLiteral("α")});
        QCOMPARE(QDir(fx.dataFolder()).entryList(QDir::Files),
                 folderThere ? QStringList() : (QStringList{"news_1.ft8", "news_1.ftd", "playlist.dat"}));
        if (!folderThere)
            QCOMPARE(readRaw(fx.data(QStringLiteral("playlist.dat"))), QByteArray("order\r\n"));
        QCOMPARE(QDir(shipped).entryList(QDir::Files).size(), 2); // the shipped ones untouched
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
        QDir(fx.home.filePath(QStringLiteral("projects/data"))).removeRecursively();
    }

    void aSaveThatCannotWriteKeepsBothFiles()
    {
        abcCard();
        fx.dataset(QStringLiteral("news_1.ftd"), {QStringLiteral("TITLE~kept")});
        fx.open();
        app::mGENERAL::SaveMe8(fx.folders(), QStringLiteral("news_1.ftd"));
        const QByteArray file = readRaw(fx.data(QStringLiteral("news_1.ftd")));
        const QByteArray copy = readRaw(fx.data(QStringLiteral("news_1.ft8")));
        // The file cannot be read: no copy is made from nothing.
        app::mGENERAL::SaveMe8(fx.folders(), QStringLiteral("news_gone.ftd"));
        QVERIFY(!QFile::exists(fx.data(QStringLiteral("news_gone.ft8"))));
        QCOMPARE(fx.scope->script.reports.size(), 1);
        QVERIFY(fx.scope->script.reports[0].contains(QStringLiteral("Location: Plintor.mGENERAL.SaveMe8")));
        // The data folder is gone: the save is reported, nothing half written anywhere.
        const QString moved = fx.home.filePath(QStringLiteral("moved"));
        QVERIFY(QDir().rename(fx.dataFolder(), moved));
        fx.vsDATASET()->setTextMatrix(1, DatasetCol::Description, QStringLiteral("lost"));
        app::mGENERAL::SAVEDATASET(*fx.w, QStringLiteral("news_1.ftd"), true);
        QVERIFY(fx.scope->script.reports.size() >= 2);
        QVERIFY(fx.scope->script.reports[1].startsWith(QStringLiteral("Error 76")));
        QCOMPARE(readRaw(moved + QStringLiteral("/news_1.ftd")), file);
        QCOMPARE(readRaw(moved + QStringLiteral("/news_1.ft8")), copy);
    }

    void newNames()
    {
        fx.card(QStringLiteral("lower_third"), {});
        fx.open();
        QCOMPARE(app::mGENERAL::RandomString(0), QString());
        QSet<QString> names;
        for (int i = 0; i < 50; ++i) {
            const QString path = app::mGENERAL::CreateUniqueFileName(fx.folders(), QStringLiteral("lower_third"));
            const QString name = project::paths::lastComponent(path);
            QCOMPARE(path, project::paths::join(fx.folders().DataFolder, name));
            QVERIFY2(QRegularExpression(QStringLiteral("^lower_third_[a-z0-9]{8}\\.ftd$")).match(name).hasMatch(), qPrintable(name));
            QVERIFY(!QFile::exists(path));
            writeRaw(path, "TITLE~x\r\n"); // the next name must avoid it
            names.insert(name);
        }
        QCOMPARE(names.size(), 50);
        // Every one of them is listed under its card.
        app::mGENERAL::LOADDATASET(*fx.w, QStringLiteral("lower_third"));
        QCOMPARE(fx.vsDATASET()->rows(), 51);
    }

    // Tags a, b, c; the file holds b and the orphan x.
    void orphans_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes removes them") << true;
        QTest::newRow("No keeps the file") << false;
    }
    void orphans()
    {
        QFETCH(bool, yes);
        abcCard();
        fx.dataset(QStringLiteral("news_1.ftd"), {QStringLiteral("TITLE~Τίτλος"), QStringLiteral("TAG~b;vb"), QStringLiteral("TAG~x;vx")});
        const QByteArray before = readRaw(fx.data(QStringLiteral("news_1.ftd")));
        fx.scope->script.yesNoAnswers.push_back(yes);
        fx.open();
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Id), (QStringList{"a", "b", "c"}));
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Value), (QStringList{"", "vb", ""}));
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Ani), (QStringList{"0", "1", "0"}));
        QCOMPARE(fx.vsTAGS()->textMatrix(0, TagCol::Id), QStringLiteral("Tg"));
        QCOMPARE(fx.vsTAGS()->colWidth(TagCol::Title), 3000);
        QCOMPARE(fx.scope->script.questions,
                 QStringList{QStringLiteral("orphan Tags found|x = vx\r\n\r\n\r\nDo you want to remove it from saved data?")});
        if (yes) {
            QCOMPARE(readRaw(fx.data(QStringLiteral("news_1.ftd"))),
                     QByteArray("TITLE~\xd4\xdf\xf4\xeb\xef\xf2\r\nTAG~a;\r\nTAG~b;vb\r\nTAG~c;\r\n"));
            QCOMPARE(readRaw(fx.data(QStringLiteral("news_1.ft8"))),
                     QStringLiteral("TITLE~Τίτλος\r\nTAG~a;\r\nTAG~b;vb\r\nTAG~c;\r\n").toUtf8());
        } else {
            QCOMPARE(readRaw(fx.data(QStringLiteral("news_1.ftd"))), before);
            // The copy, made when the card was listed, holds the file as it is.
            QCOMPARE(readRaw(fx.data(QStringLiteral("news_1.ft8"))),
                     QStringLiteral("TITLE~Τίτλος\r\nTAG~b;vb\r\nTAG~x;vx\r\n").toUtf8());
        }
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    void tagLines_data()
    {
        QTest::addColumn<QStringList>("cardLines");
        QTest::addColumn<QStringList>("fileLines");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("orphans");
        const QStringList ab{"TAG:A;a;0;text", "TAG:B;b;0;text"};
        QTest::newRow("the later line wins") << ab << QStringList{"TAG~a;one", "TAG~a;two"} << QStringList{"a", "b"}
                                             << QStringList{"two", ""} << "";
        QTest::newRow("a value is cut at ;") << ab << QStringList{"TAG~b;x;y"} << QStringList{"a", "b"}
                                             << QStringList{"", "x"} << "";
        QTest::newRow("ids are case-sensitive") << QStringList{"TAG:N;name;0;text"} << QStringList{"TAG~Name;N"}
                                                << QStringList{"name"} << QStringList{""} << "Name = N\r\n";
        QTest::newRow("no tags: all orphans") << QStringList{} << QStringList{"TAG~a;1", "TAG~b;2"} << QStringList{}
                                              << QStringList{} << "a = 1\r\nb = 2\r\n";
        QTest::newRow("an empty id slot shifts nothing")
            << QStringList{"TAG:A;a;0;text", "TAG:Empty;;0;text", "TAG:B;b;0;text"} << QStringList{"TAG~b;vb", "TAG~a;va"}
            << QStringList{"a", "b"} << QStringList{"va", "vb"} << "";
        QTest::newRow("a repeated id has one row")
            << QStringList{"TAG:A;a;0;text", "TAG:B;b;0;text", "TAG:A again;a;0;text"} << QStringList{"TAG~a;va"}
            << QStringList{"a", "b"} << QStringList{"va", ""} << "";
        QTest::newRow("a saved line without id is an orphan") << ab << QStringList{"TAG~;v"} << QStringList{"a", "b"}
                                                              << QStringList{"", ""} << " = v\r\n";
        QTest::newRow("other keys are passed over") << ab << QStringList{"NOTE~a;x", "TITLE~a;y"} << QStringList{"a", "b"}
                                                    << QStringList{"", ""} << "";
    }
    void tagLines()
    {
        QFETCH(QStringList, cardLines);
        QFETCH(QStringList, fileLines);
        QFETCH(QStringList, ids);
        QFETCH(QStringList, values);
        QFETCH(QString, orphans);
        fx.card(QStringLiteral("news"), cardLines);
        fx.dataset(QStringLiteral("news_1.ftd"), QStringList{QStringLiteral("TITLE~t")} + fileLines);
        fx.open();
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Id), ids);
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Value), values);
        if (orphans.isEmpty())
            QVERIFY(fx.scope->script.questions.isEmpty());
        else
            QVERIFY(fx.scope->script.questions.value(0).startsWith(QStringLiteral("orphan Tags found|") + orphans + QStringLiteral("\r\n\r\n")));
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    void aMissingDatasetFileIsCreatedEmpty()
    {
        abcCard();
        fx.open();
        app::mGENERAL::LOADTAGS(*fx.w, QStringLiteral("news_gone.ftd"));
        QCOMPARE(readRaw(fx.data(QStringLiteral("news_gone.ftd"))), QByteArray());
        QVERIFY(QFile::exists(fx.data(QStringLiteral("news_gone.ftd"))));
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Value), (QStringList{"", "", ""}));
        QVERIFY(fx.scope->script.questions.isEmpty());
    }

    void malformedLinesAreReported_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("an empty line") << QByteArray("TITLE~t\r\n\r\nTAG~a;1\r\n") << "LOADDATASET";
        QTest::newRow("a tag without ;") << QByteArray("TITLE~t\r\nTAG~a\r\n") << "LOADTAGS";
    }
    void malformedLinesAreReported()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, procedure);
        abcCard();
        writeRaw(fx.data(QStringLiteral("news_1.ftd")), bytes);
        fx.open();
        QVERIFY(!fx.scope->script.reports.isEmpty());
        QVERIFY2(fx.scope->script.reports[0].contains(QStringLiteral("Error 9\r\n")), qPrintable(fx.reports()));
        QVERIFY2(fx.scope->script.reports[0].contains(QStringLiteral("Location: Plintor.mGENERAL.") + procedure), qPrintable(fx.reports()));
        QCOMPARE(fx.column(fx.vsDATASET(), DatasetCol::Description), QStringList{QStringLiteral("t")}); // Ignore went on
    }
};

QTEST_MAIN(TestDatasets)
#include "tst_datasets.moc"
