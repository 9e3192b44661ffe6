#pragma once
// The server link: one TCP connection that carries the program's lines and brings back the
// server's answers, each matched to its line where that is certain.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>

#include "server/answers.h"

namespace server {

/// The socket with the operations the handlers use. State follows the classic socket's numbers;
/// 7 is connected. What the server sends back is read as it comes, so it never backs up, and
/// each answer is reported with the line it belongs to.
class Link : public QObject {
    Q_OBJECT
public:
    /// The classic socket's state numbers.
    enum StateCode : int {
        Closed = 0,
        Open = 1,
        ResolvingHost = 4,
        Connecting = 6,
        Connected = 7,
        ClosedByPeer = 8,
        Failed = 9,
    };

    Link(const QString& name, QObject* parent);
    /// Quietly: the socket closing in its teardown reports nothing to an owner going away.
    ~Link() override;

    /// Starts connecting and returns at once. The host goes to the socket as typed; a port that
    /// is not a whole number from 1 to 65535 (blanks around it allowed) raises 5.
    void Connect(const QString& host, const QString& port);
    void Close();
    /// One of StateCode.
    int State() const;
    /// Sends the bytes as they are, at once as far as the socket takes them; raises 5 when not
    /// connected. The ticket that names the line in answered().
    quint64 SendData(const QByteArray& bytes);

    /// The host and port of the last connect request, as the socket took them.
    QString host() const { return host_; }
    quint16 port() const { return port_; }
    /// The lines sent that may still wait for their answer.
    qsizetype linesInFlight() const { return inFlight_.size(); }
    /// Why the connection failed or ended, in the socket's words.
    QString errorString() const { return socket_.errorString(); }

    /// Answers past this many unread bytes wait in the system, not in the program.
    static constexpr qint64 kMaxUnread = qint64(1) << 20;

signals:
    /// The state may have changed.
    void stateChanged();
    /// The server answered; ticket names the line it answered (0 when that is not certain), and
    /// line holds it without its CR LF.
    void answered(const server::Answer& answer, quint64 ticket, const QByteArray& line);

private:
    void read();
    QTcpSocket socket_;
    bool failed_ = false;
    QString host_;
    quint16 port_ = 0;
    quint64 tickets_ = 0;
    AnswerReader reader_;
    LinesInFlight inFlight_;
};

} // namespace server
