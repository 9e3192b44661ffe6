#include "server/compose.h"

#include "fault/runtimeerror.h"
#include "project/datasetfile.h"

#include <QStringDecoder>

#include <algorithm>

namespace server::compose {

namespace {

// A line break inside a command would end it there and start another: nothing that holds one
// is ever composed into a line.
void refuseLineBreak(const char* field, const QByteArray& text)
{
    if (text.contains('\r') || text.contains('\n'))
        fault::raise(fault::InvalidProcedureCall,
                     QStringLiteral("Invalid procedure call or argument: the %1 holds a line break, which would end "
                                    "the command there")
                         .arg(QLatin1String(field)));
}

// What XML 1.0 can carry: TAB, LF, CR and everything from the blank on, except U+FFFE, U+FFFF
// and halves of surrogate pairs.
bool xmlCarries(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Text from the files as the document may hold it: malformed UTF-8 becomes U+FFFD and what XML
// cannot carry is left out, so the document always parses.
QByteArray xmlText(const char* field, const QByteArray& bytes)
{
    refuseLineBreak(field, bytes);
    bool plain = true;
    for (char c : bytes)
        plain = plain && uchar(c) >= 0x20 && uchar(c) < 0x80;
    if (plain)
        return xmlEscaped(bytes);
    // Every character arrives, U+FEFF too: neither the decoder nor the copy may take it for a
    // byte-order mark, so characters are copied as the code units they are.
    const QString text = QStringDecoder(QStringDecoder::Utf8,
                                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom)
                             .decode(bytes);
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (xmlCarries(pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode()))
            kept.append(QStringView(text).sliced(i, pair ? 2 : 1));
        i += pair;
    }
    return xmlEscaped(kept.toUtf8());
}

// The reference XML takes for c in an attribute, or null where c stands for itself.
const char* referenceFor(char c)
{
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&apos;";
    case '\t': return "&#9;"; // a parser reads a bare TAB in an attribute as a blank
    default: return nullptr;
    }
}

// text appended to out with each character XML must escape as its reference; the runs between
// references are copied whole.
void appendEscaped(QByteArray& out, QByteArrayView text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (const char* reference = referenceFor(text[i])) {
            out.append(text.sliced(start, i - start)).append(reference);
            start = i + 1;
        }
    }
    out.append(text.sliced(start));
}

// xmlText(field, bytes) appended to out: printable ASCII, nearly every tag, is escaped straight
// into it.
void appendXmlText(QByteArray& out, const char* field, QByteArrayView bytes)
{
    if (!std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) >= 0x20 && uchar(c) < 0x80; })) {
        out += xmlText(field, bytes.toByteArray());
        return;
    }
    appendEscaped(out, bytes);
}

void appendComponent(QByteArray& out, QByteArrayView id, const QByteArray& type, short ani, QByteArrayView value)
{
    out.append("<componentData id='");
    appendXmlText(out, "tag id", id);
    out.append("'><data type='");
    appendXmlText(out, "tag type", type);
    out.append("' ani='").append(QByteArray::number(ani)).append("' value='");
    appendXmlText(out, "tag value", value);
    out.append("'></data></componentData>");
}

// The first slot whose id is id as UTF-8.
int slotOf(const Tags& tags, QByteArrayView id)
{
    // An ASCII id is compared with each slot's id in place: nothing is made for it.
    if (std::all_of(id.begin(), id.end(), [](char c) { return uchar(c) < 0x80; })) {
        const QLatin1String wanted(id.data(), id.size());
        for (size_t slot = 1; slot < tags.size(); ++slot) {
            const QString& slotId = tags[slot].Id;
            if (!slotId.isEmpty() && slotId == wanted)
                return int(slot);
        }
        return 0;
    }
    // Otherwise the id is decoded once, rather than every slot's id encoded for every tag line.
    // Bytes that do not come back unchanged are compared the long way.
    const QString wanted = QString::fromUtf8(id);
    if (wanted.toUtf8() == id) {
        for (size_t slot = 1; slot < tags.size(); ++slot)
            if (!tags[slot].Id.isEmpty() && tags[slot].Id == wanted)
                return int(slot);
        return 0;
    }
    for (size_t slot = 1; slot < tags.size(); ++slot) {
        const QString& slotId = tags[slot].Id;
        if (!slotId.isEmpty() && slotId.toUtf8() == id)
            return int(slot);
    }
    return 0;
}

