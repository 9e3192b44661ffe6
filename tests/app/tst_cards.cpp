// The card table and grid, read from real card files in a temporary project folder.
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "drive.h"
#include "editor_fixture.h"
#include "failure.h"
#include "project/textfile.h"
#include "scripted.h"
#include "ui/application.h"

namespace CardCol = app::mGENERAL::CardCol;

class TestCards : public QObject {
    Q_OBJECT
    EditorFixture fx;

    void open() { fx.open(); }
    void card(const QString& name, const QStringList& lines) { fx.file(name, lines); }
    QString inProject(const QString& name) const { return fx.projectFolder() + QLatin1Char('/') + name; }

private slots:
    void initTestCase() { fx.setUp(); }
    void init() { fx.start(); }
    void cleanup() { fx.stop(); }

    void onlyFtiFilesAreCards()
    {
        card(QStringLiteral("a.fti"), {QStringLiteral("CARDTITLE:A")});
        card(QStringLiteral("b.FTI"), {QStringLiteral("CARDTITLE:B")});
        card(QStringLiteral("notes.txt"), {QStringLiteral("CARDTITLE:N")});
        card(QStringLiteral("c.old.fti"), {QStringLiteral("CARDTITLE:C")});
        open();
        QCOMPARE(fx.column(fx.vsCARDS(), CardCol::FileName), (QStringList{"a", "c"}));
        QVERIFY(fx.scope->script.reports.isEmpty());
    }

    // The fields themselves are the parser's (tst_cardfile); here what the table keeps of them.
    void theTableKeepsTheMostInvokesSinceStart()
    {
        card(QStringLiteral("news.fti"), {QStringLiteral("INVOKE:in;out;")});
        open();
        // The playlist grid has a step column for every invoke a card has had.
        fx.tbMAIN()->setTab(1);
        const int before = fx.vsPLAYLIST()->cols();
        QVERIFY(before >= playlist::playlistfile::columnCount(3));
        project::State s;
        s.CARDS.assign(2, project::CARD());
        s.CARDS[1].FileName = QStringLiteral("news");
        QCOMPARE(app::mGENERAL::FindCardIndex(s, QStringLiteral("news")), short(1));
        QCOMPARE(app::mGENERAL::FindCardIndex(s, QStringLiteral("News")), short(0));

        // Another project with fewer invokes leaves the largest count as it was.
        QTemporaryDir other;
        writeCodePageLines(other.filePath(QStringLiteral("a.fti")), {QStringLiteral("INVOKE:x")});
        fx.openFolder(other.path());
        fx.tbMAIN()->setTab(1);
        QCOMPARE(fx.vsPLAYLIST()->cols(), before);
        QVERIFY(fx.scope->script.reports.isEmpty());
    }

    void theCardGrid()
    {
        card(QStringLiteral("news.fti"), {QStringLiteral("CARDTITLE:Ειδήσεις"), QStringLiteral("CHANNEL:1"),
                                          QStringLiteral("LAYER:20")});
        card(QStringLiteral("sport.fti"), {QStringLiteral("CARDTITLE:Sport")});
        open();
        ui::Grid& g = *fx.vsCARDS();
        QCOMPARE(g.rows(), 3);
        QCOMPARE(g.cols(), 4);
        QCOMPARE(g.fixedRows(), 1);
        const QStringList headers{QStringLiteral("card index"), QStringLiteral("Title"), QStringLiteral("Ft"),
                                  QStringLiteral("C:L")};
        for (int c = 0; c < 4; ++c)
            QCOMPARE(g.textMatrix(0, c), headers[c]);
        QVERIFY(g.isColumnHidden(CardCol::Index));
        QCOMPARE(g.columnWidth(CardCol::Title), 2200 / 15);
        QCOMPARE(g.columnWidth(CardCol::FileName), 800 / 15);
        QCOMPARE(g.textMatrix(1, CardCol::Index), QStringLiteral("1"));
        QCOMPARE(g.textMatrix(1, CardCol::Title), QStringLiteral("Ειδήσεις"));
        QCOMPARE(g.textMatrix(1, CardCol::FileName), QStringLiteral("news"));
        QCOMPARE(g.textMatrix(1, CardCol::ChannelLayer), QStringLiteral("1:20"));
        QCOMPARE(g.textMatrix(2, CardCol::ChannelLayer), QStringLiteral("0:0"));
        QCOMPARE(g.row(), 1);
        QCOMPARE(g.textMatrix(g.row(), CardCol::Index), QStringLiteral("1"));
        QCOMPARE(fx.currentCardFile(), QStringLiteral("news"));
        // Loading is over: a click on a card is the operator's again.
        QVERIFY(fx.show());
        drive::click(&g, 2, CardCol::Title);
        QCOMPARE(fx.currentCardFile(), QStringLiteral("sport"));
    }

