#include "monitor/reading.h"

#include <QStringDecoder>
#include <QXmlStreamReader>
#include <algorithm>

#include "monitor/stage.h"
#include "monitor/tokenizer.h"

namespace monitor {

namespace {

// Where a command's template document sits: CG ch-layer ADD cg-layer template play-on-load data,
// CG ch-layer UPDATE cg-layer data.
qsizetype templateDataIndex(const QList<QByteArray>& p)
{
    if (p.size() < 3 || p[0].toUpper() != "CG")
        return -1;
    const QByteArray verb = p[2].toUpper();
    if (verb == "ADD")
        return 6;
    if (verb == "UPDATE")
        return 4;
    return -1;
}

QString escaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u'\t')
            out += QLatin1String("\\t");
        else if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else if (c.unicode() == 0xFEFF) // invisible, yet the server reads it as part of the word
            out += QLatin1String("\\ufeff");
        else
            out += c;
    }
    return out;
}

} // namespace

QList<Field> templateFields(const QByteArray& document, QString* error, qsizetype keep, qsizetype* count)
{
    QList<Field> fields;
    qsizetype found = 0;
    QXmlStreamReader xml(document);
    QString id;
    bool valueTaken = true;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("componentData")) {
            id = xml.attributes().value(QLatin1String("id")).toString();
            valueTaken = false;
        } else if (xml.name() == QLatin1String("data") && !valueTaken) {
            if (found++ < keep)
                fields.append({id, xml.attributes().value(QLatin1String("value")).toString()});
            valueTaken = true; // one value per component: the first data element's
        }
    }
    if (xml.hasError() && error)
        *error = QStringLiteral("%1 (line %2, column %3)")
                     .arg(xml.errorString())
                     .arg(xml.lineNumber())
                     .arg(xml.columnNumber());
    if (count)
        *count = found;
    return fields;
}

Reading read(const QByteArray& line, const QByteArray& refuse, Stage* stage)
{
    Reading r;
    Tokens tokens = tokenize(line, kKeptItems);
    Stage fresh;
    r.reply = (stage ? stage : &fresh)->answer(line, tokens, refuse);
    r.parameters = std::move(tokens.parameters);
    r.parameterCount = tokens.count;
    r.invalidBytes = tokens.invalidBytes;
    r.loneBreak = line.contains('\r') || line.contains('\n');
    const qsizetype at = templateDataIndex(r.parameters);
    r.hasTemplateData = at >= 0 && at < r.parameters.size();
    if (r.hasTemplateData)
        r.fields = templateFields(r.parameters[at], &r.xmlError, kKeptItems, &r.fieldCount);
    return r;
}

QString printable(const QString& text, qsizetype maxShown)
{
    if (text.size() <= maxShown)
        return escaped(text);
    return escaped(QStringView(text).first(maxShown)) + QStringLiteral(" ... (%1 characters in all)").arg(text.size());
}

QString printableStart(const QByteArray& bytes, qsizetype maxShown)
{
    // A character shown takes four bytes at most, so these hold all that is shown.
    // A leading byte-order mark is shown, not swallowed: it is part of the parameter.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString start = utf8(bytes.first(qMin(bytes.size(), 4 * maxShown + 4)));
    if (start.size() <= maxShown && bytes.size() <= 4 * maxShown + 4)
        return escaped(start);
    return escaped(QStringView(start).first(qMin(start.size(), maxShown))) +
           QStringLiteral(" ... (%1 bytes in all)").arg(bytes.size());
}

QString render(const QString& prefix, const Reading& r, qsizetype maxShown)
{
    QString out = prefix;
    out += QStringLiteral(" %1 parameter(s)").arg(r.parameterCount);
    if (r.invalidBytes > 0)
        out += QStringLiteral("  ! %1 byte(s) not UTF-8, dropped as the server drops them").arg(r.invalidBytes);
    if (r.loneBreak)
        out += QLatin1String("  ! a lone CR or LF inside the line: the server may end the command there");
    out += u'\n';
    for (qsizetype i = 0; i < qMin(r.parameters.size(), kShownItems); ++i)
        out += QStringLiteral("  [%1] %2\n").arg(i + 1).arg(printableStart(r.parameters[i], maxShown));
    if (r.parameterCount > kShownItems)
        out += QStringLiteral("  ... %1 more parameter(s)\n").arg(r.parameterCount - kShownItems);
    if (r.hasTemplateData) {
        for (qsizetype i = 0; i < qMin(r.fields.size(), kShownItems); ++i)
            out += QStringLiteral("      %1 = %2\n")
                       .arg(printable(r.fields[i].id, maxShown), printable(r.fields[i].value, maxShown));
        if (r.fieldCount > kShownItems)
            out += QStringLiteral("      ... %1 more field(s)\n").arg(r.fieldCount - kShownItems);
        if (!r.xmlError.isEmpty())
            out += QStringLiteral("  ! malformed template data: %1\n").arg(printable(r.xmlError, maxShown));
    }
    out += QStringLiteral("  -> %1\n").arg(QString::fromLatin1(r.reply.first(r.reply.indexOf("\r\n"))));
    return out;
}

} // namespace monitor
