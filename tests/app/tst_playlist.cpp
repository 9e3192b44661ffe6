// The playlist page as the operator uses it: the tree, the playlist file and grid, adding by
// double-click, dragging, the hover outline, removing, and the on-air marks.
#include <QFile>
#include <sys/stat.h>

#include "app/playlistlayout.h"
#include "playlist_fixture.h"
#include "ui/pictures.h"

using playlist::Mark;
using ui::palette::Cleared;
using ui::palette::OnAir;

class TestPlaylist : public QObject {
    Q_OBJECT
    PlaylistFixture fx;

    // Cards in folder order: hidden (no title), lower, lower_third, news, ticker (a command).
    void studio()
    {
        fx.card("hidden", {"CARDTITLE:", "CHANNEL:1", "LAYER:1"});
        fx.card("lower", {"CARDTITLE:Lower", "TYPE:MIXER", "CHANNEL:3", "LAYER:30"});
        fx.card("lower_third", {"CARDTITLE:Lower third", "TYPE:VIDEO", "CHANNEL:2", "LAYER:10"});
        fx.card("news", {"CARDTITLE:News", "TYPE:CARD", "CHANNEL:1", "LAYER:20", "INVOKE:In;Out", "TAG:N;f0;0;txt"});
        fx.card("ticker", {"CARDTITLE:Ticker", "CHANNEL:1", "LAYER:5", "INVOKE:Go;Stop",
                           "COMMAND:PLAY {@CHANNEL}-{@LAYER} ticker"});
        fx.dataset("news_a.ftd", {"TITLE~Beta", "TAG~f0;b"});
        fx.dataset("news_b.ftd", {"TITLE~Alpha", "TITLE~Gamma"}); // the tree shows the last title
        fx.dataset("news_c.ftd", {"TITLE~Alpha"});
        fx.dataset("news_d.FTD", {"TITLE~Capitals"});
        fx.dataset("news_e.ftd.bak", {"TITLE~Copy"});
        fx.dataset("lower_third_x.ftd", {"TITLE~LT"});
        fx.dataset("lower_y.ftd", {"TITLE~L"});
        fx.dataset("hidden_z.ftd", {"TITLE~Hidden"});
        fx.dataset("gone_q.ftd", {"TITLE~Gone"});
        fx.dataset("ticker_t.ftd", {"TITLE~T"});
    }
    QString tree() const
    {
        ui::Tree* t = fx.trLIST();
        const QAbstractItemModel* m = t->model();
        QStringList roots;
        for (int i = 0; i < m->rowCount(); ++i) {
            const QModelIndex card = m->index(i, 0);
            QStringList children;
            for (int j = 0; j < m->rowCount(card); ++j) {
                const ui::TreeNode node = t->nodeAt(m->index(j, 0, card));
                children << node.text() + QLatin1Char('=') + node.key() + (node.tag() == "D" ? "" : "?");
            }
            const ui::TreeNode node = t->nodeAt(card);
            roots << node.text() + (node.tag() == "C" && t->isExpanded(card) ? ":" : "?:") + children.join(',');
        }
        return roots.join(' ');
    }
    void doubleClick(const QString& text)
    {
        const QModelIndex node = drive::treeNode(fx.trLIST(), text);
        QVERIFY(node.isValid());
        const QPoint at = fx.trLIST()->visualRect(node).center();
        QTest::mouseClick(fx.trLIST()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(fx.trLIST()->viewport(), Qt::LeftButton, {}, at);
    }
    QStringList files() const { return fx.column(fx.grid(), 0); }

private slots:
    void initTestCase() { fx.setUp(); }
    void init() { fx.start(); }
    void cleanup() { fx.stop(); }

    void theTreeIsRebuiltOnEverySwitchAndThePlaylistLoadedOnce()
    {
        studio();
        fx.writePlaylist("news_a.ftd\r\n");
        fx.openPage();
        const QString shown = "Lower:L=lower_y.ftd Lower third:LT=lower_third_x.ftd "
                              "News:Alpha=news_c.ftd,Beta=news_a.ftd,Gamma=news_b.ftd Ticker:T=ticker_t.ftd";
        QCOMPARE(tree(), shown);
        QCOMPARE(files(), QStringList{"news_a.ftd"});

        fx.trLIST()->collapse(drive::treeNode(fx.trLIST(), "News"));
        fx.dataset("news_f.ftd", {"TITLE~Delta"});
        fx.writePlaylist("ticker_t.ftd\r\n");
        fx.mark(1, Step2, Mark::OnAir);
        for (int i = 0; i < 3; ++i) {
            fx.tbMAIN()->setTab(0);
            fx.showPage();
        }
        QCOMPARE(tree(), QString(shown).replace("Beta=news_a.ftd,", "Beta=news_a.ftd,Delta=news_f.ftd,"));
        QCOMPARE(files(), QStringList{"news_a.ftd"});
        QCOMPARE(fx.grid()->cellBackColor(1, Step2), OnAir);
        QCOMPARE(fx.reports(), QString());
    }

    void treeFailures_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no data folder") << 0 << "Error 76\r\nPath not found" << "News:";
        QTest::newRow("two cards, one name") << 1 << "Error 35602\r\nKey is not unique" << "News again:One=news_1.ftd";
        QTest::newRow("unreadable dataset") << 2 << "Error 75" << "News:One=news_1.ftd";
        QTest::newRow("empty line") << 3 << "Error 9\r\n" << "News:One=news_1.ftd,Two=news_2.ftd";
    }
    void treeFailures()
    {
        QFETCH(int, kind);
        QFETCH(QString, report);
        QFETCH(QString, shown);
        fx.card("news", {"CARDTITLE:News"});
        if (kind == 1)
            fx.card("news.copy", {"CARDTITLE:News again"});
        if (kind > 0)
            fx.dataset("news_1.ftd", {"TITLE~One"});
        if (kind == 2) { // larger than any dataset: reported, not read
            QFile big(fx.data("news_2.ftd"));
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(17 << 20));
        }
        if (kind == 3)
            writeRaw(fx.data("news_2.ftd"), "TITLE~Two\r\n\r\nTAG~a;b\r\n");
        fx.openFolder(fx.projectFolder());
        if (kind == 0)
            QDir(fx.dataFolder()).removeRecursively(); // the card's listing made it
        fx.scope->script.reports.clear();
        fx.tbMAIN()->setTab(1);
        QCOMPARE(tree(), shown);
        QVERIFY2(fx.scope->script.reports.value(0).startsWith(report), qPrintable(fx.reports()));
        QVERIFY2(fx.scope->script.reports.value(0).contains("LOADTREELIST"), qPrintable(fx.reports()));
    }

    void loadingThePlaylistFile()
    {
        studio();
        fx.dataset("../outside_1.ftd", {"TITLE~Outside"});
        fx.writePlaylist("news_a.ftd\r\nticker_t.ftd\r\ngone_q.ftd\r\nmissing_1.ftd\r\n../outside_1.ftd\r\n"
                         "..\\news_a.ftd\r\n..\r\n\r\nlower_third_x.ftd\r\nnews_b.ftd");
        fx.openPage();
        QCOMPARE(fx.scope->script.reports.size(), 1); // the empty line
        QVERIFY(fx.reports().contains("empty line"));
        ui::Grid* g = fx.grid();
        QCOMPARE(g->cols(), 2 + 8);
        QCOMPARE(fx.row(0), (QStringList{"datasetfile", "Type", "Description", "Ft", "C", "L", "", "", "", ""}));
        QCOMPARE(fx.row(1), (QStringList{"news_a.ftd", "", "Beta", "News", "1", "20", "Play", "Update", "In", "Out"}));
        QCOMPARE(fx.row(2), (QStringList{"ticker_t.ftd", "", "T", "Ticker", "1", "5", "Custom", "", "", ""}));
        QCOMPARE(fx.row(3), (QStringList{"gone_q.ftd", "", "Gone", "", "0", "0", "Play", "Update", "", ""}));
        QCOMPARE(fx.row(4), (QStringList{"lower_third_x.ftd", "", "LT", "Lower third", "2", "10", "Play", "Update", "", ""}));
        QCOMPARE(fx.row(5).at(2), QString("Alpha")); // the first title
        for (int r = 1; r <= 5; ++r)
            QCOMPARE(fx.colours(r), fx.painted(r, ui::palette::rest(r)));
        QCOMPARE(g->cellPicture(1, 1).toImage(), ui::cardTypePicture(2).toImage());
        QCOMPARE(g->cellPicture(4, 1).toImage(), ui::cardTypePicture(1).toImage());

        QVERIFY(g->isColumnHidden(0));
        QCOMPARE(g->columnWidth(2), ui::pixels(3100));
        QCOMPARE(g->columnWidth(Step1), ui::pixels((683 * 15 - 5600) / 4));
        QCOMPARE(app::playlistlayout::stepWidth(5000, 2), app::playlistlayout::kMinStepWidth);

        fx.click(1, 1); // a press and release on "Type" saves: the dropped lines go
        QCOMPARE(fx.playlist(), QByteArray("news_a.ftd\r\nticker_t.ftd\r\ngone_q.ftd\r\nlower_third_x.ftd\r\nnews_b.ftd\r\n"));
    }

    // A failure met reading a card, dataset or playlist line says which file and line.
    void readFailuresSayWhere_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("description");
        QTest::newRow("card") << "projects/news/bad.fti" << QByteArray("CARDTITLE:Bad\r\nTYPE:CARD\r\nCHANNEL:one\r\n")
                              << "LOADCARDS" << "Type mismatch: \"one\" is not a number (bad.fti, line 3)";
        QTest::newRow("dataset listed") << "data/news/news_1.ftd" << QByteArray("TAG~f0;x\r\nTITLE\r\n") << "LOADDATASET"
                                        << "Subscript out of range: item 2 of 1 (news_1.ftd, line 2)";
        QTest::newRow("an empty line") << "data/news/news_1.ftd" << QByteArray("TITLE~A\r\n\r\n") << "LOADDATASET"
                                       << "Subscript out of range: item 2 of 0 (news_1.ftd, line 2)";
        QTest::newRow("tag value") << "data/news/news_1.ftd" << QByteArray("TITLE~A\r\nTAG~f1;x\r\nTAG~f0\r\n") << "LOADTAGS"
                                   << "Subscript out of range: item 2 of 1 (news_1.ftd, line 3)";
        QTest::newRow("tree") << "data/news/news_2.ftd" << QByteArray("TAG~f0;x\r\nTAG~f0;y\r\nTITLE\r\n") << "LOADTREELIST"
                              << "Subscript out of range: item 2 of 1 (news_2.ftd, line 3)";
        QTest::newRow("playlist") << "data/news/playlist.dat" << QByteArray("news_a.ftd\r\n\r\nnews_a.ftd\r\n") << "LOADPLAYLIST"
                                  << "(playlist.dat, line 2)";
    }
    void readFailuresSayWhere()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, procedure);
        QFETCH(QString, description);
        fx.card("news", {"CARDTITLE:News", "TAG:N;f0;0;txt"});
        fx.dataset("news_a.ftd", {"TITLE~Beta", "TAG~f0;b"});
        writeRaw(fx.home.filePath(file), bytes);
        fx.openPage();
        const QStringList reports = fx.scope->script.reports;
        const auto report = std::find_if(reports.cbegin(), reports.cend(), [&](const QString& r) {
            const QStringList lines = r.split("\r\n");
            return lines.size() == 4 && lines[1].endsWith(description) && lines[2] == "Location: Plintor.mGENERAL." + procedure &&
                   lines[3].startsWith("Line ");
        });
        QVERIFY2(report != reports.cend(), qPrintable(fx.reports()));
    }

    // A playlist.dat that cannot be read is never written over: adding, dragging and removing are
    // refused with the reason, until the file is read again.
    void anUnreadPlaylistIsKept_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<QString>("why");
        QTest::newRow("over 16 MiB") << false << "larger than 16 MiB";
        QTest::newRow("a FIFO") << true << "not a regular file";
    }
    void anUnreadPlaylistIsKept()
    {
        QFETCH(bool, fifo);
        QFETCH(QString, why);
        studio();
        const QString path = fx.data(QStringLiteral("playlist.dat"));
        QByteArray big;
        if (fifo) {
#ifdef Q_OS_WIN
            QSKIP("Windows has no FIFO");
#else
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        } else {
            while (big.size() <= 16 * 1024 * 1024)
                big += "news_a.ftd\r\n";
            fx.writePlaylist(big);
        }
        fx.openPage();
        QCOMPARE(fx.scope->script.reports.size(), 1);
        QVERIFY2(fx.reports().contains(why), qPrintable(fx.reports()));

        doubleClick(QStringLiteral("Beta"));
        fx.click(0, 1);         // a drag's press and release
        fx.removeByMenu(0);
        QCOMPARE(fx.scope->script.reports.size(), 4);
        for (int i = 1; i < 4; ++i)
            QVERIFY2(fx.scope->script.reports[i].contains("playlist.dat could not be read"), qPrintable(fx.reports()));
        QCOMPARE(fx.grid()->rows(), 1);
        if (fifo)
            QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
        else
            QVERIFY(fx.playlist() == big);

        // The cause gone, the next switch to the page reads it.
        QFile::remove(path);
        fx.writePlaylist("news_a.ftd\r\n");
        fx.tbMAIN()->setTab(0);
        fx.showPage();
        QCOMPARE(files(), QStringList{"news_a.ftd"});
        doubleClick(QStringLiteral("Beta"));
        QCOMPARE(fx.playlist(), QByteArray("news_a.ftd\r\nnews_a.ftd\r\n"));
        QCOMPARE(fx.scope->script.reports.size(), 4);
    }

    void addingFromTheTree()
    {
        studio();
        fx.openPage();
        QVERIFY(QFile::exists(fx.data("playlist.dat")));
        QCOMPARE(fx.playlist(), QByteArray());
        QCOMPARE(fx.grid()->rows(), 1);
        doubleClick("News");
        QCOMPARE(fx.grid()->rows(), 1);
        doubleClick("Beta");
        doubleClick("Beta");
        doubleClick("T");
        QCOMPARE(fx.playlist(), QByteArray("news_a.ftd\r\nnews_a.ftd\r\nticker_t.ftd\r\n"));
        QCOMPARE(fx.row(3), (QStringList{"ticker_t.ftd", "", "T", "Ticker", "1", "5", "Custom", "Go", "Stop", ""}));
        QCOMPARE(fx.colours(3), (QList<quint32>{0, 0, 0, 0, 0, Cleared, Cleared, Cleared, Cleared}));

        fx.open();
        fx.showPage();
        QCOMPARE(fx.row(3).mid(Step1), (QStringList{"Custom", "", "", ""}));
        QCOMPARE(fx.reports(), QString());
    }

    void draggingARow()
    {
        studio();
        fx.writePlaylist("news_a.ftd\r\nnews_b.ftd\r\nnews_c.ftd\r\nlower_y.ftd\r\nticker_t.ftd\r\n");
        fx.openPage();
        const QByteArray before = fx.playlist();
        fx.mark(3, Step2, Mark::OnAir); // row 3 (odd) goes to row 2 (even)
        fx.press(0, 2);
        QCOMPARE(fx.grid()->viewport()->cursor().shape(), Qt::ArrowCursor); // no drag from the header

        fx.press(2, 2);
        QCOMPARE(fx.grid()->viewport()->cursor().shape(), Qt::ClosedHandCursor);
        fx.moveHolding(3, 2);
        fx.moveHolding(4, Step1); // over a step cell the row stays
        fx.moveHolding(4, 1);
        fx.moveHolding(0, 2); // and over the header
        fx.moveHolding(5, 2);
        fx.release(5, Step2); // not over "Type" or "Description": the drag goes on
        QCOMPARE(fx.grid()->viewport()->cursor().shape(), Qt::ClosedHandCursor);
        QCOMPARE(fx.playlist(), before);
        const QStringList moved{"news_a.ftd", "news_c.ftd", "lower_y.ftd", "ticker_t.ftd", "news_b.ftd"};
        QCOMPARE(files(), moved);
        QCOMPARE(fx.grid()->row(), 5);

        fx.release(5, 1);
        QCOMPARE(fx.grid()->viewport()->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(fx.playlist(), ("news_a.ftd\r\n" + moved.mid(1).join("\r\n") + "\r\n").toLatin1());
        QList<quint32> marked = fx.painted(2, ui::palette::RestEven);
        marked[Step2 - 1] = OnAir;
        QCOMPARE(fx.colours(2), marked);
        QCOMPARE(fx.colours(5), fx.painted(5, ui::palette::RestOdd));
        QCOMPARE(fx.grid()->cellPicture(3, 1).toImage(), ui::cardTypePicture(3).toImage()); // the rows took theirs along
        QCOMPARE(fx.grid()->cellPicture(5, 1).toImage(), ui::cardTypePicture(2).toImage());
    }

    void hoverOutlineAndRemoving()
    {
        studio();
        fx.writePlaylist("news_a.ftd\r\nnews_b.ftd\r\nnews_c.ftd\r\n");
        fx.openPage();
        fx.mark(2, Step2, Mark::OnAir);
        ui::Grid* g = fx.grid();
        QList<int> widths;
        quint32 colour = 1;
        fx.hover(2, Step2);
        QVERIFY(g->cellBorder(2, &colour, &widths));
        QCOMPARE(colour, quint32(0));
        QCOMPARE(widths, (QList<int>{2, 2, 2, 2}));
        fx.hover(3);
        QVERIFY(!g->cellBorder(2));
        QVERIFY(g->cellBorder(3));
        QCOMPARE(g->row(), 3);
        fx.hover(-1); // below the last row: no row
        QCOMPARE(g->row(), 3);

        fx.removeByMenu(3);
        QCOMPARE(fx.playlist(), QByteArray("news_a.ftd\r\nnews_b.ftd\r\n"));
        fx.hover(1); // the outlined row went: the hover starts from the last row
        QCOMPARE(g->row(), 1);
        QVERIFY(g->cellBorder(1) && !g->cellBorder(2));
        fx.removeByMenu(1);
        QCOMPARE(fx.colours(1).at(Step2 - 1), OnAir); // the mark went up with its entry
        fx.hover(1);
        fx.removeByMenu(1);
        QCOMPARE(g->rows(), 1);
        QCOMPARE(fx.playlist(), QByteArray());
        fx.removeByMenu(0); // the header as current row: nothing
        QCOMPARE(fx.reports(), QString());
    }
};

QTEST_MAIN(TestPlaylist)
#include "tst_playlist.moc"
