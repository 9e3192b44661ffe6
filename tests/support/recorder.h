#pragma once
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>

/// A server on 127.0.0.1 that keeps every connection and the exact bytes each one sent, and
/// answers each line it gets when told how.
class Recorder : public QObject {
public:
    QTcpServer server;
    QList<QTcpSocket*> peers;
    QList<QByteArray> received;
    /// The answer to each whole line (CR LF off); none when empty.
    std::function<QByteArray(const QByteArray& line)> answer;
    /// Answers as the server does: "202 <COMMAND> OK", or `refusal` for a line that holds `what`.
    void answerLikeTheServer(const QByteArray& what = {}, const QByteArray& refusal = {})
    {
        answer = [what, refusal](const QByteArray& line) {
            if (!what.isEmpty() && line.contains(what))
                return refusal + "\r\n";
            return "202 " + line.left(line.indexOf(' ')) + " OK\r\n";
        };
    }

    Recorder()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* peer = server.nextPendingConnection()) {
                const qsizetype i = peers.size();
                peers.append(peer);
                received.append(QByteArray());
                auto unanswered = std::make_shared<QByteArray>();
                connect(peer, &QTcpSocket::readyRead, this, [this, peer, i, unanswered] {
                    const QByteArray bytes = peer->readAll();
                    received[i] += bytes;
                    if (!answer)
                        return;
                    *unanswered += bytes;
                    for (qsizetype end; (end = unanswered->indexOf("\r\n")) >= 0; unanswered->remove(0, end + 2))
                        peer->write(answer(unanswered->left(end)));
                });
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
