#include "remote/oscfeedback.h"

#include <algorithm>

namespace remote {

namespace {

osc::Message message(const QByteArray& address, QList<osc::Argument> arguments)
{
    return {address, std::move(arguments)};
}

osc::Message flag(const QByteArray& address, bool on)
{
    return message(address, {osc::Argument::int32(on ? 1 : 0)});
}

osc::Message text(const QByteArray& address, const QString& value)
{
    return message(address, {osc::Argument::string(value.toUtf8())});
}

void stepMessages(QList<osc::Message>& out, int entry, int step, const Tally::Step* before, const Tally::Step& now)
{
    const QByteArray prefix = "/plintor/entry/" + QByteArray::number(entry) + "/step/" + QByteArray::number(step);
    if (!before || before->name != now.name)
        out.append(text(prefix + "/name", now.name));
    if (!before || before->onAir != now.onAir)
        out.append(flag(prefix + "/onair", now.onAir));
    if (!before || before->preview != now.preview)
        out.append(flag(prefix + "/preview", now.preview));
    if (!before || before->refused != now.refused)
        out.append(flag(prefix + "/refused", now.refused));
}

const Tally::Step* stepAt(const Tally& tally, int e, int s)
{
    if (e >= tally.entries.size() || s >= tally.entries.at(e).steps.size())
        return nullptr;
    return &tally.entries.at(e).steps.at(s);
}

} // namespace

QList<osc::Message> tallyMessages(const std::optional<Tally>& before, const Tally& now)
{
    static const Tally::Step kResting;
    QList<osc::Message> out;
    const qsizetype entries = before ? std::max(before->entries.size(), now.entries.size()) : now.entries.size();
    for (int e = 0; e < entries; ++e) {
        // An entry that went has no title any more, as a step that went has no name.
        const QString title = e < now.entries.size() ? now.entries.at(e).title : QString();
        if (!before || e >= before->entries.size() || before->entries.at(e).title != title)
            out.append(text("/plintor/entry/" + QByteArray::number(e + 1) + "/title", title));
        const qsizetype stepsBefore = before && e < before->entries.size() ? before->entries.at(e).steps.size() : 0;
        const qsizetype stepsNow = e < now.entries.size() ? now.entries.at(e).steps.size() : 0;
        for (int s = 0; s < std::max(stepsBefore, stepsNow); ++s) {
            const Tally::Step* was = before ? stepAt(*before, e, s) : nullptr;
            const Tally::Step* is = stepAt(now, e, s);
            stepMessages(out, e + 1, s + 1, before ? (was ? was : &kResting) : nullptr, is ? *is : kResting);
        }
    }
    if (!before || before->cueEntry != now.cueEntry || before->cueStep != now.cueStep)
        out.append(message("/plintor/cue", {osc::Argument::int32(now.cueEntry), osc::Argument::int32(now.cueStep)}));
    if (!before || before->cueTitle != now.cueTitle)
        out.append(text("/plintor/cue/title", now.cueTitle));
    if (!before || before->cueStepName != now.cueStepName)
        out.append(text("/plintor/cue/step", now.cueStepName));
    if (!before || before->linkUp != now.linkUp)
        out.append(flag("/plintor/link", now.linkUp));
    if (!before || before->refusal != now.refusal)
        out.append(text("/plintor/refusal", now.refusal));
    for (int c = 0; c < int(now.onAir.size()); ++c)
        if (!before || before->onAir.at(size_t(c)) != now.onAir.at(size_t(c)))
            out.append(text("/plintor/onair/" + QByteArray::number(c + 1), now.onAir.at(size_t(c))));
    if (!before || before->entries.size() != now.entries.size())
        out.append(message("/plintor/entries", {osc::Argument::int32(qint32(now.entries.size()))}));
    return out;
}

OscFeedback::OscFeedback(const Surface& surface, QObject* parent) : QObject(parent), surface_(surface)
{
    heartbeat_.setInterval(kHeartbeatMs);
    connect(&heartbeat_, &QTimer::timeout, this,
            [this] { send({message("/plintor/alive", {osc::Argument::int32(1)})}, targets_); });
    heartbeat_.start();
}

void OscFeedback::changed()
{
    const Tally now = surface_.tally();
    send(tallyMessages(sent_, now), targets_);
    sent_ = now;
}

void OscFeedback::sendState()
{
    // Only to the targets: whoever else asks would get many times what it sent, and a forged
    // sender would turn the program into a reflector.
    const Tally now = surface_.tally();
    send(tallyMessages(std::nullopt, now), targets_);
    sent_ = now;
}

void OscFeedback::send(const QList<osc::Message>& messages, const QList<Endpoint>& to)
{
    // One message a datagram: the simplest receivers read no bundles.
    for (const osc::Message& m : messages) {
        const QByteArray datagram = osc::encode(m);
        for (const Endpoint& target : to)
            socket_.writeDatagram(datagram, target.address, target.port);
    }
}

} // namespace remote
