#pragma once
// OSC 1.0 as control surfaces speak it: a datagram holds one message (an address and typed
// arguments) or a bundle of messages. The reader takes only what the remote control needs and
// drops the rest whole, so nothing oversized or malformed ever reaches a handler.
#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <optional>

namespace remote::osc {

/// The most a datagram, an address and a message's arguments may hold; past them a datagram is
/// dropped unread.
constexpr qsizetype kMaxDatagram = 1024;
constexpr qsizetype kMaxAddress = 128;
constexpr qsizetype kMaxArguments = 8;

/// One argument, by its type tag: i and h integers, f and d reals, s, S and b bytes, T and F
/// booleans, N nil, I impulse.
struct Argument {
    char tag = 'N';
    qint64 integer = 0; // i, h
    double real = 0;    // f, d
    QByteArray bytes;   // s, S, b

    static Argument int32(qint32 value) { return {'i', value, 0, {}}; }
    static Argument string(const QByteArray& value) { return {'s', 0, 0, value}; }
    static Argument boolean(bool value) { return {value ? 'T' : 'F', 0, 0, {}}; }

    bool operator==(const Argument&) const = default;
};

struct Message {
    QByteArray address;
    QList<Argument> arguments;
    bool operator==(const Message&) const = default;
};

/// The messages of a datagram: one for a message, each of a bundle's in order. Nothing when the
/// datagram is over a limit, truncated, malformed, holds an unknown type tag or a nested bundle.
std::optional<QList<Message>> decode(const QByteArray& datagram);

/// The message as one datagram. Strings end at their first NUL; a 32-bit real is rounded.
QByteArray encode(const Message& message);

} // namespace remote::osc
