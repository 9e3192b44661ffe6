// The tree at each switch to "Play list": after any change to the data folder, by another program
// or by this one, it shows what a rebuild from every file shows; only what changed is read again.
#include <QFile>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

#include "playlist_fixture.h"
#include "project/datasetfile.h"
#include "project/textfile.h"
#include "project/titlecache.h"
#include "ui/tabcontrol.h"

class TestSwitch : public QObject {
    Q_OBJECT
    PlaylistFixture fx;

    project::TitleCache& cache() const { return project::TitleCache::of(fx.native("data/news")); }
    void toPage(int tab) { fx.control<ui::TabControl>("tbMAIN")->setTab(tab); }
    // Every node as the operator sees it: its painted text and key, "+" after an open card.
    QString tree() const
    {
        const auto* view = fx.control<ui::Tree>("trLIST");
        const QAbstractItemModel* m = view->model();
        QStringList out;
        for (int i = 0; i < m->rowCount(); ++i) {
            const QModelIndex card = m->index(i, 0);
            out << card.data().toString() + (view->isExpanded(card) ? "+" : "") + ":";
            for (int j = 0; j < m->rowCount(card); ++j) {
                const QModelIndex node = m->index(j, 0, card);
                out << "  " + node.data().toString() + "=" + node.data(ui::TreeModel::KeyRole).toString();
            }
        }
        return out.join('\n');
    }
    // Files set an hour back: anything written by a change is newer than every copy.
    void age(const QString& name)
    {
        QFile file(fx.data(name));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    void studio()
    {
        fx.start();
        fx.card("news", {"CARDTITLE:News", "CHANNEL:1", "LAYER:20"});
        fx.card("sport", {"CARDTITLE:Sport", "CHANNEL:2", "LAYER:20"});
        for (const char* name : {"news_a", "news_b", "news_c", "sport_s"}) {
            fx.copiedDataset(name, QString("Title ") + name, "TAG~f0;x");
            age(QString(name) + ".ftd");
            age(QString(name) + ".ft8");
        }
        fx.writePlaylist("news_a.ftd\r\n");
    }
    void replace(const QString& name, const QByteArray& bytes)
    {
        writeRaw(fx.data("incoming.tmp"), bytes);
        QFile::remove(fx.data(name));
        QVERIFY(QFile::rename(fx.data("incoming.tmp"), fx.data(name)));
    }
    // The file's first bytes written over, its size and modification time kept.
    void rewriteInPlace(const QString& path, const QByteArray& start)
    {
        QFile file(path);
        const QDateTime was = QFileInfo(file).lastModified();
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write(start);
        file.flush();
        QVERIFY(file.setFileTime(was, QFileDevice::FileModificationTime));
    }
    void change(const QString& what)
    {
        if (what == "title changed in place, same size and time") {
            rewriteInPlace(fx.data("news_a.ftd"), "TITLE~Title NEWS_a");
        } else if (what == "changed through its second name") {
            rewriteInPlace(fx.native("linked.ftd"), "TITLE~Title LINK_a");
        } else if (what == "replaced by rename") {
            replace("news_b.ftd", "TITLE~Renamed in\r\n");
        } else if (what == "title made another's") {
            replace("news_a.ftd", "TITLE~Title news_b\r\n");
        } else if (what == "added") {
            writeRaw(fx.data("news_z.ftd"), "TITLE~Added\r\n");
        } else if (what == "removed") {
            QVERIFY(QFile::remove(fx.data("news_c.ftd")));
        } else if (what == "moved to another card") {
            QVERIFY(QFile::rename(fx.data("news_c.ftd"), fx.data("sport_c.ftd")));
        } else if (what == "copy removed") {
            QVERIFY(QFile::remove(fx.data("news_a.ft8")));
        } else if (what == "saved by the program") {
            project::textfile::writeLines(fx.data("news_b.ftd"), {"TITLE~Saved here", "TAG~f0;y"});
        } else if (what == "folder replaced whole") {
            QVERIFY(QDir().rename(fx.dataFolder(), fx.dataFolder() + ".old"));
            QVERIFY(QDir().mkpath(fx.dataFolder()));
            writeRaw(fx.data("sport_n.ftd"), "TITLE~New folder\r\n");
            writeRaw(fx.data("playlist.dat"), "");
        } else if (what == "a burst beyond the queue") {
            // Enough to be read on every core.
            for (int i = 0; i < 300; ++i)
                writeRaw(fx.data(QString("sport_%1.ftd").arg(i)), "TITLE~Burst " + QByteArray::number(i) + "\r\n");
        } else {
            QCOMPARE(what, QString("nothing"));
        }
    }

private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.stop(); }

