// Paths as the program makes them whole and cuts them.
#include <QDir>
#include <QTest>

#include "project/paths.h"

namespace {
// A path as the platform writes it: on Windows from a drive, with backslashes.
#ifdef Q_OS_WIN
const QString root = QStringLiteral("C:");
#else
const QString root;
#endif
QString native(const QString& path) { return QDir::toNativeSeparators(root + path); }
} // namespace

class TestPaths : public QObject {
    Q_OBJECT
private slots:
    void normalFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("normal");
        QTest::newRow("plain") << native("/p/news") << native("/p/news");
        QTest::newRow("trailing separator") << native("/p/news/") << native("/p/news");
        QTest::newRow("root keeps its separator") << native("/") << native("/");
        QTest::newRow("the root's parent") << native("/..") << native("/");
        QTest::newRow("dot and dot-dot") << native("/p/./news/sub/..") << native("/p/news");
        QTest::newRow("above the root") << native("/../p") << native("/p");
        QTest::newRow("doubled separators") << native("/p//news//") << native("/p/news");
        QTest::newRow("relative") << "news" << QDir::toNativeSeparators(QDir::currentPath() + "/news");
        QTest::newRow("dot") << "." << QDir::toNativeSeparators(QDir::currentPath());
        QTest::newRow("empty") << "" << "";
#ifdef Q_OS_WIN
        QTest::newRow("slashes read too") << "C:/p/news/" << "C:\\p\\news";
        QTest::newRow("no drive: the current one")
            << "\\p\\news" << QDir::toNativeSeparators(QDir::currentPath().left(2) + "/p/news");
        QTest::newRow("a share") << "\\\\studio\\shows\\news\\" << "\\\\studio\\shows\\news";
#endif
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
        QTest::newRow("folders") << native("/home/op/shows/news") << "news";
        QTest::newRow("no separator") << "news" << "news";
        QTest::newRow("root") << native("/") << "";
        QTest::newRow("trailing separator") << native("/p/") << "";
#ifdef Q_OS_WIN
        QTest::newRow("slashes read too") << "C:/op/shows/news" << "news";
#endif
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
