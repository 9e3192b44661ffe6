#include "monitor/stage.h"

#include <QList>
#include <algorithm>
#include <climits>
#include <optional>

namespace monitor {

namespace {

// A CG command without a layer in its channel address goes to this one, as at the server.
constexpr int kCgDefaultLayer = 9999;

// A command the server knows: its name (with a sub-command where it has one) and how many
// parameters it needs after the name and the channel address.
struct Known {
    const char* name;
    qsizetype needs;
};

const QList<Known>& channelCommands()
{
    static const QList<Known> commands = {
        {"LOADBG", 1}, {"LOAD", 0}, {"PLAY", 0}, {"PAUSE", 0}, {"RESUME", 0}, {"STOP", 0}, {"CLEAR", 0},
        {"CALL", 1}, {"CG ADD", 3}, {"CG PLAY", 1}, {"CG STOP", 1}, {"CG NEXT", 1}, {"CG REMOVE", 1},
        {"CG CLEAR", 0}, {"CG UPDATE", 2}, {"CG INVOKE", 2}, {"MIXER KEYER", 0}, {"MIXER INVERT", 0},
        {"MIXER CHROMA", 0}, {"MIXER BLEND", 0}, {"MIXER OPACITY", 0}, {"MIXER BRIGHTNESS", 0},
        {"MIXER SATURATION", 0}, {"MIXER CONTRAST", 0}, {"MIXER LEVELS", 0}, {"MIXER FILL", 0},
        {"MIXER CLIP", 0}, {"MIXER ANCHOR", 0}, {"MIXER CROP", 0}, {"MIXER ROTATION", 0},
        {"MIXER PERSPECTIVE", 0}, {"MIXER VOLUME", 0}, {"MIXER MASTERVOLUME", 0}, {"MIXER GRID", 1},
        {"MIXER COMMIT", 0}, {"MIXER CLEAR", 0}};
    return commands;
}

const QList<Known>& globalCommands()
{
    static const QList<Known> commands = {{"VERSION", 0}, {"INFO", 0}};
    return commands;
}

// A whole number as the server's strict conversion reads it: a sign, then digits only.
std::optional<int> strictNumber(const QByteArray& text)
{
    bool ok = false;
    const int value = (text.startsWith('+') ? text.mid(1) : text).toInt(&ok);
    if (!ok || text.isEmpty() || text.contains(' ') || (text.size() > 1 && (text[1] == '+' || text[1] == '-')))
        return std::nullopt;
    return value;
}

// The CG layer as the server's lenient conversion reads it: blanks, a sign, digits, anything after.
enum class Lenient { Number, NotANumber, OutOfRange };
Lenient lenientNumber(const QByteArray& text)
{
    qsizetype at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    const qsizetype digits = at;
    qint64 value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at++] - '0');
        if (value > qint64(INT_MAX) + 1)
            return Lenient::OutOfRange;
    }
    if (at == digits)
        return Lenient::NotANumber;
    return value > INT_MAX && !negative ? Lenient::OutOfRange : Lenient::Number;
}

} // namespace

// One command as the server's parser found it: its name, the channel and layer of its address (from
// 1; 0 when the address names none) and the parameters after them.
struct Stage::Command {
    QByteArray name;
    int channel = 0;
    int layer = 0;
    QList<QByteArray> parameters;
    qsizetype count = 0; // all of them, kept or not
    bool hasLayer = false;
    int layerOr(int fallback) const { return hasLayer ? layer : fallback; }
};

Stage::Stage(Channels channels, QByteArray version) : channels_(std::move(channels)), version_(std::move(version)) {}

