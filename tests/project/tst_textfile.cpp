#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "failure.h"
#include "fault/runtimeerror.h"
#include "project/folders.h"
#include "project/textfile.h"
#include "project/textlines.h"

class TestTextFile : public QObject {
    Q_OBJECT
private slots:
    void splitLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"};
        QTest::newRow("lone cr") << QByteArray("a\rb") << QList<QByteArray>{"a", "b"};
        QTest::newRow("lone lf") << QByteArray("a\nb\n") << QList<QByteArray>{"a", "b"};
        QTest::newRow("no final end") << QByteArray("a\r\nb") << QList<QByteArray>{"a", "b"};
        QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\nb\r\n") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("only a line end") << QByteArray("\r\n") << QList<QByteArray>{""};
    }
    void splitLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        QCOMPARE(project::textfile::splitLines(bytes), lines);
    }

    void writeLinesEndsEveryLineWithCrLf()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.ftd"));
        project::textfile::writeLines(path, {QStringLiteral("TITLE~Α"), QStringLiteral("TAG~f0;v")});
        {
            QFile f(path); // closed before the file is replaced: Windows refuses to replace an open file
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("TITLE~\xC1\r\nTAG~f0;v\r\n"));
        }
        project::textfile::writeLines(path, {QStringLiteral("Α")}, project::textfile::Encoding::Utf8);
        QCOMPARE(project::textfile::readBytes(path), QByteArray("\xCE\x91\r\n"));
        QCOMPARE(project::textfile::readLines(path, project::textfile::Encoding::Utf8), QStringList{QStringLiteral("Α")});
    }

    // A file-size limit stops the new content half-way, whatever rights the test runs with.
    void aFailedWriteLeavesTheOldFileWhole()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has no per-process file-size limit (setrlimit) nor fork");
#else
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("keep.ftd"));
        project::textfile::writeLines(path, {QStringLiteral("TITLE~old")});
        const QStringList longLines(4096, QStringLiteral("TAG~f0;a value long enough to pass the limit"));

        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            const rlimit limit{4096, 4096};
            std::signal(SIGXFSZ, SIG_IGN);
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                _exit(100);
            _exit(failureNumber([&] { project::textfile::writeLines(path, longLines); }));
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), int(fault::PathFileAccessError));
        QCOMPARE(project::textfile::readBytes(path), QByteArray("TITLE~old\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.ftd")});
#endif
    }

    void failuresNameWhatWentWrong()
    {
        QTemporaryDir dir;
        QCOMPARE(failureNumber([&] { project::textfile::readLines(dir.filePath(QStringLiteral("none.fti"))); }),
                 int(fault::FileNotFound));
        QCOMPARE(failureNumber([&] { project::textfile::listFiles(dir.filePath(QStringLiteral("gone"))); }),
                 int(fault::PathNotFound));
        QCOMPARE(failureNumber([&] { project::textfile::writeLines(dir.filePath(QStringLiteral("gone/x.ftd")), {}); }),
                 int(fault::PathNotFound));
        const fault::RuntimeError missing = failureOf([&] { project::textfile::readLines(dir.filePath(QStringLiteral("none.fti"))); });
        QVERIFY2(missing.description.contains(dir.filePath(QStringLiteral("none.fti"))), qPrintable(missing.description));
    }

    void createFolderMakesMissingParents()
    {
        QTemporaryDir dir;
        const QString deep = dir.filePath(QStringLiteral("data/news"));
        project::textfile::createFolder(deep);
        QVERIFY(project::textfile::folderExists(deep));
    }

};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
