#pragma once
// The running order fired from a control surface: OSC messages over UDP, each handled on the UI
// thread as the matching mouse or key action.
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QUdpSocket>

#include "remote/endpoint.h"
#include "remote/osc.h"

namespace remote {

class Surface;

/// Listens for the /plintor/... addresses and drives the surface with them.
class OscControl : public QObject {
    Q_OBJECT
public:
    OscControl(Surface& surface, QObject* parent = nullptr);

    /// Binds the socket; false with errorString() when the port is taken. Port 0 picks one.
    bool listen(const Endpoint& where);
    QString errorString() const { return socket_.errorString(); }
    quint16 port() const { return socket_.localPort(); }

    /// Messages that named no action, carried wrong arguments or a step that does not exist.
    int ignoredCount() const { return ignored_; }
    /// Datagrams over the limits or malformed, and messages over a sender's rate.
    int droppedCount() const { return dropped_; }

    /// Messages handled from one sender (address and port) in a second; the rest are dropped.
    static constexpr int kMaxPerSecond = 50;
    /// The longest the window spends reading datagrams before it lets other events in.
    static constexpr int kTurnMs = 20;

signals:
    /// A message acted: "Remote: fire 3 Play from 127.0.0.1:51234".
    void acted(const QString& text);
    /// A message was ignored: "Remote: ignored /plintor/cue/jump from 127.0.0.1:51234 (unknown address)".
    void ignored(const QString& text);
    /// /plintor/state: the whole state goes to every feedback target, and Companion's variables.
    void stateRequested(const remote::Endpoint& sender);

private:
    void readPending();
    bool admitted(const Endpoint& sender);
    void handle(const osc::Message& message, const Endpoint& sender);
    /// What the message did, or why not ("" = a release, which does nothing).
    struct Outcome {
        bool acted;
        QString text;
    };
    Outcome perform(const osc::Message& message, const Endpoint& sender);

    Surface& surface_;
    QUdpSocket socket_;
    int ignored_ = 0;
    int dropped_ = 0;
    struct Window {
        qint64 start = 0;
        int count = 0;
    };
    QElapsedTimer clock_;
    QHash<QString, Window> senders_;
};

} // namespace remote
