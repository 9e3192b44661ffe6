#include "server/compose.h"

#include "fault/runtimeerror.h"
#include "project/convert.h"

namespace compose {

namespace {

QByteArray component(const QByteArray& id, const QByteArray& type, short ani, const QByteArray& value)
{
    return "<componentData id='" + xmlEscaped(id) + "'><data type='" + xmlEscaped(type) + "' ani='" +
           QByteArray::number(ani) + "' value='" + xmlEscaped(value) + "'></data></componentData>";
}

// The template path sits inside a quoted AMCP parameter.
QByteArray quotedParameter(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('\\', "\\\\");
    bytes.replace('"', "\\\"");
    return bytes;
}

QByteArray target(const char* verb, short channel, short layer)
{
    return "CG " + QByteArray::number(channel) + '-' + QByteArray::number(layer) + ' ' + verb + " 1 ";
}

} // namespace

Kind kindOf(const QString& action)
{
    const QString upper = action.toUpper();
    if (upper == QLatin1String("CUSTOM"))
        return Kind::Custom;
    if (upper == QLatin1String("PLAY"))
        return Kind::Add;
    if (upper == QLatin1String("UPDATE"))
        return Kind::Update;
    return Kind::Invoke;
}

bool carriesTemplateData(Kind kind) { return kind == Kind::Add || kind == Kind::Update; }

int findTag(const Tags& tags, const QByteArray& id)
{
    for (int slot = 1; slot <= kTagSlots; ++slot) {
        const QString& slotId = tags[size_t(slot)].Id;
        if (!slotId.isEmpty() && slotId.toUtf8() == id)
            return slot;
    }
    return 0;
}

QByteArray xmlEscaped(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

QByteArray templateData(short channel, const Tags& tags, const QList<QByteArray>& copyLines, const QString& copy)
{
    QByteArray doc = "<templateData>";
    doc += component("cg_channel", "txt", 0, QByteArray::number(channel));
    for (qsizetype i = 0; i < copyLines.size(); ++i) {
        const QList<QByteArray> fields = convert::cut(copyLines[i], '~');
        if (fields.isEmpty() || fields[0] != "TAG")
            continue;
        const QList<QByteArray> pieces = fields.size() > 1 ? convert::cut(fields[1], ';') : QList<QByteArray>();
        if (pieces.size() < 2)
            fault::raise(fault::SubscriptOutOfRange,
                         QStringLiteral("Subscript out of range: line %1 of %2 has no %3")
                             .arg(i + 1)
                             .arg(copy.isEmpty() ? QStringLiteral("the dataset copy") : copy,
                                  fields.size() > 1 ? QStringLiteral("\";\" after its id")
                                                    : QStringLiteral("\"~\" after TAG")));
        const int slot = findTag(tags, pieces[0]);
        if (slot == 0)
            continue;
        const TAGDEF& tag = tags[size_t(slot)];
        doc += component(pieces[0], tag.Type.toUtf8(), tag.Ani, pieces[1]);
    }
    doc += "</templateData>";
    // Every apostrophe left is a delimiter: those in the text are character references by now.
    return doc.replace('\'', "\\\"");
}

QByteArray line(const Inputs& in)
{
    QByteArray out;
    switch (kindOf(in.action)) {
    case Kind::Custom: {
        QString command = in.command;
        command.replace(QLatin1String("{@CHANNEL}"), QString::number(in.channel));
        command.replace(QLatin1String("{@LAYER}"), QString::number(in.layer));
        out = command.toUtf8();
        break;
    }
    case Kind::Add:
        out = target("ADD", in.channel, in.layer) + '"' + quotedParameter(in.projectName + QLatin1Char('/') + in.fileName) +
              "\" 1 \"" + templateData(in.channel, in.tags, in.copyLines, in.copy) + '"';
        break;
    case Kind::Update:
        out = target("UPDATE", in.channel, in.layer) + '"' + templateData(in.channel, in.tags, in.copyLines, in.copy) + '"';
        break;
    case Kind::Invoke:
        // No closing quote: the server takes an unclosed final quote as the last parameter.
        out = target("INVOKE", in.channel, in.layer) + '"' + in.action.toUtf8();
        break;
    }
    return out + "\r\n";
}

} // namespace compose