    void linesEndingInLfAloneAreLines()
    {
        writeRaw(inProject(QStringLiteral("lf.fti")), "CARDTITLE:Unix\nCHANNEL:3\nLAYER:4\n");
        writeRaw(inProject(QStringLiteral("cr.fti")), "CARDTITLE:Mac\rCHANNEL:5");
        open();
        QVERIFY(fx.scope->script.reports.isEmpty());
        QCOMPARE(fx.column(fx.vsCARDS(), CardCol::Title), (QStringList{"Mac", "Unix"}));
        QCOMPARE(fx.column(fx.vsCARDS(), CardCol::ChannelLayer), (QStringList{"5:0", "3:4"}));
    }

    void aFolderWithoutCardsShowsOneEmptyRow()
    {
        open();
        QCOMPARE(fx.vsCARDS()->rows(), 2);
        QCOMPARE(fx.vsCARDS()->textMatrix(1, CardCol::Index), QStringLiteral("1"));
        QCOMPARE(fx.vsCARDS()->textMatrix(1, CardCol::Title), QString());
        QCOMPARE(fx.vsCARDS()->textMatrix(1, CardCol::ChannelLayer), QStringLiteral("0:0"));
        QCOMPARE(fx.vsCARDS()->row(), 1);
        QCOMPARE(fx.currentCardFile(), QString());
    }

    // Many cards are read on every core: what each gives is still taken, and reported, in turn.
    void badLinesAreReportedAndLoadingGoesOn_data()
    {
        QTest::addColumn<int>("more");
        QTest::newRow("a few cards") << 0;
        QTest::newRow("two hundred cards") << 200;
    }
    void badLinesAreReportedAndLoadingGoesOn()
    {
        QFETCH(int, more);
        card(QStringLiteral("bad.fti"), {QStringLiteral("CARDTITLE:Bad"), QString(), QStringLiteral("CHANNEL:x"),
                                         QStringLiteral("LAYER:7")});
        card(QStringLiteral("good.fti"), {QStringLiteral("CARDTITLE:Good")});
        QStringList files{"bad", "big"};
        for (int i = 0; i < more; ++i) {
            files << QStringLiteral("f%1").arg(i, 3, 10, QLatin1Char('0'));
            card(files.last() + ".fti", {QStringLiteral("CARDTITLE:F") + QString::number(i), QStringLiteral("TAG:T;t;0;text")});
        }
        files << "good";
        // Too large to be read: read again in its turn, and reported there.
        QFile big(inProject(QStringLiteral("big.fti")));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(project::textfile::kMaxFileBytes + 1));
        big.close();
        open();
        const QStringList& r = fx.scope->script.reports;
        QCOMPARE(r.size(), 4);
        QVERIFY(r[0].startsWith(QStringLiteral("Error 9\r\n")));
        QVERIFY(r[0].contains(QStringLiteral("\r\nLocation: Plintor.mGENERAL.LOADCARDS\r\nLine ")));
        QVERIFY(r[2].startsWith(QStringLiteral("Error 13\r\n")));
        QVERIFY2(r[3].contains(QStringLiteral("big.fti is larger than 16 MiB")), qPrintable(r[3]));
        QCOMPARE(fx.column(fx.vsCARDS(), CardCol::FileName), files);
        QCOMPARE(fx.vsCARDS()->textMatrix(1, CardCol::ChannelLayer), QStringLiteral("0:7"));
    }

    // Only regular files are read; a pipe would block the open for good, a device never ends.
    void onlyRegularFilesAreReadAndNoneTooLarge()
    {
        card(QStringLiteral("a.fti"), {QStringLiteral("CARDTITLE:A"), QStringLiteral("TAG:T;t;0;text")});
#ifndef Q_OS_WIN // Windows has no FIFO nor /dev/zero, and its links are .lnk files: the size limit alone
        QVERIFY(::mkfifo(QFile::encodeName(inProject(QStringLiteral("fifo.fti"))).constData(), 0600) == 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), inProject(QStringLiteral("zero.fti"))));
        QVERIFY(QFile::link(inProject(QStringLiteral("nowhere")), inProject(QStringLiteral("gone.fti"))));
