#pragma once
// The tally sent back to control surfaces over OSC: what changed, one message per value, so
// that a button coloured from /plintor/entry/N/step/K/onair follows the playlist.
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>
#include <optional>

#include "remote/endpoint.h"
#include "remote/osc.h"
#include "remote/surface.h"

namespace remote {

/// The messages that bring a receiver that saw `before` to `now`; all of them when nothing was
/// seen. A step that came or went counts as one with no marks on the other side.
QList<osc::Message> tallyMessages(const std::optional<Tally>& before, const Tally& now);

/// Sends the tally to every target: on changed() what changed, on a state request all of it,
/// and /plintor/alive i 1 every second so that a surface knows the program is there.
class OscFeedback : public QObject {
    Q_OBJECT
public:
    explicit OscFeedback(const Surface& surface, QObject* parent = nullptr);

    void addTarget(const Endpoint& target) { targets_.append(target); }

    /// The running order or the link changed: what differs from the last tally sent goes to the
    /// targets; the first call sends everything.
    void changed();
    /// Everything, to every target.
    void sendState();

    static constexpr int kHeartbeatMs = 1000;

private:
    void send(const QList<osc::Message>& messages, const QList<Endpoint>& to);

    const Surface& surface_;
    QUdpSocket socket_;
    QList<Endpoint> targets_;
    std::optional<Tally> sent_;
    QTimer heartbeat_;
};

} // namespace remote
