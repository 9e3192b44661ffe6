#pragma once
// The one road to air: every line the program sends goes out here, and what it puts on air or
// takes off is recorded in the running order as it goes, then corrected by the server's answers.
// The mouse, the keys, the editor's "On Air" and remote control ask; nothing else writes to the
// link.
#include <QByteArray>
#include <QObject>

#include "playlist/cuemove.h"
#include "playlist/runningorder.h"
#include "project/state.h"
#include "server/link.h"

namespace playlist {

class Engine : public QObject {
    Q_OBJECT
public:
    Engine(const project::State& s, RunningOrder& order, server::Link& link, QObject* parent = nullptr);

    /// Whether lines can go out: with the link down nothing is sent and no mark changes.
    bool linkUp() const;
    /// Where entry's lines go: its card's channel and layer, or the layer on previewChannel when
    /// that is not 0. Firing, clearing and the marks all take the target from here.
    Target target(int entry, short previewChannel = 0) const;
    /// The line of step s of entry i for target, composed as the on-air button composes its
    /// card's; raises what reading the dataset copy or composing raises. Empty when the entry
    /// has no card or the step no name: nothing to send.
    QByteArray stepLine(int i, int s, Target target) const;

    /// Sends line, the line of step s of entry i (RunningOrder::kEditor: the editor's card line),
    /// to target. False, sending nothing and changing no mark, when the link is down or the line
    /// is empty.
    bool send(int i, int s, Target target, const QByteArray& line);
    /// "CLEAR channel-layer": what target showed turns cleared. False when nothing was sent.
    bool clearLayer(Target target);
    /// "CLEAR channel": nothing shows on the channel any more. False when nothing was sent.
    bool clearChannel(short channel);

    /// Moves the cue; a page is as many entries as the view shows. Sends nothing.
    void moveCue(CueMove move, int page) { order_.moveCue(move, page); }
    /// Puts the cue on step s of entry i. Sends nothing.
    void setCue(int i, int s) { order_.setCue(i, s); }

    const RunningOrder& order() const { return order_; }

private:
    // The one write to the link: the ticket that names the line, 0 when nothing went out.
    quint64 write(const QByteArray& line);
    void answered(const server::Answer& answer, quint64 ticket);

    const project::State& s_;
    RunningOrder& order_;
    server::Link& link_;
};

} // namespace playlist