    void showsWhatIsOnDisk_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("notes");
        QTest::addColumn<QString>("shows");
        QTest::addColumn<int>("reads"); // files read at the switch; -1: not counted
        QTest::addColumn<bool>("whole");
        const struct {
            const char* what;
            const char* shows;
            int reads;
            bool whole;
        } rows[] = {
            {"nothing", "Title news_b", 0, false},
            {"title changed in place, same size and time", "Title NEWS_a", 1, false},
#ifndef Q_OS_WIN
            // A second name outside the folder: no note of the folder's tells of a write through it.
            {"changed through its second name", "Title LINK_a", 1, false},
#endif
            {"replaced by rename", "Renamed in=news_b.ftd", 2, false}, // and its copy follows
            {"title made another's", "Title news_b=news_a.ftd\n  Title news_b=news_b.ftd", 2, false},
            {"added", "Added=news_z.ftd", 2, false},
            {"removed", "Title news_b", 0, false},
            {"moved to another card", "Title news_c=sport_c.ftd", 2, false},
            {"copy removed", "Title news_a", 1, false},
            {"saved by the program", "Saved here=news_b.ftd", 2, false},
            {"folder replaced whole", "New folder=sport_n.ftd", -1, true},
            {"a burst beyond the queue", "Burst 19=sport_19.ftd", -1, true},
        };
#ifdef Q_OS_WIN
        constexpr bool readsWhole = true; // no exact notes nor stamps: every switch reads the folder
#else
        constexpr bool readsWhole = false;
#endif
        for (bool notes : {true, false})
            for (const auto& r : rows)
                QTest::addRow("%s, %s", r.what, notes ? "notes" : "stamps")
                    << QString(r.what) << notes << QString(r.shows) << (notes && !readsWhole ? r.reads : -1)
                    << (readsWhole || (r.whole && (notes || QString(r.what) == "folder replaced whole")));
    }
    void showsWhatIsOnDisk()
    {
        QFETCH(QString, what);
        QFETCH(bool, notes);
        QFETCH(QString, shows);
        QFETCH(int, reads);
        QFETCH(bool, whole);
        studio();
#ifndef Q_OS_WIN
        if (what == "changed through its second name") {
            QFile::remove(fx.native("linked.ftd"));
            QCOMPARE(::link(QFile::encodeName(fx.data("news_a.ftd")).constData(), QFile::encodeName(fx.native("linked.ftd")).constData()), 0);
        }
#endif
        fx.open();
        cache().setNotesUsed(notes);
        cache().setQueueLimit(8);
        toPage(1);
        toPage(0);
        change(what);
        const quint64 before = project::textfile::counts().reads;
        toPage(1);
        const QString shown = tree();
        if (reads >= 0)
            QCOMPARE(project::textfile::counts().reads - before, quint64(reads));
        QCOMPARE(cache().lastWasFull(), whole);
        QVERIFY2(shown.contains(shows), qPrintable(shown));
        // The same page built from every file.
        cache().reset();
        toPage(0);
        toPage(1);
        QCOMPARE(shown, tree());
        QCOMPARE(fx.reports(), QString());
        // Every copy follows its dataset.
        for (const QString& name : QDir(fx.dataFolder()).entryList({"*.ftd"}))
            QVERIFY2(!project::textfile::missingOrOlder(fx.data(project::datasetfile::copyName(name)), fx.data(name)),
                     qPrintable(name));
    }

    // A title of megabytes is painted cut, as the grids cut it, and is kept whole; a name the
    // system's file names cannot carry back is reported once, its bytes shown, and nothing else.
    void hostileNames()
    {
        studio();
        writeRaw(fx.data("news_h.ftd"), "TITLE~" + QByteArray(4 * 1024 * 1024, 'x') + "\r\n");
#ifndef Q_OS_WIN
        // Names in Latin-1 bytes, not valid in the UTF-8 of the system's file names.
        const auto rawFile = [](const QString& folder, const QByteArray& name, const QByteArray& bytes) {
            const int fd = ::open(QFile::encodeName(folder + "/") + name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
            QVERIFY(fd >= 0);
            QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
            ::close(fd);
        };
        rawFile(fx.projectFolder(), "caf\xE9.fti", "CARDTITLE:Cafe\r\nCHANNEL:1\r\nLAYER:1\r\n");
        rawFile(fx.dataFolder(), "news_caf\xE9.ftd", "TITLE~Cafe\r\n");
#endif
        fx.open();
        QVERIFY(fx.show());
        toPage(1);
        toPage(0);
        toPage(1);
        const QModelIndex huge = drive::treeNode(fx.control<ui::Tree>("trLIST"), QString(1000, 'x'));
        QVERIFY(huge.isValid());
        QVERIFY(!fx.control<ui::Tree>("trLIST")->grab().isNull());
#ifndef Q_OS_WIN
        QCOMPARE(fx.scope->script.reports.size(), 2);
        QVERIFY2(fx.scope->script.reports[0].startsWith("Error 52\r\nBad file name: caf\\xE9.fti in "), qPrintable(fx.reports()));
        QVERIFY2(fx.scope->script.reports[1].startsWith("Error 52\r\nBad file name: news_caf\\xE9.ftd in "),
                 qPrintable(fx.reports()));
        QVERIFY(!fx.reports().contains("not found"));
        // Names no QString can give back are removed as they were made, so the home can go.
        ::unlink(QFile::encodeName(fx.projectFolder() + "/") + "caf\xE9.fti");
        ::unlink(QFile::encodeName(fx.dataFolder() + "/") + "news_caf\xE9.ftd");
#endif
    }
};

QTEST_MAIN(TestSwitch)
#include "tst_switch.moc"
