#include <QDir>
#include <QTest>

#include "project/recentlist.h"
#include "project/textfile.h"

class TestRecentList : public QObject {
    Q_OBJECT
private slots:
    void add_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("into empty") << "" << "/p/a" << "~/p/a~";
        QTest::newRow("newest first") << "~/p/a~" << "/p/b" << "~/p/b~~/p/a~";
        QTest::newRow("already first") << "~/p/b~~/p/a~" << "/p/b" << "~/p/b~~/p/a~";
        QTest::newRow("third moves first") << "~c~~b~~a~" << "a" << "~a~~c~~b~";
        QTest::newRow("sixth drops oldest") << "~e~~d~~c~~b~~a~" << "f" << "~f~~e~~d~~c~~b~";
        QTest::newRow("case differs") << "~/P/a~" << "/p/a" << "~/p/a~~/P/a~";
        QTest::newRow("a path with ! is one entry") << "~d~~c~~b~~a!z~" << "f" << "~f~~d~~c~~b~~a!z~";
        QTest::newRow("a path with ~ is not listed") << "~/p/a~" << "/p/~b" << "~/p/a~";
    }
    void add()
    {
        QFETCH(QString, list);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(recentlist::add(list, path), expected);
    }

    void items()
    {
        QCOMPARE(recentlist::items(QString()), QStringList());
        QCOMPARE(recentlist::items(QStringLiteral("~b~~a~")), (QStringList{"b", "a"}));
        QCOMPARE(recentlist::items(QStringLiteral("~x!y~~z~")), (QStringList{"x!y", "z"}));
    }

    void normalFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("normal");
        QTest::newRow("plain") << "/p/news" << "/p/news";
        QTest::newRow("trailing separator") << "/p/news/" << "/p/news";
        QTest::newRow("root keeps its separator") << "/" << "/";
        QTest::newRow("the root's parent") << "/.." << "/";
        QTest::newRow("dot and dot-dot") << "/p/./news/sub/.." << "/p/news";
        QTest::newRow("above the root") << "/../p" << "/p";
        QTest::newRow("doubled separators") << "/p//news//" << "/p/news";
        QTest::newRow("relative") << "news" << QDir::currentPath() + "/news";
        QTest::newRow("dot") << "." << QDir::currentPath();
        QTest::newRow("empty") << "" << "";
    }
    void normalFolder()
    {
        QFETCH(QString, path);
        QFETCH(QString, normal);
        QCOMPARE(textfile::normalFolder(path), normal);
    }

    void lastComponent_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("folders") << "/home/op/shows/news" << "news";
        QTest::newRow("no separator") << "news" << "news";
        QTest::newRow("root") << "/" << "";
        QTest::newRow("trailing separator") << "/p/" << "";
    }
    void lastComponent()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(textfile::lastComponent(path), name);
    }
};

QTEST_GUILESS_MAIN(TestRecentList)
#include "tst_recentlist.moc"
