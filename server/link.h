#pragma once
// The server link: one TCP connection that the program writes to and never reads from.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>

namespace server {

/// The socket with the operations the handlers use. State follows the classic socket's numbers;
/// 7 is connected. What the server sends back is read and dropped, so it never backs up.
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

    /// Starts connecting and returns at once. The host goes to the socket as typed; a port that
    /// is not a whole number from 1 to 65535 (blanks around it allowed) raises 5.
    void Connect(const QString& host, const QString& port);
    void Close();
    /// One of StateCode.
    int State() const;
    /// Sends the bytes as they are, at once as far as the socket takes them; raises 5 when not
    /// connected.
    void SendData(const QByteArray& bytes);

private:
    QTcpSocket socket_;
    bool failed_ = false;
};

} // namespace server
