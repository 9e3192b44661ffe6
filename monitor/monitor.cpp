#include "monitor/monitor.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTime>

#include "monitor/printout.h"
#include "version.h"

namespace monitor {

namespace {

QByteArray versionLine()
{
    return "plintor-monitor " + version::text().toUtf8();
}

// Bytes taken from a connection at a time: what is beyond them waits in the system's buffers, and
// a client that sends faster than it is served is slowed down there.
constexpr qint64 kChunk = 64 << 10;

} // namespace

Monitor::Monitor(QIODevice* out, QObject* parent, const Limits& limits)
    : QObject(parent), limits_(limits), printout_(out ? std::make_unique<Printout>(out) : nullptr),
      stage_(Channels(), versionLine()), chunk_(kChunk, '\0')
{
    connect(&server_, &QTcpServer::newConnection, this, &Monitor::accept);
    turn_.setSingleShot(true);
    turn_.setInterval(0);
    connect(&turn_, &QTimer::timeout, this, &Monitor::serveRound);
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

void Monitor::setChannels(const Channels& channels)
{
    stage_ = Stage(channels, versionLine());
}

bool Monitor::openLog(const QString& path)
{
    log_.setFileName(path);
    if (log_.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    error_ = log_.errorString();
    return false;
}

Monitor::Client* Monitor::client(QTcpSocket* socket)
{
    const auto it = clients_.find(socket);
    return it == clients_.end() ? nullptr : &*it;
}

void Monitor::accept()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setReadBufferSize(kChunk);
        Client& c = clients_[socket];
        c.number = ++connections_;
        c.framer = LineFramer(limits_.maxLine);
        print(QStringLiteral("%1 connected from %2 port %3\n")
                  .arg(stamp(c.number), socket->peerAddress().toString())
                  .arg(socket->peerPort()));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { wake(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { heard(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (Client* leaving = client(socket)) {
                leaving->gone = true; // served to the end of what it sent, then finished
                leaving->waiting = false;
                wake(socket);
            }
        });
        wake(socket); // what came with the connection
    }
}

void Monitor::wake(QTcpSocket* socket)
{
    Client* c = client(socket);
    if (!c || c->queued || c->waiting)
        return;
    c->queued = true;
    round_.append(socket);
    if (!turn_.isActive())
        turn_.start();
}

// Every client that has lines gets one slice; new data, connections and replies are then taken
// care of before the next round.
void Monitor::serveRound()
{
    const QList<QTcpSocket*> turn = std::exchange(round_, {});
    for (QTcpSocket* socket : turn) {
        if (Client* c = client(socket)) {
            c->queued = false;
            serve(socket);
        }
    }
}

void Monitor::serve(QTcpSocket* socket)
{
    QElapsedTimer slice;
    slice.start();
    for (int lines = 0; lines < limits_.sliceLines && slice.nsecsElapsed() < limits_.sliceNs;) {
        Client* c = client(socket);
        if (!c || repliesWait(socket, *c))
            return;
        // Up to the end of a line at most, so that a chunk ends one line or none.
        const qint64 size = socket->readLine(chunk_.data(), chunk_.size());
        if (size <= 0)
            break;
        for (const Frame& frame : c->framer.feed(QByteArrayView(chunk_.data(), size))) {
            answer(socket, frame);
            ++lines;
        }
        if (Client* still = client(socket))
            hold(*still);
    }
    Client* c = client(socket);
    if (!c)
        return;
    socket->flush(); // the replies go out as they are made
    if (socket->bytesAvailable() > 0)
        wake(socket);
    else if (c->gone)
        finish(socket);
}

void Monitor::answer(QTcpSocket* socket, const Frame& frame)
{
    Client* c = client(socket);
    if (!c)
        return;
    logLine(frame.bytes);
    const Reading reading = read(frame.bytes, refusal_, &stage_);
    QString note;
    if (c->gone)
        note = QStringLiteral("  ! reply not sent: the client has gone\n");
    else if (c->deaf)
        note = QStringLiteral("  ! reply dropped: none of the client's replies has gone out for more than %1 ms\n")
                   .arg(limits_.deafAfterMs);
    else
        socket->write(reading.reply);
    if (printout_) {
        QString text = render(stamp(c->number), reading);
        if (frame.cut())
            text += QStringLiteral("  ! line of %1 bytes: only its first %2 were kept\n")
                        .arg(frame.size)
                        .arg(frame.bytes.size());
        print(text + note);
    }
    emit lineRead(c->number, frame, reading);
}

// A client whose replies pile up is not served until they go out; if none goes out for a while,
// it reads nothing, and it is served on with its replies dropped.
bool Monitor::repliesWait(QTcpSocket* socket, Client& c)
{
    if (c.gone || c.deaf || socket->bytesToWrite() < limits_.maxUnsentReplies)
        return false;
    socket->flush();
    if (socket->bytesToWrite() < limits_.maxUnsentReplies)
        return false;
    c.waiting = true;
    c.heard = false;
    const int wait = ++c.waits;
    QTimer::singleShot(limits_.deafAfterMs, socket, [this, socket, wait] { checkReader(socket, wait); });
    return true;
}

void Monitor::checkReader(QTcpSocket* socket, int wait)
{
    Client* c = client(socket);
    if (!c || !c->waiting || c->waits != wait)
        return;
    if (std::exchange(c->heard, false)) { // it reads, slowly: wait on
        QTimer::singleShot(limits_.deafAfterMs, socket, [this, socket, wait] { checkReader(socket, wait); });
        return;
    }
    c->waiting = false;
    c->deaf = true;
    print(QStringLiteral("%1 reads none of its replies: %2 byte(s) of them wait unsent; its next replies are dropped "
                         "until it reads\n")
              .arg(stamp(c->number))
              .arg(socket->bytesToWrite()));
    wake(socket);
}

void Monitor::heard(QTcpSocket* socket)
{
    Client* c = client(socket);
    if (!c)
        return;
    c->heard = true;
    if (std::exchange(c->deaf, false))
        print(QStringLiteral("%1 reads its replies again\n").arg(stamp(c->number)));
    if (c->waiting && socket->bytesToWrite() < limits_.maxUnsentReplies) {
        c->waiting = false;
        wake(socket);
    }
}

// The lines not ended yet, of all clients together, are held to one limit: past it, the client
// that holds the most is sent away.
void Monitor::hold(Client& c)
{
    const qint64 held = c.framer.pending().size();
    unended_ += held - c.held;
    c.held = held;
    while (unended_ > limits_.maxUnended) {
        auto biggest = clients_.begin();
        for (auto it = clients_.begin(); it != clients_.end(); ++it)
            if (it->held > biggest->held)
                biggest = it;
        if (biggest == clients_.end() || biggest->held == 0)
            break; // nothing to give back: the count is wrong, not the clients
        QTcpSocket* victim = biggest.key();
        const QString why = QStringLiteral(" (sent away: it held the most of the %1 bytes of unended lines of all "
                                           "clients, past the limit of %2)")
                                .arg(unended_)
                                .arg(limits_.maxUnended);
        victim->disconnect(this);
        victim->abort();
        finish(victim, why);
    }
}

void Monitor::finish(QTcpSocket* socket, const QString& why)
{
    const auto it = clients_.find(socket);
    if (it == clients_.end())
        return;
    const int number = it->number;
    const qint64 unfinished = it->framer.pendingSize();
    QString text = QStringLiteral("%1 disconnected").arg(stamp(number)) + why;
    if (unfinished > 0) {
        logLine(it->framer.pending()); // ended here, so that the log stays a list of lines
        text += QStringLiteral(" in the middle of a line: %1 byte(s) never ended by CR LF: %2")
                    .arg(unfinished)
                    .arg(printableStart(it->framer.pending(), 300));
    }
    print(text + u'\n');
    unended_ -= it->held;
    clients_.erase(it);
    round_.removeAll(socket);
    socket->deleteLater();
    emit clientLeft(number, unfinished);
}

void Monitor::print(const QString& text)
{
    if (printout_)
        printout_->print(text.toUtf8());
}

void Monitor::logLine(const QByteArray& line)
{
    if (log_.isOpen()) {
        log_.write(line);
        log_.write("\r\n");
        log_.flush(); // a crash or a kill keeps what came before it
    }
}

QString Monitor::stamp(int client) const
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral(" client %1").arg(client);
}

} // namespace monitor
