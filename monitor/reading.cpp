#include "monitor/reading.h"

#include <QStringDecoder>
#include <QXmlStreamReader>
#include <algorithm>

#include "server/tokenizer.h"

namespace monitor {

namespace {

bool validUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes); // decoding happens only on conversion
    return !decoder.hasError();
}

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

// "1" or "1-20": a channel, maybe with its layer.
bool isTarget(const QByteArray& text)
{
    const QList<QByteArray> parts = text.split('-');
    if (parts.size() > 2)
        return false;
    for (const QByteArray& part : parts)
        if (part.isEmpty() || !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
    return true;
}

QByteArray replyFor(const Reading& r)
{
    static const QByteArray error = "400 ERROR\r\n";
    if (!r.utf8 || r.parameters.isEmpty())
        return error;
    const QByteArray command = r.parameters[0].toUpper();
    if (command == "CG") {
        static const QList<QByteArray> verbs = {"ADD", "UPDATE", "INVOKE", "PLAY", "STOP", "NEXT", "REMOVE", "CLEAR"};
        if (r.parameters.size() < 3 || !isTarget(r.parameters[1]) || !verbs.contains(r.parameters[2].toUpper()))
            return error;
        return "202 CG OK\r\n";
    }
    // The commands a card's custom line most often holds; each names its channel.
    static const QList<QByteArray> commands = {"CLEAR", "PLAY", "LOAD", "LOADBG", "PAUSE", "RESUME", "STOP", "CALL",
                                               "MIXER"};
    if (commands.contains(command) && r.parameters.size() >= 2 && isTarget(r.parameters[1]))
        return "202 " + command + " OK\r\n";
    return error;
}

QString shown(const QByteArray& bytes, qsizetype maxShown) { return printable(QString::fromUtf8(bytes), maxShown); }

} // namespace

QList<Field> templateFields(const QByteArray& document, QString* error)
{
    QList<Field> fields;
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
            fields.append({id, xml.attributes().value(QLatin1String("value")).toString()});
            valueTaken = true; // one value per component: the first data element's
        }
    }
    if (xml.hasError() && error)
        *error = QStringLiteral("%1 (line %2, column %3)")
                     .arg(xml.errorString())
                     .arg(xml.lineNumber())
                     .arg(xml.columnNumber());
    return fields;
}

Reading read(const QByteArray& line)
{
    Reading r;
    r.parameters = server::parameters(line);
    r.utf8 = validUtf8(line);
    const qsizetype at = templateDataIndex(r.parameters);
    r.hasTemplateData = at >= 0 && at < r.parameters.size();
    if (r.hasTemplateData)
        r.fields = templateFields(r.parameters[at], &r.xmlError);
    r.reply = replyFor(r);
    return r;
}

QString printable(const QString& text, qsizetype maxShown)
{
    QString out;
    const qsizetype shownSize = qMin(text.size(), maxShown);
    out.reserve(shownSize);
    for (qsizetype i = 0; i < shownSize; ++i) {
        const QChar c = text[i];
        if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u'\t')
            out += QLatin1String("\\t");
        else if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    if (shownSize < text.size())
        out += QStringLiteral(" ... (%1 characters in all)").arg(text.size());
    return out;
}

QString render(const QString& prefix, const Reading& r, qsizetype maxShown)
{
    QString out = prefix;
    out += QStringLiteral(" %1 parameter(s)").arg(r.parameters.size());
    if (!r.utf8)
        out += QLatin1String("  ! not valid UTF-8");
    out += u'\n';
    for (qsizetype i = 0; i < r.parameters.size(); ++i)
        out += QStringLiteral("  [%1] %2\n").arg(i + 1).arg(shown(r.parameters[i], maxShown));
    if (r.hasTemplateData) {
        for (const Field& f : r.fields)
            out += QStringLiteral("      %1 = %2\n").arg(printable(f.id, maxShown), printable(f.value, maxShown));
        if (!r.xmlError.isEmpty())
            out += QStringLiteral("  ! malformed template data: %1\n").arg(printable(r.xmlError, maxShown));
    }
    out += QStringLiteral("  -> %1\n").arg(QString::fromLatin1(r.reply.trimmed()));
    return out;
}

} // namespace monitor
