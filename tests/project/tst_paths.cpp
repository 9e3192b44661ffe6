// Paths as the program makes them whole and cuts them.
#include <QDir>
#include <QTest>

#include "project/paths.h"

class TestPaths : public QObject {
    Q_OBJECT
private slots:
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
        QCOMPARE(project::paths::normalFolder(path), normal);
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
        QCOMPARE(project::paths::lastComponent(path), name);
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
