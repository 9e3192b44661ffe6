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

void RunningOrder::append(Entry entry, bool addedFromTree)
{
    entry.striped = !addedFromTree;
    entry.rest = addedFromTree ? Mark::Cleared : Mark::None;
    entry.fired = -1;
    entry.mark = Mark::None;
    entries_.append(std::move(entry));
}

// An entry that is not there changes nothing: the grid and this state may only part through a fault.
void RunningOrder::remove(int i)
{
    if (has(i))
        entries_.removeAt(i);
}

void RunningOrder::move(int from, int to)
{
    if (has(from) && has(to))
        entries_.move(from, to);
}

void RunningOrder::fired(int i, int s, Mark mark, Target target, quint64 ticket)
{
    if (!has(i))
        return;
    Entry& e = entries_[i];
    e.rest = Mark::None;
    e.fired = s;
    e.mark = mark;
    e.target = target;
    e.ticket = ticket;
}

void RunningOrder::plain(int i)
{
    if (!has(i))
        return;
    Entry& e = entries_[i];
    e.striped = true;
    e.rest = Mark::None;
    e.fired = -1;
    e.mark = Mark::None;
    e.ticket = 0;
}

void RunningOrder::restripe()
{
    for (Entry& e : entries_)
        e.striped = true;
}

QList<int> RunningOrder::clearLayer(Mark which, Target target)
{
    QList<int> changed;
    for (int i = 0; i < size(); ++i) {
        Entry& e = entries_[i];
        if (e.fired >= 0 && e.mark == which && e.target == target) {
            e.mark = Mark::Cleared;
            changed.append(i);
        }
    }
    return changed;
}

QList<int> RunningOrder::clearChannel(short channel)
{
    QList<int> changed;
    for (int i = 0; i < size(); ++i) {
        Entry& e = entries_[i];
        if (e.fired >= 0 && e.mark != Mark::None && e.target.channel == channel) {
            e.fired = -1;
            e.mark = Mark::None;
            changed.append(i);
        }
    }
    return changed;
}

int RunningOrder::refused(quint64 ticket)
{
    for (int i = 0; i < size(); ++i) {
        Entry& e = entries_[i];
        if (ticket != 0 && e.fired >= 0 && e.ticket == ticket && (e.mark == Mark::OnAir || e.mark == Mark::OnPreview)) {
            e.mark = Mark::Refused;
            return i;
        }
    }
    return -1;
}

} // namespace playlist
