#pragma once
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <utility>

/// An HTTP server on 127.0.0.1 that records each request's method, target and body, and answers
/// "200 OK" at once or, while held, only when released.
class HttpRecorder : public QObject {
public:
    struct Request {
        QByteArray method;
        QByteArray target; // the path and query, as sent
        QByteArray body;
    };
    QTcpServer server;
    QList<Request> requests;
    bool holding = false;

    explicit HttpRecorder(quint16 port = 0)
    {
        server.listen(QHostAddress::LocalHost, port);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* peer = server.nextPendingConnection())
                connect(peer, &QTcpSocket::readyRead, this, [this, peer] { read(peer); });
        });
    }
    quint16 port() const { return server.serverPort(); }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port()); }
    /// The bodies sent to one target, in order.
    QList<QByteArray> bodiesTo(const QByteArray& target) const
    {
        QList<QByteArray> bodies;
        for (const Request& r : requests)
            if (r.target == target)
                bodies += r.body;
        return bodies;
    }
    void release()
    {
        holding = false;
        for (QTcpSocket* peer : std::exchange(held_, {}))
            answer(peer);
    }

private:
    void read(QTcpSocket* peer)
    {
        QByteArray& buffer = buffers_[peer];
        buffer += peer->readAll();
        for (;;) {
            const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
            if (headerEnd < 0)
                return;
            const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
            qsizetype length = 0;
            for (const QByteArray& line : lines)
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            if (buffer.size() < headerEnd + 4 + length)
                return;
            const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
            requests.append({requestLine.value(0), requestLine.value(1), buffer.mid(headerEnd + 4, length)});
            buffer.remove(0, headerEnd + 4 + length);
            if (holding)
                held_.append(peer);
            else
                answer(peer);
        }
    }
    static void answer(QTcpSocket* peer) { peer->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"); }

    QHash<QTcpSocket*, QByteArray> buffers_;
    QList<QTcpSocket*> held_;
};
