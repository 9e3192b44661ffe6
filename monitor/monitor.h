#pragma once
// The stand-in server: accepts connections, reads each line as the playout server would, prints
// it, answers it, and logs the raw bytes. Everything but the printout runs on the event loop, and
// no client can hold up another: each is served in turn, a slice at a time, and nothing waits for
// a peer that does not read.
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTimer>
#include <memory>

#include "monitor/framer.h"
#include "monitor/reading.h"
#include "monitor/stage.h"

class QTcpSocket;

namespace monitor {

class Printout;

/// What clients may cost the monitor. The defaults are the program's; tests make them small.
struct Limits {
    qint64 maxLine = qint64(64) << 20;         // a longer line keeps only its first bytes
    qint64 maxUnended = qint64(256) << 20;     // all clients' lines not ended yet; past it the biggest holder goes
    qint64 maxUnsentReplies = qint64(1) << 20; // past it a client is not served until its replies go out...
    int deafAfterMs = 1000;                    // ...or, when none goes out for this long, its replies are dropped
    int sliceLines = 1000;                     // a client yields to the others after this many lines...
    qint64 sliceNs = 5'000'000;                // ...or this long
};

class Monitor : public QObject {
    Q_OBJECT
public:
    /// Printouts go to out (not owned; may be null), by a thread of their own. The raw log, if
    /// opened, to its file.
    explicit Monitor(QIODevice* out, QObject* parent = nullptr, const Limits& limits = Limits());
    ~Monitor() override;

    bool listen(const QHostAddress& host, quint16 port);
    quint16 port() const { return server_.serverPort(); }
    QString errorString() const { return error_; }
    /// Appends every line received, byte for byte with its CR LF, to path.
    bool openLog(const QString& path);
    /// Lines that hold text, and that the server would carry out, are answered as failed.
    void refuse(const QByteArray& text) { refusal_ = text; }
    /// The channels it stands in for; every layer is then empty.
    void setChannels(const Channels& channels);

signals:
    /// A whole line from client (numbered from 1 in order of connection).
    void lineRead(int client, const monitor::Frame& frame, const monitor::Reading& reading);
    /// The client left, or was sent away; unfinished counts the bytes of a line it never ended.
    void clientLeft(int client, qint64 unfinished);

private:
    struct Client {
        int number = 0;
        LineFramer framer;
        qint64 held = 0;      // bytes of its unended line that the framer keeps
        bool queued = false;  // waits for its turn
        bool waiting = false; // its replies wait unsent past the limit: not served until they go out
        int waits = 0;        // how many times it has waited, to tell its deafness checks apart
        bool heard = false;   // some of its replies went out since the last check
        bool deaf = false;    // none went out for deafAfterMs while it waited: its replies are dropped
        bool gone = false;    // the peer closed: what it sent before is still served
    };
    Client* client(QTcpSocket* socket);
    void accept();
    void wake(QTcpSocket* socket);
    void serveRound();
    void serve(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Frame& frame);
    bool repliesWait(QTcpSocket* socket, Client& c);
    void checkReader(QTcpSocket* socket, int wait);
    void heard(QTcpSocket* socket);
    void hold(Client& c);
    void finish(QTcpSocket* socket, const QString& why = QString());
    void print(const QString& text);
    void logLine(const QByteArray& line);
    QString stamp(int client) const;

    const Limits limits_;
    QTcpServer server_;
    std::unique_ptr<Printout> printout_;
    QFile log_;
    QString error_;
    QByteArray refusal_;
    Stage stage_; // one for all clients, as the server's channels are
    QHash<QTcpSocket*, Client> clients_;
    QByteArray chunk_;         // what is read from a client at a time
    QList<QTcpSocket*> round_; // clients with lines to serve, in turn
    QTimer turn_;              // serves the round once the event loop has run
    qint64 unended_ = 0;       // the held bytes of all clients
    int connections_ = 0;
};

} // namespace monitor
