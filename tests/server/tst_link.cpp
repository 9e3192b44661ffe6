// The server link alone against a real TCP server on the loopback interface.
#include <QTest>

#include "failure.h"
#include "fault/runtimeerror.h"
#include "recorder.h"
#include "server/link.h"

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void theLinkSendsExactBytesAndDropsReplies()
    {
        Recorder r;
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        QCOMPARE(link.State(), int(server::Link::Closed));
        link.Connect(QStringLiteral("127.0.0.1"), QStringLiteral(" ") + r.port() + QStringLiteral("\t"));
        QVERIFY(link.State() != server::Link::Connected); // connecting goes on in the background
        QTRY_COMPARE(link.State(), int(server::Link::Connected));
        QTRY_COMPARE(r.peers.size(), 1);
        // Far more reply than the socket buffers hold: the server could not get rid of it unless
        // the link kept reading.
        r.peers[0]->write(QByteArray(16 << 20, 'R'));
        QTRY_COMPARE_WITH_TIMEOUT(r.peers[0]->bytesToWrite(), qint64(0), 20000);
        link.SendData("CG 1-20 INVOKE 1 \"In\r\n");
        link.SendData(QByteArray("\xce\xb1\r\n"));
        QTRY_COMPARE(r.received[0], QByteArray("CG 1-20 INVOKE 1 \"In\r\n\xce\xb1\r\n"));
        QTRY_COMPARE(link.findChild<QTcpSocket*>()->bytesAvailable(), qint64(0));
        QCOMPARE(link.State(), int(server::Link::Connected));
        link.Close();
        QTRY_COMPARE(r.peers[0]->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(link.State(), int(server::Link::Closed));
        QCOMPARE(failureNumber([&] { link.SendData("x\r\n"); }), 5);
    }

    void aRefusedConnectionNeverCountsAsConnected()
    {
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        link.Connect(QStringLiteral("127.0.0.1"), refusedPort());
        QTRY_COMPARE(link.State(), int(server::Link::Failed));
        QCOMPARE(failureNumber([&] { link.SendData("x\r\n"); }), 5);
        link.Close();
        QCOMPARE(link.State(), int(server::Link::Closed));
    }

    void theServerClosingTheConnection()
    {
        Recorder r;
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        link.Connect(QStringLiteral("127.0.0.1"), r.port());
        QTRY_COMPARE(link.State(), int(server::Link::Connected));
        QTRY_COMPARE(r.peers.size(), 1);
        r.peers[0]->disconnectFromHost();
        QTRY_COMPARE(link.State(), int(server::Link::ClosedByPeer));
        // A new connect request starts over on a fresh connection.
        link.Connect(QStringLiteral("127.0.0.1"), r.port());
        QTRY_COMPARE(link.State(), int(server::Link::Connected));
        link.SendData("CLEAR 1\r\n");
        QTRY_COMPARE(r.peers.size(), 2);
        QTRY_COMPARE(r.received[1], QByteArray("CLEAR 1\r\n"));
        QCOMPARE(r.received[0], QByteArray());
    }

    void portsThatAreNotWholeNumbersFail_data()
    {
        QTest::addColumn<QString>("port");
        for (const char* p : {"", " ", "abc", "0", "65536", "99999999", "52 50", "-1", "+5250", "5250x", "5.5", "٥٢٥٠"})
            QTest::newRow(p) << QString::fromUtf8(p);
    }
    void portsThatAreNotWholeNumbersFail()
    {
        QFETCH(QString, port);
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        try {
            link.Connect(QStringLiteral("127.0.0.1"), port);
            QFAIL("connected");
        } catch (const fault::RuntimeError& e) {
            QCOMPARE(e.number, 5);
            QVERIFY2(e.description.contains(QLatin1Char('"') + port + QLatin1Char('"')), qPrintable(e.description));
        }
        QCOMPARE(link.State(), int(server::Link::Closed));
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
