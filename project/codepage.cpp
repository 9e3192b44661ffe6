#include "project/codepage.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

namespace codepage {

namespace {

// Bytes the code page leaves undefined decode to this private-use block, so they survive a
// read and a write unchanged.
constexpr char16_t kUndefinedBase = 0xF700;

struct Table {
    QString name;
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;
};

bool build(const QString& name, Table& table)
{
    QStringDecoder probe(name.toLatin1().constData());
    if (!probe.isValid())
        return false;
    for (int b = 0; b < 256; ++b) {
        QStringDecoder decoder(name.toLatin1().constData());
        const QString one = decoder(QByteArray(1, char(b)));
        char16_t u = kUndefinedBase + char16_t(b);
        if (one.size() == 1 && one[0] != QChar(0xFFFD) && !(one[0] == QChar(0x1A) && b != 0x1A))
            u = one[0].unicode();
        else if (one.size() > 1)
            return false; // not an 8-bit code page
        table.toUnicode[size_t(b)] = u;
    }
    table.fromUnicode.clear();
    for (int b = 255; b >= 0; --b) // the lowest byte wins where two bytes share a character
        table.fromUnicode.insert(table.toUnicode[size_t(b)], char(b));
    table.name = name;
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

QString name() { return current().name; }

QString decode(const QByteArray& bytes)
{
    const Table& t = current();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(t.toUnicode[uchar(bytes[i])]);
    return text;
}

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

} // namespace codepage
