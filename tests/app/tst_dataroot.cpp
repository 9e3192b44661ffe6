#include <QCoreApplication>
#include <QDir>
#include <QTest>

#include "app/options.h"

// Where the datasets go, over the two questions asked at start.
class TestDataRoot : public QObject {
    Q_OBJECT
private slots:
    void choose_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("dataBesideProgram");
        QTest::addColumn<QString>("expected");
        QTest::newRow("given wins over a portable install") << "/srv/show" << true << "/srv/show";
        QTest::newRow("given") << "/srv/show" << false << "/srv/show";
        QTest::newRow("portable install") << "" << true << "/opt/plintor/bin/data";
        QTest::newRow("installed: the user's own folder") << "" << false << "/home/op/.local/share/Plintor/data";
    }
    void choose()
    {
        QFETCH(QString, given);
        QFETCH(bool, dataBesideProgram);
        QFETCH(QString, expected);
        QCOMPARE(app::chooseDataRoot(given, QStringLiteral("/opt/plintor/bin"), dataBesideProgram,
                                QStringLiteral("/home/op/.local/share/Plintor")),
                 QDir::toNativeSeparators(expected));
    }

    // The user's own folder, as the system names it (no data folder stands beside the test).
    void theUsersOwnFolder()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Plintor"));
#ifdef Q_OS_WIN
        const QString expected = qEnvironmentVariable("LOCALAPPDATA") + QStringLiteral("\\Plintor\\data");
        const Qt::CaseSensitivity names = Qt::CaseInsensitive;
#else
        const QString expected = qEnvironmentVariable("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share")) +
                                 QStringLiteral("/Plintor/data");
        const Qt::CaseSensitivity names = Qt::CaseSensitive;
#endif
        const QString root = app::dataRootFor(app::Options{});
        QVERIFY2(root.compare(expected, names) == 0, qPrintable(root + QStringLiteral(" is not ") + expected));
    }
};

QTEST_GUILESS_MAIN(TestDataRoot)
#include "tst_dataroot.moc"
