// The server link and the on-air action against a real TCP server on the loopback interface.
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "app/frmMAIN.h"
#include "fault/runtimeerror.h"
#include "server/link.h"
#include "tests_support.h"
#include "ui/application.h"

namespace {

/// A server on 127.0.0.1 that keeps every connection and the exact bytes each one sent.
class Recorder : public QObject {
public:
    QTcpServer server;
    QList<QTcpSocket*> peers;
    QList<QByteArray> received;

    Recorder()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* peer = server.nextPendingConnection()) {
                const qsizetype i = peers.size();
                peers.append(peer);
                received.append(QByteArray());
                connect(peer, &QTcpSocket::readyRead, this, [this, peer, i] { received[i] += peer->readAll(); });
            }
        });
    }
    QString port() const { return QString::number(server.serverPort()); }
    QByteArray all() const
    {
        QByteArray bytes;
        for (const QByteArray& b : received)
            bytes += b;
        return bytes;
    }
};

/// A port nobody listens on: one the system just gave out and took back.
QString refusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const QString port = QString::number(probe.serverPort());
    probe.close();
    return port;
}

int failureOf(const std::function<void()>& statement)
{
    try {
        statement();
    } catch (const fault::RuntimeError& e) {
        return e.number;
    }
    return 0;
}

} // namespace

class TestOnAir : public QObject {
    Q_OBJECT
    QTemporaryDir home;

private slots:
    void initTestCase()
    {
        ui::setupApplication();
        redirectSettings(home.filePath(QStringLiteral("config")));
    }

    // ---- The link alone ---------------------------------------------------------------------

    void theLinkSendsExactBytesAndDropsReplies()
    {
        Recorder r;
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        QCOMPARE(link.State(), 0);
        link.Connect(QStringLiteral("127.0.0.1"), QStringLiteral(" ") + r.port() + QStringLiteral("\t"));
        QVERIFY(link.State() != 7); // connecting goes on in the background
        QTRY_COMPARE(link.State(), 7);
        QTRY_COMPARE(r.peers.size(), 1);
        // Far more reply than the socket buffers hold: the server could not get rid of it unless
        // the link kept reading.
        r.peers[0]->write(QByteArray(16 << 20, 'R'));
        QTRY_COMPARE_WITH_TIMEOUT(r.peers[0]->bytesToWrite(), qint64(0), 20000);
        link.SendData("CG 1-20 INVOKE 1 \"In\r\n");
        link.SendData(QByteArray("\xce\xb1\r\n"));
        QTRY_COMPARE(r.received[0], QByteArray("CG 1-20 INVOKE 1 \"In\r\n\xce\xb1\r\n"));
        QTRY_COMPARE(link.findChild<QTcpSocket*>()->bytesAvailable(), qint64(0));
        QCOMPARE(link.State(), 7);
        link.Close();
        QTRY_COMPARE(r.peers[0]->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(link.State(), 0);
        QCOMPARE(failureOf([&] { link.SendData("x\r\n"); }), 5);
    }

    void aRefusedConnectionNeverCountsAsConnected()
    {
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        link.Connect(QStringLiteral("127.0.0.1"), refusedPort());
        QTRY_COMPARE(link.State(), 9);
        QCOMPARE(failureOf([&] { link.SendData("x\r\n"); }), 5);
        link.Close();
        QCOMPARE(link.State(), 0);
    }

    void theServerClosingTheConnection()
    {
        Recorder r;
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        link.Connect(QStringLiteral("127.0.0.1"), r.port());
        QTRY_COMPARE(link.State(), 7);
        QTRY_COMPARE(r.peers.size(), 1);
        r.peers[0]->disconnectFromHost();
        QTRY_COMPARE(link.State(), 8);
        // A new connect request starts over on a fresh connection.
        link.Connect(QStringLiteral("127.0.0.1"), r.port());
        QTRY_COMPARE(link.State(), 7);
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
        QCOMPARE(link.State(), 0);
    }
};

QTEST_MAIN(TestOnAir)
#include "tst_onair.moc"
