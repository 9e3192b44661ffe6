#pragma once
// The stand-in server: accepts connections, reads each line as the playout server would, prints
// it, answers it, and logs the raw bytes. Everything runs on the event loop: no read or write
// ever waits for a peer.
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include "monitor/framer.h"
#include "monitor/reading.h"

class QTcpSocket;

namespace monitor {

class Monitor : public QObject {
    Q_OBJECT
public:
    /// Printouts go to out (not owned; may be null). The raw log, if opened, to its file.
    explicit Monitor(QIODevice* out, QObject* parent = nullptr);
    ~Monitor() override;

    bool listen(const QHostAddress& host, quint16 port);
    quint16 port() const { return server_.serverPort(); }
    QString errorString() const { return error_; }
    /// Appends every line received, byte for byte with its CR LF, to path.
    bool openLog(const QString& path);

    /// Replies waiting for a client that does not read are dropped beyond this many bytes.
    static constexpr qint64 kMaxUnsentReplies = qint64(1) << 20;

signals:
    /// A whole line from client (numbered from 1 in order of connection).
    void lineRead(int client, const monitor::Frame& frame, const monitor::Reading& reading);
    /// The client closed; unfinished counts the bytes of a line it never ended.
    void clientLeft(int client, qint64 unfinished);

private:
    struct Client {
        int number = 0;
        LineFramer framer;
    };
    void accept();
    void take(QTcpSocket* socket, const QByteArray& bytes);
    void leave(QTcpSocket* socket);
    void print(const QString& text);
    void log(const QByteArray& bytes);
    QString stamp(int client) const;

    QTcpServer server_;
    QIODevice* out_;
    QFile log_;
    QString error_;
    QHash<QTcpSocket*, Client> clients_;
    int connections_ = 0;
};

} // namespace monitor
