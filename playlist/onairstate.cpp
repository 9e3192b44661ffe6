#include "playlist/onairstate.h"

namespace playlist {

Mark OnAirState::mark(int i, int s) const
{
    const Entry& e = entries_.at(i);
    return s == e.fired ? e.mark : e.steps;
}

void OnAirState::append(bool addedFromTree)
{
    Entry e;
    e.striped = !addedFromTree;
    e.steps = addedFromTree ? Mark::Cleared : Mark::None;
    entries_.append(e);
}

// An entry that is not there changes nothing: the grid and this state may only part through a fault.
void OnAirState::remove(int i)
{
    if (has(i))
        entries_.removeAt(i);
}

void OnAirState::move(int from, int to)
{
    if (has(from) && has(to))
        entries_.move(from, to);
}

void OnAirState::fired(int i, int s, Mark mark, Target target, quint64 ticket)
{
    if (!has(i))
        return;
    Entry& e = entries_[i];
    e.steps = Mark::None;
    e.fired = s;
    e.mark = mark;
    e.target = target;
    e.ticket = ticket;
}

void OnAirState::plain(int i)
{
    if (!has(i))
        return;
    Entry& e = entries_[i];
    e = Entry();
    e.striped = true;
}

void OnAirState::restripe()
{
    for (Entry& e : entries_)
        e.striped = true;
}

QList<int> OnAirState::clearLayer(Mark which, Target target)
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

QList<int> OnAirState::clearChannel(short channel)
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

int OnAirState::refused(quint64 ticket)
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
