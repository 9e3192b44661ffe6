#pragma once
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

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
inline QString refusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const QString port = QString::number(probe.serverPort());
    probe.close();
    return port;
}
