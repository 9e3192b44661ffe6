#include "monitor/monitor.h"

#include <QTcpSocket>
#include <QTime>

namespace monitor {

Monitor::Monitor(QIODevice* out, QObject* parent) : QObject(parent), out_(out)
{
    connect(&server_, &QTcpServer::newConnection, this, &Monitor::accept);
}

Monitor::~Monitor()
{
    // The sockets go with the server, after the table of clients: they must not report to it then.
    for (QTcpSocket* socket : clients_.keys())
        socket->disconnect(this);
}

bool Monitor::listen(const QHostAddress& host, quint16 port)
{
    if (server_.listen(host, port))
        return true;
    error_ = server_.errorString();
    return false;
}

bool Monitor::openLog(const QString& path)
{
    log_.setFileName(path);
    if (log_.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    error_ = log_.errorString();
    return false;
}

void Monitor::accept()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        Client& client = clients_[socket];
        client.number = ++connections_;
        print(QStringLiteral("%1 connected from %2 port %3\n")
                  .arg(stamp(client.number), socket->peerAddress().toString())
                  .arg(socket->peerPort()));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { take(socket, socket->readAll()); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { leave(socket); });
    }
}

void Monitor::take(QTcpSocket* socket, const QByteArray& bytes)
{
    auto it = clients_.find(socket);
    if (it == clients_.end())
        return;
    const int number = it->number;
    for (const Frame& frame : it->framer.feed(bytes)) {
        log(frame.bytes + "\r\n");
        const Reading reading = read(frame.bytes);
        QString text = render(stamp(number), reading);
        if (frame.cut())
            text += QStringLiteral("  ! line of %1 bytes: only its first %2 were kept\n")
                        .arg(frame.size)
                        .arg(frame.bytes.size());
        // A client that never reads its replies must not make them pile up without end.
        if (socket->bytesToWrite() < kMaxUnsentReplies)
            socket->write(reading.reply);
        else
            text += QLatin1String("  ! reply dropped: the client reads none of them\n");
        print(text);
        emit lineRead(number, frame, reading);
    }
}

void Monitor::leave(QTcpSocket* socket)
{
    take(socket, socket->readAll()); // what came with the close
    const auto it = clients_.find(socket);
    if (it == clients_.end())
        return;
    const int number = it->number;
    const qint64 unfinished = it->framer.pendingSize();
    QString text = QStringLiteral("%1 disconnected").arg(stamp(number));
    if (unfinished > 0) {
        log(it->framer.pending() + "\r\n"); // ended here, so that the log stays a list of lines
        text += QStringLiteral(" in the middle of a line: %1 byte(s) never ended by CR LF: %2")
                    .arg(unfinished)
                    .arg(printable(QString::fromUtf8(it->framer.pending()), 300));
    }
    print(text + u'\n');
    clients_.erase(it);
    socket->deleteLater();
    emit clientLeft(number, unfinished);
}

void Monitor::print(const QString& text)
{
    if (out_)
        out_->write(text.toUtf8());
}

void Monitor::log(const QByteArray& bytes)
{
    if (log_.isOpen()) {
        log_.write(bytes);
        log_.flush(); // a crash or a kill keeps what came before it
    }
}

QString Monitor::stamp(int client) const
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral(" client %1").arg(client);
}

} // namespace monitor
