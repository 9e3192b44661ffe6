#include "app/remotesurface.h"

#include "app/frmMAIN.h"
#include "ui/dispatch.h"

namespace app {

namespace {
// A press runs as an event of the window does: not while a box waits for the operator.
template <class F> bool run(F&& handler)
{
    if (ui::modalBusy())
        return false;
    ui::dispatch(std::forward<F>(handler));
    return true;
}
} // namespace

bool RemoteSurface::isStep(int entry, int step) const
{
    return f_.Playlist.has(entry - 1) && step >= 1 && !f_.Playlist.step(entry - 1, step - 1).isEmpty();
}

bool RemoteSurface::fire(int entry, int step, bool preview)
{
    return isStep(entry, step) && run([&] { f_.PLAYLIST_EXEC(entry - 1, step - 1, preview); });
}

bool RemoteSurface::moveCue(remote::CueMove move)
{
    return f_.Playlist.size() > 0 && run([&] { f_.MoveCue(move); });
}

bool RemoteSurface::gotoCue(int entry, int step)
{
    return isStep(entry, step) && run([&] { f_.Engine->setCue(entry - 1, step - 1); });
}

bool RemoteSurface::clearCue(bool preview)
{
    const int entry = f_.Playlist.cue().entry;
    return entry >= 0 && run([&] { f_.ClearEntryLayer(entry, preview); });
}

bool RemoteSurface::clearChannel(int channel)
{
    return channel >= 1 && channel <= 4 && run([&] { f_.cmdCLEAR_Click(short(channel)); });
}

remote::Tally RemoteSurface::tally() const
{
    if (!read_)
        read_ = read();
    return *read_;
}

remote::Tally RemoteSurface::read() const
{
    using playlist::Mark;
    const playlist::RunningOrder& order = f_.Playlist;
    remote::Tally t;
    t.entries.reserve(order.size());
    for (int i = 0; i < order.size(); ++i) {
        const playlist::RunningOrder::Entry& e = order.entry(i);
        remote::Tally::Entry entry{e.title, {}};
        entry.steps.reserve(e.steps.size());
        for (int s = 0; s < e.steps.size(); ++s)
            entry.steps.append({e.steps.at(s), order.shows(i, s, Mark::OnAir), order.shows(i, s, Mark::OnPreview),
                                order.shows(i, s, Mark::Refused)});
        t.entries.append(std::move(entry));
    }
    const playlist::RunningOrder::Cue cue = order.cue();
    if (cue.entry >= 0) {
        t.cueEntry = cue.entry + 1;
        t.cueStep = cue.step + 1;
        t.cueTitle = order.entry(cue.entry).title;
        t.cueStepName = order.step(cue.entry, cue.step);
    }
    t.linkUp = f_.wsGASPAR->State() == server::Link::Connected;
    t.refusal = f_.LastRefusal;
    // On each channel, the entry whose line went there last and is still on air.
    std::array<quint64, 4> latest{};
    for (const playlist::RunningOrder::Shown& shown : order.shown()) {
        const int c = shown.target.channel - 1;
        if (c < 0 || c >= 4 || shown.mark != Mark::OnAir || shown.entry < 0 || shown.order < latest[size_t(c)])
            continue;
        latest[size_t(c)] = shown.order;
        t.onAir[size_t(c)] = order.entry(shown.entry).title;
    }
    return t;
}

} // namespace app
