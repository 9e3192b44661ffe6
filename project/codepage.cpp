#include "project/codepage.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

namespace project::codepage {

namespace {

// Bytes the code page leaves undefined decode to this private-use block, so they survive a
// read and a write unchanged.
constexpr char16_t kUndefinedBase = 0xF700;

struct Table {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;
};

bool build(const QString& name, Table& table)
{
    const QByteArray codec = name.toLatin1();
    QStringDecoder decoder(codec.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    std::array<QString, 256> alone;
    for (int b = 0; b < 256; ++b) {
        decoder.resetState();
        alone[size_t(b)] = decoder(QByteArray(1, char(b)));
        if (alone[size_t(b)].size() != 1)
            return false; // a byte that is no character by itself
    }
    // One byte per character reads every pair of bytes as the two read alone; a multi-byte or
    // stateful encoding joins or changes some pair.
    QByteArray pair(2, '\0');
    for (int b1 = 0; b1 < 256; ++b1) {
        for (int b2 = 0; b2 < 256; ++b2) {
            pair[0] = char(b1);
            pair[1] = char(b2);
            decoder.resetState();
            if (decoder(pair) != alone[size_t(b1)] + alone[size_t(b2)])
                return false;
        }
    }
    table.fromUnicode.clear();
    for (int b = 0; b < 256; ++b) {
        const QChar one = alone[size_t(b)][0];
        char16_t u = kUndefinedBase + char16_t(b);
        if (one != QChar(0xFFFD) && !(one == QChar(0x1A) && b != 0x1A))
            u = one.unicode();
        if (table.fromUnicode.contains(u))
            return false; // two bytes, one character: the second would not come back
        table.toUnicode[size_t(b)] = u;
        table.fromUnicode.insert(u, char(b));
    }
    return true;
}

Table& current()
{
    static Table table = [] {
        Table t;
        build(QStringLiteral("windows-1253"), t);
        return t;
    }();
    return table;
}

} // namespace

bool select(const QString& name)
{
    Table t;
    if (!build(name, t))
        return false;
    current() = std::move(t);
    return true;
}

QString decode(QByteArrayView bytes)
{
    const Table& t = current();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(t.toUnicode[uchar(bytes[i])]);
    return text;
}

const Units& units() { return current().toUnicode; }

QByteArray encode(const QString& text)
{
    const Table& t = current();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one character outside the code page, one "?"
        else if (auto it = t.fromUnicode.constFind(c.unicode()); it != t.fromUnicode.constEnd()) {
            bytes.append(*it);
            continue;
        }
        bytes.append('?');
    }
    return bytes;
}

} // namespace project::codepage
