#include "playlist/runningorder.h"

#include <algorithm>

#include "fault/runtimeerror.h"

namespace playlist {

int RunningOrder::lastStep(int i) const
{
    const QStringList& steps = entries_.at(i).steps;
    qsizetype s = steps.size() - 1;
    while (s > 0 && steps.at(s).isEmpty())
        --s;
    return int(std::max<qsizetype>(s, 0));
}

void RunningOrder::mustBeRead() const
{
    if (unread())
        fault::raise(fault::PathFileAccessError, unread_);
}

QStringList RunningOrder::files() const
{
    QStringList out;
    out.reserve(entries_.size());
    for (const Entry& e : entries_)
        out.append(e.file);
    return out;
}

void RunningOrder::unload()
{
    emit aboutToReset();
    entries_.clear();
    settled_.clear();
    lines_.clear();
    places_.clear();
    cueEntry_ = 0;
    loaded_ = false;
    unread_.clear();
    emit wasReset();
}

void RunningOrder::load(QList<Entry> entries)
{
    emit aboutToReset();
    entries_ = std::move(entries);
    for (Entry& e : entries_) {
        e.striped = true;
        e.greyed = false;
        e.id = ++nextId_;
    }
    // The marks live as long as the rows: a new playlist knows nothing of what is on air.
    settled_.clear();
    lines_.clear();
    places_.clear();
    cueEntry_ = 0;
    loaded_ = true;
    unread_.clear();
    emit wasReset();
}

void RunningOrder::append(Entry entry, bool addedFromTree)
{
    entry.striped = !addedFromTree;
    entry.greyed = addedFromTree;
    entry.id = ++nextId_;
    emit aboutToInsert(size());
    entries_.append(std::move(entry));
    emit inserted();
}

// An entry that is not there changes nothing: callers and this state may only part through a fault.
void RunningOrder::remove(int i)
{
    if (!has(i))
        return;
    const Cue before = cue();
    emit aboutToRemove(i);
    entries_.removeAt(i);
    emit removed();
    // What its lines put on air stays there: the server still shows it, though no row does.
    if (before.entry == i) {
        cueEntry_ = 0;
        emit cueChanged(before, cue());
    }
}

void RunningOrder::move(int from, int to)
{
    if (!has(from) || !has(to) || from == to)
        return;
    emit aboutToMove(from, to);
    entries_.move(from, to);
    emit moved();
}

void RunningOrder::restripe()
{
    for (Entry& e : entries_)
        e.striped = true;
    if (!entries_.isEmpty())
        emit marksChanged(0, size() - 1);
}

RunningOrder::Cue RunningOrder::cue() const
{
    const int at = cueEntry_ == 0 ? -1 : indexOf(cueEntry_);
    return at < 0 ? Cue() : Cue{at, cueStep_};
}

void RunningOrder::setCue(int entry, int step)
{
    const Cue before = cue();
    cueEntry_ = has(entry) ? entries_.at(entry).id : 0;
    cueStep_ = has(entry) ? std::max(step, 0) : 0;
    if (cue() != before)
        emit cueChanged(before, cue());
}

void RunningOrder::moveCue(CueMove move, int page)
{
    const Cue at = cue();
    const int last = size() - 1;
    if (last < 0)
        return;
    if (at.entry < 0)
        return setCue(0, 0);
    const int lastOfCue = lastStep(at.entry);
    switch (move) {
    case CueMove::Up:
    case CueMove::Down:
    case CueMove::PageUp:
    case CueMove::PageDown: {
        const int by = move == CueMove::Up || move == CueMove::Down ? 1 : std::max(page, 1);
        const bool up = move == CueMove::Up || move == CueMove::PageUp;
        const int to = std::clamp(up ? at.entry - by : at.entry + by, 0, last);
        return setCue(to, std::min(at.step, lastStep(to)));
    }
    case CueMove::Left: return setCue(at.entry, std::max(std::min(at.step - 1, lastOfCue), 0));
    case CueMove::Right: return setCue(at.entry, std::min(at.step + 1, lastOfCue));
    case CueMove::Home: return setCue(at.entry, 0);
    case CueMove::End: return setCue(at.entry, lastOfCue);
    }
}

RunningOrder::Place& RunningOrder::place(QList<Place>& places, Target target)
{
    for (Place& p : places)
        if (p.target == target)
            return p;
    places.append(Place{target, false, {}, 0, {}, {}});
    return places.last();
}

void RunningOrder::apply(QList<Place>& places, const Line& line, QList<quint64>* touched)
{
    const auto touch = [touched](const Place& p) {
        if (!touched)
            return;
        touched->append(p.source.entry);
        for (const Cell& c : p.cleared)
            touched->append(c.entry);
        for (const Cell& c : p.refused)
            touched->append(c.entry);
    };
    switch (line.kind) {
    case Line::Show: {
        Place& p = place(places, line.target);
        if (touched)
            touched->append(line.source.entry);
        if (line.refused) {
            // A refused line changed nothing on the server; it only marks its own cell.
            if (line.source.entry != 0 && !p.refused.contains(line.source))
                p.refused.append(line.source);
            return;
        }
        touch(p);
        p.showing = true;
        p.source = line.source;
        p.order = line.order;
        p.cleared.clear();
        p.refused.clear();
        return;
    }
    case Line::ClearLayer: {
        if (line.refused)
            return;
        Place& p = place(places, line.target);
        touch(p);
        if (p.showing && p.source.entry != 0 && !p.cleared.contains(p.source))
            p.cleared.append(p.source);
        p.showing = false;
        p.source = Cell();
        p.refused.clear();
        return;
    }
    case Line::ClearChannel:
        if (line.refused)
            return;
        places.removeIf([&](const Place& p) {
            if (p.target.channel != line.target.channel)
                return false;
            touch(p);
            return true;
        });
        return;
    }
}

void RunningOrder::record(Line line)
{
    line.order = ++nextOrder_;
    QList<quint64> touched;
    apply(places_, line, &touched);
    lines_.push_back(line);
    fold();
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    for (quint64 id : touched)
        changed(id);
}

void RunningOrder::fold()
{
    while (!lines_.empty() && (lines_.front().answered || lines_.size() > size_t(kMaxLines))) {
        apply(settled_, lines_.front(), nullptr);
        lines_.pop_front();
    }
}

void RunningOrder::plain(Target target, quint64 except)
{
    for (int i = 0; i < size(); ++i) {
        Entry& e = entries_[i];
        if (e.id != except && e.channel == target.channel && (target.layer == 0 || e.layer == target.layer) && (!e.striped || e.greyed)) {
            e.striped = true;
            e.greyed = false;
            emit marksChanged(i, i);
        }
    }
}

void RunningOrder::sent(int i, int s, Target target, quint64 ticket)
{
    Cell source;
    bool onAir = true;
    if (i != kEditor) {
        if (!has(i))
            return;
        Entry& e = entries_[i];
        source = {e.id, s};
        onAir = target.channel == e.channel;
        if (e.greyed) {
            e.greyed = false;
            emit marksChanged(i, i);
        }
    }
    record({Line::Show, target, source, ticket});
    // As a line on air always has: the rows at its layer that have no stripe yet take theirs.
    if (onAir)
        plain(target, source.entry);
}

void RunningOrder::clearedLayer(Target target, quint64 ticket)
{
    record({Line::ClearLayer, target, {}, ticket});
}

void RunningOrder::clearedChannel(short channel, quint64 ticket)
{
    record({Line::ClearChannel, {channel, 0}, {}, ticket});
    plain({channel, 0}, 0);
}

void RunningOrder::accepted(quint64 ticket)
{
    if (ticket == 0)
        return;
    for (Line& l : lines_)
        if (l.ticket == ticket)
            l.answered = true;
    fold();
}

bool RunningOrder::refused(quint64 ticket)
{
    if (ticket == 0)
        return false;
    const auto at = std::find_if(lines_.begin(), lines_.end(), [&](const Line& l) { return l.ticket == ticket; });
    if (at == lines_.end() || at->answered)
        return false;
    at->answered = true;
    at->refused = true;
    // What the lines give without it: the settled state, then every line still in flight.
    places_ = settled_;
    for (const Line& l : lines_)
        apply(places_, l, nullptr);
    fold();
    if (!entries_.isEmpty())
        emit marksChanged(0, size() - 1);
    return true;
}

void RunningOrder::settle()
{
    for (Line& l : lines_)
        l.answered = true;
    fold();
}

Mark RunningOrder::mark(int i, int s) const
{
    if (!has(i))
        return Mark::None;
    const Entry& e = entries_.at(i);
    const Cell cell{e.id, s};
    Mark best = Mark::None;
    // On air, then refused, then on preview, then cleared: the first the operator must know.
    const auto rank = [](Mark m) {
        switch (m) {
        case Mark::OnAir: return 4;
        case Mark::Refused: return 3;
        case Mark::OnPreview: return 2;
        case Mark::Cleared: return 1;
        case Mark::None: break;
        }
        return 0;
    };
    const auto consider = [&](Mark m) {
        if (rank(m) > rank(best))
            best = m;
    };
    for (const Place& p : places_) {
        if (p.showing && p.source == cell)
            consider(p.target.channel == e.channel ? Mark::OnAir : Mark::OnPreview);
        if (p.refused.contains(cell))
            consider(Mark::Refused);
        if (p.cleared.contains(cell))
            consider(Mark::Cleared);
    }
    if (best == Mark::None && e.greyed)
        return Mark::Cleared;
    return best;
}

bool RunningOrder::shows(int i, int s, Mark mark) const
{
    if (!has(i))
        return false;
    const Entry& e = entries_.at(i);
    const Cell cell{e.id, s};
    return std::any_of(places_.cbegin(), places_.cend(), [&](const Place& p) {
        switch (mark) {
        case Mark::OnAir: return p.showing && p.source == cell && p.target.channel == e.channel;
        case Mark::OnPreview: return p.showing && p.source == cell && p.target.channel != e.channel;
        case Mark::Refused: return p.refused.contains(cell);
        case Mark::Cleared: return p.cleared.contains(cell);
        case Mark::None: break;
        }
        return false;
    });
}

QList<RunningOrder::Shown> RunningOrder::shown() const
{
    QList<Shown> out;
    for (const Place& p : places_) {
        if (!p.showing)
            continue;
        const int i = p.source.entry == 0 ? -1 : indexOf(p.source.entry);
        const Mark m = i < 0 ? Mark::None : p.target.channel == entries_.at(i).channel ? Mark::OnAir : Mark::OnPreview;
        out.append({p.target, i, p.source.step, m, p.order});
    }
    return out;
}

int RunningOrder::indexOf(quint64 id) const
{
    for (int i = 0; i < size(); ++i)
        if (entries_.at(i).id == id)
            return i;
    return -1;
}

void RunningOrder::changed(quint64 id)
{
    const int i = indexOf(id);
    if (i >= 0)
        emit marksChanged(i, i);
}

} // namespace playlist
