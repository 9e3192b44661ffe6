#include <QTest>

#include "app/recentlist.h"
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
        // "!" splits a path in two; a "~" inside a path disappears.
        QCOMPARE(recentlist::items(QStringLiteral("~x!y~")), (QStringList{"x", "y"}));
        QCOMPARE(recentlist::items(QStringLiteral("~/p/a~b~")), (QStringList{"/p/ab"}));
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
