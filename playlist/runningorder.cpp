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
    targets_.clear();
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
    targets_.clear();
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

void RunningOrder::sent(int i, int s, Mark mark, Target target, quint64 ticket)
{
    if (!has(i))
        return;
    Entry& e = entries_[i];
    e.greyed = false;
    const OnTarget now{target, e.id, s, mark, ticket, ++nextOrder_};
    auto at = std::find_if(targets_.begin(), targets_.end(), [&](const OnTarget& t) { return t.target == target; });
    if (at == targets_.end()) {
        targets_.append(now);
    } else {
        const quint64 before = at->entry;
        *at = now;
        if (before != e.id)
            changed(before);
    }
    emit marksChanged(i, i);
}

void RunningOrder::clearedLayer(Target target)
{
    for (OnTarget& t : targets_) {
        if (t.target == target && t.mark != Mark::Cleared) {
            t.mark = Mark::Cleared;
            changed(t.entry);
        }
    }
}

void RunningOrder::clearedChannel(short channel)
{
    QList<quint64> touched;
    targets_.removeIf([&](const OnTarget& t) {
        if (t.target.channel != channel)
            return false;
        touched.append(t.entry);
        return true;
    });
    for (quint64 id : touched)
        changed(id);
    for (int i = 0; i < size(); ++i) {
        Entry& e = entries_[i];
        if (e.channel == channel && (!e.striped || e.greyed)) {
            e.striped = true;
            e.greyed = false;
            emit marksChanged(i, i);
        }
    }
}

bool RunningOrder::refused(quint64 ticket)
{
    if (ticket == 0)
        return false;
    for (OnTarget& t : targets_) {
        if (t.ticket == ticket && (t.mark == Mark::OnAir || t.mark == Mark::OnPreview)) {
            t.mark = Mark::Refused;
            changed(t.entry);
            return true;
        }
    }
    return false;
}

// What a cell shows when several targets hold its lines: the latest line still live there (on
// air, on preview, refused) wins over any that was cleared, since the colour is the operator's
// only knowledge of what is on air.
const RunningOrder::OnTarget* RunningOrder::latest(quint64 id, int s) const
{
    const OnTarget* found = nullptr;
    const auto rank = [](const OnTarget& t) { return std::pair(t.mark != Mark::Cleared, t.order); };
    for (const OnTarget& t : targets_)
        if (t.entry == id && t.step == s && (!found || rank(t) > rank(*found)))
            found = &t;
    return found;
}

Mark RunningOrder::mark(int i, int s) const
{
    if (!has(i))
        return Mark::None;
    const Entry& e = entries_.at(i);
    if (const OnTarget* t = latest(e.id, s))
        return t->mark;
    return e.greyed ? Mark::Cleared : Mark::None;
}

bool RunningOrder::shows(int i, int s, Mark mark) const
{
    if (!has(i))
        return false;
    const quint64 id = entries_.at(i).id;
    return std::any_of(targets_.cbegin(), targets_.cend(),
                       [&](const OnTarget& t) { return t.entry == id && t.step == s && t.mark == mark; });
}

QList<RunningOrder::Shown> RunningOrder::shown() const
{
    QList<Shown> out;
    out.reserve(targets_.size());
    for (const OnTarget& t : targets_)
        out.append({t.target, indexOf(t.entry), t.step, t.mark, t.order});
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
