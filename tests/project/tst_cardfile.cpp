#include <QTest>

#include "project/cardfile.h"

class TestCardFile : public QObject {
    Q_OBJECT
private slots:
    void cardFileNames()
    {
        QVERIFY(cardfile::isCardFile(QStringLiteral("news.fti")));
        QVERIFY(cardfile::isCardFile(QStringLiteral("news.old.fti")));
        QVERIFY(!cardfile::isCardFile(QStringLiteral("news.FTI")));
        QVERIFY(!cardfile::isCardFile(QStringLiteral("fti")));
        QCOMPARE(cardfile::baseName(QStringLiteral("news.old.fti")), QStringLiteral("news"));
        QCOMPARE(cardfile::invokeCount(QStringLiteral("in;out;")), 3);
        QCOMPARE(cardfile::invokeCount(QString()), 0);
        QCOMPARE(cardfile::typeCode(QStringLiteral("video")), short(1));
        QCOMPARE(cardfile::typeCode(QStringLiteral(" VIDEO")), short(0));
        QCOMPARE(cardfile::typeCode(QStringLiteral("Mixer")), short(3));
    }
};

QTEST_GUILESS_MAIN(TestCardFile)
#include "tst_cardfile.moc"
