// Abort ends the program at once: nothing after the failing statement runs, and the recent
// list changed since start is not written.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "settings.h"

class TestAbort : public QObject {
    Q_OBJECT
private slots:
    void abortSkipsEverythingThatClosingWouldDo()
    {
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("config"));
        redirectSettings(config);
        storeRecentList(QStringLiteral("~/before~"));
        QProcess helper;
        helper.start(QStringLiteral(ABORT_HELPER),
                     {config, dir.filePath(QStringLiteral("data")), dir.filePath(QStringLiteral("missing"))});
        QVERIFY(helper.waitForFinished(30000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), 1);
        QVERIFY(!helper.readAllStandardOutput().contains("survived"));
        QCOMPARE(storedRecentList(), QStringLiteral("~/before~"));
    }
};

QTEST_GUILESS_MAIN(TestAbort)
#include "tst_abort.moc"
