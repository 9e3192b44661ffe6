#include "server/link.h"

#include "fault/runtimeerror.h"

namespace server {

namespace {

quint16 portNumber(const QString& text)
{
    static const QLatin1String blanks(" \t");
    qsizetype first = 0, last = text.size();
    while (first < last && blanks.contains(text[first]))
        ++first;
    while (last > first && blanks.contains(text[last - 1]))
        --last;
    const QStringView digits = QStringView(text).mid(first, last - first);
    bool whole = !digits.isEmpty() && digits.size() <= 5;
    for (QChar c : digits)
        whole = whole && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const int value = whole ? digits.toInt() : 0;
    if (value < 1 || value > 65535)
        fault::raise(fault::InvalidProcedureCall,
                     QStringLiteral("Invalid procedure call or argument: port \"%1\" is not a whole number from 1 "
                                    "to 65535")
                         .arg(text));
    return quint16(value);
}

} // namespace

Link::Link(const QString& name, QObject* parent) : QObject(parent), socket_(this)
{
    setObjectName(name);
    socket_.setObjectName(name + QStringLiteral(".socket"));
    socket_.setReadBufferSize(kMaxUnread);
    connect(&socket_, &QTcpSocket::readyRead, this, &Link::read);
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this] {
        failed_ = true;
        emit stateChanged();
    });
    connect(&socket_, &QTcpSocket::stateChanged, this, &Link::stateChanged);
}

Link::~Link() { disconnect(&socket_, nullptr, this, nullptr); }

void Link::read()
{
    while (socket_.bytesAvailable() > 0) {
        const QByteArray bytes = socket_.read(kMaxUnread);
        for (const Answer& answer : reader_.feed(bytes)) {
            QByteArray line;
            const quint64 ticket = inFlight_.answered(answer, &line);
            emit answered(answer, ticket, line);
        }
    }
}

void Link::Connect(const QString& host, const QString& port)
{
    const quint16 number = portNumber(port);
    if (socket_.state() != QAbstractSocket::UnconnectedState)
        socket_.abort();
    failed_ = false;
    // A new connection starts with nothing in flight and no half-read answer.
    reader_ = AnswerReader();
    inFlight_.clear();
    host_ = host;
    port_ = number;
    socket_.connectToHost(host, number);
}

void Link::Close()
{
    // Lines already queued still go out before the connection ends.
    socket_.disconnectFromHost();
    failed_ = false;
    emit stateChanged();
}

int Link::State() const
{
    switch (socket_.state()) {
    case QAbstractSocket::UnconnectedState:
        if (!failed_)
            return Closed;
        return socket_.error() == QAbstractSocket::RemoteHostClosedError ? ClosedByPeer : Failed;
    case QAbstractSocket::HostLookupState: return ResolvingHost;
    case QAbstractSocket::ConnectingState: return Connecting;
    case QAbstractSocket::ConnectedState: return Connected;
    case QAbstractSocket::ClosingState: return ClosedByPeer;
    default: return Open;
    }
}

quint64 Link::SendData(const QByteArray& bytes)
{
    if (socket_.state() != QAbstractSocket::ConnectedState)
        fault::raise(fault::InvalidProcedureCall,
                     QStringLiteral("Invalid procedure call or argument: %1 is not connected").arg(objectName()));
    socket_.write(bytes);
    // Onto the wire now, not at the next turn of the event loop: a repaint of the playlist
    // would otherwise come before the line goes on air.
    socket_.flush();
    const quint64 ticket = ++tickets_;
    if (!bytes.isEmpty())
        inFlight_.sent(ticket, bytes);
    return ticket;
}

} // namespace server