#endif
        QFile big(inProject(QStringLiteral("big.fti")));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(project::textfile::kMaxFileBytes + 1)); // sparse: costs no disk
        big.close();
        fx.dataset(QStringLiteral("a_1.ftd"), {QStringLiteral("TITLE~One"), QStringLiteral("TAG~t;v")});
#ifndef Q_OS_WIN
        QVERIFY(::mkfifo(QFile::encodeName(fx.data(QStringLiteral("a_fifo.ftd"))).constData(), 0600) == 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), fx.data(QStringLiteral("a_zero.ftd"))));
#endif
        open();
        QCOMPARE(fx.column(fx.vsCARDS(), CardCol::FileName), (QStringList{"a", "big"}));
        QCOMPARE(fx.scope->script.reports.size(), 1);
        QVERIFY2(fx.scope->script.reports[0].contains(QStringLiteral("big.fti is larger than 16 MiB")),
                 qPrintable(fx.scope->script.reports[0]));
        QCOMPARE(fx.column(fx.vsDATASET(), app::mGENERAL::DatasetCol::File), QStringList{"a_1.ftd"});
        QCOMPARE(fx.column(fx.vsTAGS(), app::mGENERAL::TagCol::Value), QStringList{"v"});
#ifndef Q_OS_WIN
        QCOMPARE(failureOf([] { project::textfile::readBytes(QStringLiteral("/dev/zero")); }).description,
                 QStringLiteral("Path/File access error: /dev/zero is not a regular file"));
#endif
    }

    // A tag whose id the dataset file could not keep takes no row and is never written.
    void aTagIdHoldingATildeIsReportedAndLeftOut()
    {
        card(QStringLiteral("a.fti"), {QStringLiteral("TAG:T;a~b;0;text"), QStringLiteral("TAG:U;u;0;text")});
        fx.dataset(QStringLiteral("a_1.ftd"), {QStringLiteral("TITLE~One"), QStringLiteral("TAG~u;v")});
        open();
        QCOMPARE(fx.scope->script.reports.size(), 1);
        QCOMPARE(fx.column(fx.vsTAGS(), app::mGENERAL::TagCol::Id), QStringList{"u"});
        QVERIFY(fx.show());
        QVERIFY(drive::edit(fx.vsTAGS(), 1, app::mGENERAL::TagCol::Value, QStringLiteral("w")));
        QCOMPARE(readRaw(fx.data(QStringLiteral("a_1.ftd"))), QByteArray("TITLE~One\r\nTAG~u;w\r\n"));
    }

    void retryListsAFolderThatCameBack()
    {
        const QString later = QDir::toNativeSeparators(inProject(QStringLiteral("later")));
        struct Restore : ScriptedDialogs {
            QString folder;
            fault::Answer errorBox(const QString& report) override
            {
                reports.append(report);
                writeCodePageLines(folder + QStringLiteral("/a.fti"), {QStringLiteral("CARDTITLE:A")});
                return fault::Answer::Retry;
            }
        } restore;
        restore.folder = later;
        ui::setDialogs(&restore);
        restore.folders.push_back(later);
        fx.mnuOPEN()->trigger();
        ui::setDialogs(&fx.scope->script);
        QCOMPARE(restore.reports.size(), 1);
        QVERIFY(restore.reports[0].startsWith(QStringLiteral("Error 76\r\nPath not found: ") + later));
        QCOMPARE(fx.vsCARDS()->textMatrix(1, CardCol::Title), QStringLiteral("A"));
    }
};

QTEST_MAIN(TestCards)
#include "tst_cards.moc"
