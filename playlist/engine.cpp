#include "playlist/engine.h"

#include "server/cardline.h"
#include "server/compose.h"

namespace playlist {

Engine::Engine(const project::State& s, RunningOrder& order, server::Link& link, QObject* parent)
    : QObject(parent), s_(s), order_(order), link_(link)
{
    connect(&link_, &server::Link::answered, this,
            [this](const server::Answer& answer, quint64 ticket, const QByteArray&) { answered(answer, ticket); });
    // With the connection gone no answer comes: what went out counts as carried out.
    connect(&link_, &server::Link::stateChanged, this, [this] {
        if (!linkUp())
            order_.settle();
    });
}

bool Engine::linkUp() const { return link_.State() == server::Link::Connected; }

Target Engine::target(int entry, short previewChannel) const
{
    if (!order_.has(entry))
        return {};
    const RunningOrder::Entry& e = order_.entry(entry);
    return {previewChannel != 0 ? previewChannel : e.channel, e.layer};
}

QByteArray Engine::stepLine(int i, int s, Target target) const
{
    if (!order_.has(i))
        return {};
    const RunningOrder::Entry& e = order_.entry(i);
    const QString step = order_.step(i, s);
    if (step.isEmpty() || e.card < 1 || size_t(e.card) >= s_.CARDS.size())
        return {};
    const project::CARD& card = s_.CARDS[size_t(e.card)];
    // The card gives the layer; the target only chooses the channel (its own or the preview).
    return server::compose::cardLine(card, target.channel, s_.ProjectName, s_.DataFolder, e.file, step);
}

quint64 Engine::write(const QByteArray& line)
{
    if (line.isEmpty() || !linkUp())
        return 0;
    return link_.SendData(line);
}

bool Engine::send(int i, int s, Target target, const QByteArray& line)
{
    const quint64 ticket = write(line);
    if (ticket == 0)
        return false;
    order_.sent(i, s, target, ticket);
    return true;
}

bool Engine::clearLayer(Target target)
{
    const quint64 ticket = write(server::compose::clearLine(target.channel, target.layer));
    if (ticket == 0)
        return false;
    order_.clearedLayer(target, ticket);
    return true;
}

bool Engine::clearChannel(short channel)
{
    const quint64 ticket = write(server::compose::clearLine(channel));
    if (ticket == 0)
        return false;
    order_.clearedChannel(channel, ticket);
    return true;
}

void Engine::answered(const server::Answer& answer, quint64 ticket)
{
    // An answer not tied to its line with certainty changes no mark.
    if (ticket == 0)
        return;
    if (answer.refusal())
        order_.refused(ticket);
    else
        order_.accepted(ticket);
}

} // namespace playlist