// Every character copied, and each of the two the quoted parameter must escape replaced; the
// runs between them go over whole.
QByteArray quotedDocument(const QByteArray& doc)
{
    QByteArray out;
    out.reserve(doc.size() + doc.size() / 4);
    qsizetype start = 0;
    for (qsizetype i = 0; i < doc.size(); ++i) {
        const char c = doc[i];
        if (c != '\\' && c != '\'')
            continue;
        out.append(QByteArrayView(doc).sliced(start, i - start));
        // Backslashes doubled; an apostrophe is a delimiter (those in the text are character
        // references by now).
        out.append(c == '\\' ? "\\\\" : "\\\"");
        start = i + 1;
    }
    out.append(QByteArrayView(doc).sliced(start));
    return out;
}

// The text of a quoted AMCP parameter: the server reads "\\" and "\"" in it as escapes.
QByteArray quotedParameter(const char* field, const QString& text)
{
    QByteArray bytes = text.toUtf8();
    refuseLineBreak(field, bytes);
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
    static const QString custom = QString(project::action::Custom).toUpper();
    static const QString play = QString(project::action::Play).toUpper();
    static const QString update = QString(project::action::Update).toUpper();
    const QString upper = action.toUpper();
    if (upper == custom)
        return Kind::Custom;
    if (upper == play)
        return Kind::Add;
    if (upper == update)
        return Kind::Update;
    return Kind::Invoke;
}

bool carriesTemplateData(Kind kind) { return kind == Kind::Add || kind == Kind::Update; }

int findTag(const Tags& tags, const QByteArray& id) { return slotOf(tags, id); }

QByteArray xmlEscaped(const QByteArray& text)
{
    // Most values need nothing: they go back as they are.
    if (std::none_of(text.cbegin(), text.cend(), [](char c) { return referenceFor(c) != nullptr; }))
        return text;
    QByteArray out;
    out.reserve(text.size() + 16);
    appendEscaped(out, text);
    return out;
}

QByteArray templateData(short channel, const Tags& tags, const QList<QByteArray>& copyLines, const QString& copy)
{
    QByteArray doc;
    doc.reserve(64 + 128 * copyLines.size());
    doc += "<templateData>";
    appendComponent(doc, "cg_channel", "txt", 0, QByteArray::number(channel));
    for (qsizetype i = 0; i < copyLines.size(); ++i) {
        // The copy's lines are read as the file's are; only the id and value are copied.
        const QByteArrayView line = copyLines[i];
        const project::datasetfile::Cut<QByteArrayView> fields = project::datasetfile::cutLine(line);
        if (line.isEmpty() || fields.key != "TAG")
            continue;
        const project::datasetfile::Cut<QByteArrayView> tagged = project::datasetfile::cutTag(fields.value);
        if (!tagged.hasValue)
            fault::raise(fault::atLine(
                fault::RuntimeError(fault::SubscriptOutOfRange,
                                    QStringLiteral("Subscript out of range: no %1")
                                        .arg(fields.hasValue ? QStringLiteral("\";\" after the tag id")
                                                             : QStringLiteral("\"~\" after TAG"))),
                copy.isEmpty() ? QStringLiteral("the dataset copy") : copy, int(i + 1)));
        const int slot = slotOf(tags, tagged.key);
        if (slot == 0)
            continue;
        const project::TAGDEF& tag = tags[size_t(slot)];
        appendComponent(doc, tagged.key, tag.Type.toUtf8(), tag.Ani, tagged.value);
    }
    doc += "</templateData>";
    // The document goes inside a quoted parameter.
    return quotedDocument(doc);
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
        refuseLineBreak("custom command", out);
        break;
    }
    case Kind::Add:
        out = target("ADD", in.channel, in.layer) + '"' + quotedParameter("project name", in.projectName) +
              '/' + quotedParameter("card file name", in.fileName) +
              "\" 1 \"" + templateData(in.channel, in.tags, in.copyLines, in.copy) + '"';
        break;
    case Kind::Update:
        out = target("UPDATE", in.channel, in.layer) + '"' + templateData(in.channel, in.tags, in.copyLines, in.copy) + '"';
        break;
    case Kind::Invoke:
        // No closing quote: the server takes an unclosed final quote as the last parameter.
        out = target("INVOKE", in.channel, in.layer) + '"' + quotedParameter("invoke name", in.action);
        break;
    }
    return out + "\r\n";
}

QByteArray clearLine(short channel) { return "CLEAR " + QByteArray::number(channel) + "\r\n"; }

QByteArray clearLine(short channel, short layer)
{
    return "CLEAR " + QByteArray::number(channel) + '-' + QByteArray::number(layer) + "\r\n";
}

} // namespace server::compose