QByteArray Stage::answer(const QByteArray& line, const Tokens& tokens, const QByteArray& refuse)
{
    QList<QByteArray> p = tokens.parameters;
    qsizetype count = tokens.count;
    const auto pop = [&] {
        QByteArray front = p.takeFirst();
        --count;
        return front;
    };
    const auto echo = [&line](const QByteArray& prefix) {
        const QByteArray echoed = decoded(line); // whole, lone CR or LF and all, as the server echoes it
        QByteArray reply;
        reply.reserve(prefix.size() + echoed.size() + 13);
        return reply.append(prefix).append("400 ERROR\r\n").append(echoed).append("\r\n");
    };

    if (!p.isEmpty() && p.constFirst().toUpper() == "PING") { // answered at once, by the parser
        QByteArray pong = "PONG";
        for (qsizetype i = 1; i < p.size(); ++i)
            pong += ' ' + p[i];
        return pong + "\r\n";
    }
    if (!p.isEmpty() && p.constFirst().isEmpty())
        return "401  ERROR\r\n"; // the server looks at the first character of the first parameter
    if (!p.isEmpty() && p.constFirst().startsWith('/'))
        pop();
    QByteArray prefix;
    if (!p.isEmpty() && p.constFirst().toUpper() == "REQ") {
        pop();
        if (p.isEmpty())
            return "402  ERROR\r\n";
        prefix = "RES " + pop() + ' ';
    }
    if (p.isEmpty())
        return echo(prefix);

    Command c;
    c.name = pop().toUpper();
    // The channel address: "1" or "1-20". A channel that does not exist makes the line a command
    // without a channel, which only a command of the whole server can be.
    const QByteArray address = p.isEmpty() ? QByteArray() : p.constFirst().trimmed();
    const QList<QByteArray> parts = address.split('-');
    const std::optional<int> channel = p.isEmpty() ? std::nullopt : strictNumber(parts[0]);
    const auto find = [&](const QList<Known>& known, QList<QByteArray> params, qsizetype n) -> bool {
        if (!params.isEmpty()) {
            const QByteArray full = c.name + ' ' + params.constFirst().toUpper();
            const auto sub = std::find_if(known.begin(), known.end(), [&](const Known& k) { return full == k.name; });
            if (sub != known.end()) {
                params.removeFirst();
                --n;
                if (n >= sub->needs) {
                    c.name = full;
                    c.parameters = params;
                    c.count = n;
                    return true;
                }
            }
        }
        const auto plain = std::find_if(known.begin(), known.end(), [&](const Known& k) { return c.name == k.name; });
        if (plain == known.end() || n < plain->needs)
            return false;
        c.parameters = params;
        c.count = n;
        return true;
    };
    bool found = false;
    if (channel && *channel >= 1 && *channel <= channels_.count) {
        c.channel = *channel;
        if (parts.size() > 1) {
            const std::optional<int> layer = strictNumber(parts[1]);
            c.hasLayer = layer.has_value() && *layer != -1;
            c.layer = layer.value_or(0);
        }
        found = find(channelCommands(), p.mid(1), count - 1);
    }
    if (!found) {
        c.channel = 0;
        c.hasLayer = false;
        c.layer = 0;
        found = find(globalCommands(), p, count);
    }
    if (!found)
        return echo(prefix);
    return prefix + execute(c, refuse, line);
}

QByteArray Stage::execute(const Command& c, const QByteArray& refuse, const QByteArray& line)
{
    if (c.name == "VERSION")
        return "201 VERSION OK\r\n" + version_ + "\r\n";
    if (c.name == "INFO") {
        QByteArray list = "200 INFO OK\r\n";
        for (int i = 1; i <= channels_.count; ++i)
            list += QByteArray::number(i) + ' ' + channels_.mode + " PLAYING\r\n";
        return list + "\r\n";
    }
    if (!refuse.isEmpty() && line.contains(refuse))
        return "404 " + c.name + " FAILED\r\n";
    if (c.name.startsWith("CG "))
        return executeCg(c);
    if (c.name.startsWith("MIXER "))
        return "202 MIXER OK\r\n";
    if (c.name == "CLEAR") {
        if (c.hasLayer)
            templates_.remove({c.channel, c.layer});
        else
            templates_.removeIf([&](const std::pair<int, int>& at) { return at.first == c.channel; });
    } else if ((c.name == "PLAY" || c.name == "LOAD" || c.name == "LOADBG") && c.count > 0) {
        templates_.remove({c.channel, c.layerOr(0)}); // a clip takes the layer
    }
    return "202 " + c.name + " OK\r\n";
}

QByteArray Stage::executeCg(const Command& c)
{
    const std::pair<int, int> at{c.channel, c.layerOr(kCgDefaultLayer)};
    const QByteArray failed = " " + c.name + " FAILED\r\n";
    const QList<QByteArray>& p = c.parameters;
    if (c.name == "CG CLEAR") {
        templates_.remove(at);
        return "202 CG OK\r\n";
    }
    switch (lenientNumber(p.value(0))) {
    case Lenient::NotANumber: return "501" + failed;
    case Lenient::OutOfRange: return "402" + failed;
    case Lenient::Number: break;
    }
    if (c.name == "CG ADD") {
        // CG ch-layer ADD cg-layer template [label] play-on-load [data]
        const bool labelled = p.value(2).size() > 1;
        if (labelled && c.count < 4)
            return "402" + failed;
        const qsizetype data = labelled ? 4 : 3;
        if (c.count > data && p.value(data).isEmpty())
            return "402" + failed;
        templates_.insert(at);
        return "202 CG OK\r\n";
    }
    if (c.name == "CG UPDATE" && p.value(1).isEmpty())
        return "402" + failed;
    if (c.name == "CG PLAY")
        return "202 CG OK\r\n"; // played on whatever the layer holds, or on nothing
    if (!templates_.contains(at))
        return "403" + failed; // no template on that layer
    if (c.name == "CG INVOKE")
        return "201 CG OK\r\n\r\n"; // what the template's function gave back: nothing
    return "202 CG OK\r\n";
}

} // namespace monitor
