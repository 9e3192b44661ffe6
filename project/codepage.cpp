#include "project/codepage.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <optional>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace project::codepage {

namespace {

// Bytes the code page leaves undefined decode to this private-use block, so they survive a
// read and a write unchanged.
constexpr char16_t kUndefinedBase = 0xF700;

struct Table {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;
    QString name;
    bool asciiAsIs = false; // bytes below 0x80 read as the same characters
};

/// The one character each byte reads as alone; nothing when the name is unknown or a byte is no
/// character by itself. U+FFFD marks a byte the code page leaves undefined.
using Alone = std::array<QChar, 256>;

#ifdef Q_OS_WIN
/// The Windows code page a name stands for, or 0. Qt on Windows knows only UTF and Latin-1 by
/// name, so the 8-bit code pages come from the system's own tables.
UINT windowsCodePage(const QString& name)
{
    const QString n = name.toLower();
    bool ok = false;
    UINT number = 0;
    if (n.startsWith(QLatin1String("windows-")))
        number = n.mid(8).toUInt(&ok);
    else if (n.startsWith(QLatin1String("iso-8859-")))
        number = 28590 + n.mid(9).toUInt(&ok);
    else if (n == QLatin1String("koi8-r"))
        number = 20866, ok = true;
    else if (n == QLatin1String("koi8-u"))
        number = 21866, ok = true;
    return ok ? number : 0;
}

/// The system's reading of each byte, checked the other way too: a byte whose character does not
/// go back to it (a best fit, or two bytes for one character) is taken as undefined.
std::optional<Alone> readAloneByWindows(UINT cp)
{
    CPINFO info;
    if (!GetCPInfo(cp, &info) || info.MaxCharSize != 1)
        return std::nullopt; // unknown, or a multi-byte code page
    Alone alone;
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        wchar_t unit[2] = {};
        QChar c(0xFFFD);
        if (MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, &byte, 1, unit, 2) == 1 &&
            !(unit[0] >= 0xE000 && unit[0] <= 0xF8FF)) { // the system's stand-in for an undefined byte
            char back[2] = {};
            BOOL lossy = FALSE;
            const int n = WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, unit, 1, back, 2, nullptr, &lossy);
            if (n == 1 && back[0] == byte && !lossy)
                c = QChar(char16_t(unit[0]));
        }
        alone[size_t(b)] = c;
    }
    // The one byte on which the Windows table of windows-1253 and ICU's (Qt's on Linux) differ:
    // Windows leaves 0xAA undefined, ICU reads it as U+00AA. Read alike, a dataset's UTF-8 copy,
    // which goes on air, does not depend on the system that wrote it.
    if (cp == 1253 && alone[0xAA] == QChar(0xFFFD))
        alone[0xAA] = QChar(0x00AA);
    return alone;
}
#endif

std::optional<Alone> readAloneByQt(const QString& name)
{
    const QByteArray codec = name.toLatin1();
    QStringDecoder decoder(codec.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    std::array<QString, 256> alone;
    for (int b = 0; b < 256; ++b) {
        decoder.resetState();
        alone[size_t(b)] = decoder(QByteArray(1, char(b)));
        if (alone[size_t(b)].size() != 1)
            return std::nullopt; // a byte that is no character by itself
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
                return std::nullopt;
        }
    }
    Alone result;
    for (int b = 0; b < 256; ++b)
        result[size_t(b)] = alone[size_t(b)][0];
    return result;
}

std::optional<Alone> readAlone(const QString& name)
{
#ifdef Q_OS_WIN
    if (const UINT cp = windowsCodePage(name))
        return readAloneByWindows(cp);
#endif
    return readAloneByQt(name);
}

bool build(const QString& name, Table& table)
{
    const std::optional<Alone> alone = readAlone(name);
    if (!alone)
        return false;
    table.fromUnicode.clear();
    for (int b = 0; b < 256; ++b) {
        const QChar one = (*alone)[size_t(b)];
        char16_t u = kUndefinedBase + char16_t(b);
        if (one != QChar(0xFFFD) && !(one == QChar(0x1A) && b != 0x1A))
            u = one.unicode();
        if (table.fromUnicode.contains(u))
            return false; // two bytes, one character: the second would not come back
        table.toUnicode[size_t(b)] = u;
        table.fromUnicode.insert(u, char(b));
    }
    table.name = name;
    table.asciiAsIs = true;
    for (int b = 0; b < 0x80; ++b)
        table.asciiAsIs = table.asciiAsIs && table.toUnicode[size_t(b)] == char16_t(b);
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
    // Most lines are plain ASCII, which Latin-1's conversion widens many bytes at a time.
    if (t.asciiAsIs && std::all_of(bytes.begin(), bytes.end(), [](char b) { return uchar(b) < 0x80; }))
        return QString::fromLatin1(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(t.toUnicode[uchar(bytes[i])]);
    return text;
}

const Units& units() { return current().toUnicode; }

Choice chooseForWindows(unsigned ansiCodePage)
{
    // The single-byte ANSI code pages Windows uses as a system's: Thai and 1250 to 1258.
    if (ansiCodePage == 874 || (ansiCodePage >= 1250 && ansiCodePage <= 1258))
        return {QStringLiteral("windows-%1").arg(ansiCodePage), QString()};
    const QString reported = ansiCodePage == 65001 ? QStringLiteral("UTF-8") : QStringLiteral("code page %1").arg(ansiCodePage);
    return {QStringLiteral("windows-1253"),
            QStringLiteral("The system's code page, %1, does not hold a character in one byte: the card, dataset and "
                           "playlist files are read as windows-1253 (--codepage chooses another).")
                .arg(reported)};
}

Choice systemDefault()
{
#ifdef Q_OS_WIN
    return chooseForWindows(GetACP());
#else
    return {QStringLiteral("windows-1253"), QString()};
#endif
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

} // namespace project::codepage

namespace project::codepage {

QString name() { return current().name; }

QString unheld(QStringView text)
{
    const Table& t = current();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (t.fromUnicode.contains(c.unicode()))
            continue;
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const char32_t point = pair ? QChar::surrogateToUcs4(c, text[i + 1]) : c.unicode();
        return QStringLiteral("\"%1\" (U+%2)")
            .arg(text.mid(i, pair ? 2 : 1), QString::number(uint(point), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    return QString();
}

} // namespace project::codepage
