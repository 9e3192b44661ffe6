#include "monitor/tokenizer.h"

namespace monitor {

namespace {

bool inRange(char c, uchar low, uchar high) { return uchar(c) >= low && uchar(c) <= high; }

// The size of the valid UTF-8 sequence at at, or 0 when the byte there starts none: no overlong
// forms, no surrogates, nothing past U+10FFFF.
qsizetype sequenceAt(QByteArrayView s, qsizetype at)
{
    const uchar lead = uchar(s[at]);
    if (lead < 0x80)
        return 1;
    qsizetype size = 0;
    uchar low = 0x80, high = 0xBF; // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + size > s.size() || !inRange(s[at + 1], low, high))
        return 0;
    for (qsizetype i = 2; i < size; ++i)
        if (!inRange(s[at + i], 0x80, 0xBF))
            return 0;
    return size;
}

} // namespace

Tokens tokenize(QByteArrayView command, qsizetype keep)
{
    Tokens out;
    QByteArray current;
    bool hasText = false; // current holds text, or would if it were kept
    bool quoted = false;
    bool escaped = false;
    qsizetype depth = 0; // of parenthesis groups; below zero after a stray ")"
    const auto add = [&](QByteArrayView text) {
        if (out.count < keep)
            current.append(text);
        hasText = true;
    };
    const auto end = [&] {
        if (out.count++ < keep)
            out.parameters.append(std::exchange(current, QByteArray()));
        hasText = false;
    };
    for (qsizetype i = 0; i < command.size();) {
        const qsizetype size = sequenceAt(command, i);
        if (size == 0) {
            ++out.invalidBytes;
            ++i;
            continue;
        }
        const QByteArrayView character = command.sliced(i, size);
        i += size;
        const char c = size == 1 ? character[0] : '\0'; // every character with a role is ASCII
        if (escaped) {
            escaped = false;
            if (c == '\\' || c == '"')
                add(character);
            else if (c == 'n')
                add("\n");
            continue;
        }
        if (c == '\\') {
            escaped = true;
        } else if (c == ' ' && depth == 0 && !quoted) {
            if (hasText)
                end();
        } else if (c == '"' && depth == 0) {
            if (quoted)
                end(); // a closing quote ends its parameter, even an empty one
            quoted = !quoted;
        } else if (c == '(' && !quoted) {
            ++depth;
            add(character);
        } else if (c == ')' && !quoted) {
            add(character);
            if (--depth == 0)
                end();
        } else {
            add(character);
        }
    }
    if (hasText)
        end();
    return out;
}

QList<QByteArray> parameters(QByteArrayView command) { return tokenize(command).parameters; }

QByteArray decoded(const QByteArray& line)
{
    qsizetype i = 0;
    for (qsizetype size; i < line.size() && (size = sequenceAt(line, i)) > 0;)
        i += size;
    if (i == line.size())
        return line; // valid all through: shared, not copied
    QByteArray out;
    out.reserve(line.size());
    out.append(line.first(i));
    while (i < line.size()) {
        const qsizetype size = sequenceAt(line, i);
        if (size > 0)
            out.append(line.sliced(i, size));
        i += size > 0 ? size : 1;
    }
    return out;
}

} // namespace monitor
