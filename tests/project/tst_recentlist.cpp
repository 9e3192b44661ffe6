#include <QTest>

#include "project/paths.h"
#include "project/recentlist.h"

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
        QCOMPARE(project::recentlist::add(list, path), expected);
    }

    void items()
    {
        QCOMPARE(project::recentlist::items(QString()), QStringList());
        QCOMPARE(project::recentlist::items(QStringLiteral("~b~~a~")), (QStringList{"b", "a"}));
        QCOMPARE(project::recentlist::items(QStringLiteral("~x!y~~z~")), (QStringList{"x!y", "z"}));
    }
};

QTEST_GUILESS_MAIN(TestRecentList)
#include "tst_recentlist.moc"
