#include "remote/osccontrol.h"

#include <QNetworkDatagram>
#include <algorithm>
#include <cmath>
#include <optional>

#include "remote/surface.h"

namespace remote {

namespace {

/// An argument as a whole number: i and h as they are, f and d rounded to the nearest; nothing
/// for another type, NaN, an infinity or what no int holds.
std::optional<int> wholeNumber(const osc::Argument& argument)
{
    constexpr double kLimit = 2147483647.0;
    switch (argument.tag) {
    case 'i':
    case 'h':
        if (argument.integer < -qint64(kLimit) || argument.integer > qint64(kLimit))
            return std::nullopt;
        return int(argument.integer);
    case 'f':
    case 'd':
        if (!std::isfinite(argument.real) || std::abs(argument.real) > kLimit)
            return std::nullopt;
        return int(std::lround(argument.real));
    default:
        return std::nullopt;
    }
}

/// How the first argument reads as a button: a press acts, a release (0, false) does nothing.
enum class Press { Acts, Release, WrongType };

Press pressOf(const QList<osc::Argument>& arguments)
{
    if (arguments.isEmpty())
        return Press::Acts;
    const osc::Argument& first = arguments.first();
    switch (first.tag) {
    case 'T':
    case 'I':
        return Press::Acts;
    case 'F':
        return Press::Release;
    default:
        break;
    }
    const std::optional<int> value = wholeNumber(first);
    if (!value)
        return Press::WrongType;
    return *value > 0 ? Press::Acts : Press::Release;
}

/// A number of the address ("3" of /plintor/entry/3/...), 1 and up; 0 when it is none.
int numberOf(const QByteArray& part)
{
    if (part.isEmpty() || part.size() > 6 || part.front() == '0')
        return 0;
    for (const char c : part)
        if (c < '0' || c > '9')
            return 0;
    return part.toInt();
}

const QList<QPair<QByteArray, CueMove>> kMoves = {
    {"up", CueMove::Up},     {"down", CueMove::Down}, {"left", CueMove::Left},
    {"right", CueMove::Right}, {"home", CueMove::Home}, {"end", CueMove::End},
};

/// "3 Play": the entry's number and the step's name.
QString stepText(const Tally& tally, int entry, int step)
{
    QString name;
    if (entry >= 1 && entry <= tally.entries.size())
        name = tally.entries.at(entry - 1).steps.value(step - 1).name;
    return QString::number(entry) + QLatin1Char(' ') + name;
}

/// The address as the status bar can show it: control characters and what is not ASCII as "?".
QString printable(const QByteArray& address)
{
    QString text = QString::fromLatin1(address);
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            c = QLatin1Char('?');
    return text;
}

} // namespace

OscControl::OscControl(Surface& surface, QObject* parent) : QObject(parent), surface_(surface)
{
    clock_.start();
    connect(&socket_, &QUdpSocket::readyRead, this, &OscControl::readPending);
}

bool OscControl::listen(const Endpoint& where)
{
    return socket_.bind(where.address, where.port);
}

void OscControl::readPending()
{
    // Every datagram waiting is read while the socket says so: one left behind may leave the
    // socket's notifier waiting for a read that never comes, and control deaf for good. A flood
    // faster than this reads is cut by time instead; the reads made re-arm the notifier, so the
    // rest comes with the next turn of the event loop.
    QElapsedTimer turn;
    turn.start();
    while (socket_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_.receiveDatagram(osc::kMaxDatagram + 1);
        const Endpoint sender{datagram.senderAddress(), quint16(datagram.senderPort())};
        const std::optional<QList<osc::Message>> messages = osc::decode(datagram.data());
        if (!messages)
            ++dropped_;
        else
            for (const osc::Message& message : *messages)
                if (admitted(sender))
                    handle(message, sender);
                else
                    ++dropped_;
        if (turn.elapsed() >= kTurnMs)
            break;
    }
}

bool OscControl::admitted(const Endpoint& sender)
{
    const qint64 now = clock_.elapsed();
    const QString key = sender.text();
    auto found = senders_.find(key);
    if (found == senders_.end()) {
        if (senders_.size() >= 256) // senders long quiet are forgotten, so spoofed ones cannot grow the table
            senders_.removeIf([now](const auto& item) { return now - item.value().start >= 1000; });
        found = senders_.insert(key, Window{now, 0});
    }
    Window& window = found.value();
    if (now - window.start >= 1000)
        window = Window{now, 0};
    return ++window.count <= kMaxPerSecond;
}

void OscControl::handle(const osc::Message& message, const Endpoint& sender)
{
    const Outcome outcome = perform(message, sender);
    if (outcome.text.isEmpty())
        return;
    const QString from = QStringLiteral(" from ") + sender.text();
    if (outcome.acted) {
        emit acted(QStringLiteral("Remote: ") + outcome.text + from);
        return;
    }
    ++ignored_;
    emit ignored(QStringLiteral("Remote: ignored ") + printable(message.address) + from +
                 QStringLiteral(" (") + outcome.text + QLatin1Char(')'));
}

OscControl::Outcome OscControl::perform(const osc::Message& message, const Endpoint& sender)
{
    const Outcome unknown{false, QStringLiteral("unknown address")};
    const Outcome wrongArguments{false, QStringLiteral("wrong arguments")};
    const Outcome noSuchStep{false, QStringLiteral("no such entry or step")};
    const QList<QByteArray> path = message.address.split('/').mid(1);
    if (path.value(0) != "plintor")
        return unknown;
    const QList<osc::Argument>& arguments = message.arguments;

    if (path == QList<QByteArray>{"plintor", "cue", "goto"}) {
        // Surfaces that send only reals (and generic-osc's "Send float") say 5.0 for entry 5.
        const std::optional<int> entry = arguments.size() == 1 || arguments.size() == 2
                                             ? wholeNumber(arguments.at(0))
                                             : std::nullopt;
        const std::optional<int> step = arguments.size() == 2 ? wholeNumber(arguments.at(1)) : std::optional<int>(1);
        if (!entry || !step)
            return wrongArguments;
        if (!surface_.gotoCue(*entry, *step))
            return noSuchStep;
        return {true, QStringLiteral("cue ") + stepText(surface_.tally(), *entry, *step)};
    }

    switch (pressOf(arguments)) {
    case Press::Release:
        return {false, QString()};
    case Press::WrongType:
        return wrongArguments;
    case Press::Acts:
        break;
    }

    if (path.size() == 3 && path.at(1) == "cue") {
        const QByteArray& what = path.at(2);
        if (what == "fire" || what == "preview") {
            const bool preview = what == "preview";
            const Tally tally = surface_.tally();
            if (!surface_.fire(tally.cueEntry, tally.cueStep, preview))
                return noSuchStep;
            return {true, QString::fromLatin1(what) + QLatin1Char(' ') + stepText(tally, tally.cueEntry, tally.cueStep)};
        }
        if (what == "clear") {
            if (!surface_.clearCue(false))
                return noSuchStep;
            return {true, QStringLiteral("clear")};
        }
        for (const auto& [name, move] : kMoves)
            if (what == name) {
                if (!surface_.moveCue(move))
                    return noSuchStep;
                return {true, QStringLiteral("cue ") + QString::fromLatin1(name)};
            }
        return unknown;
    }
    if (path == QList<QByteArray>{"plintor", "cue", "clear", "preview"}) {
        if (!surface_.clearCue(true))
            return noSuchStep;
        return {true, QStringLiteral("clear preview")};
    }
    if (path.size() == 6 && path.at(1) == "entry" && path.at(3) == "step" &&
        (path.at(5) == "fire" || path.at(5) == "preview")) {
        const int entry = numberOf(path.at(2));
        const int step = numberOf(path.at(4));
        const bool preview = path.at(5) == "preview";
        if (entry == 0 || step == 0 || !surface_.fire(entry, step, preview))
            return noSuchStep;
        return {true, QString::fromLatin1(path.at(5)) + QLatin1Char(' ') + stepText(surface_.tally(), entry, step)};
    }
    if (path.size() == 4 && path.at(1) == "channel" && path.at(3) == "clear") {
        const int channel = numberOf(path.at(2));
        if (channel < 1 || channel > 4 || !surface_.clearChannel(channel))
            return {false, QStringLiteral("no such channel")};
        return {true, QStringLiteral("clear channel ") + QString::number(channel)};
    }
    if (path == QList<QByteArray>{"plintor", "state"}) {
        emit stateRequested(sender);
        return {true, QStringLiteral("state")};
    }
    return unknown;
}

} // namespace remote
