// The composed line as the server reads it: one command with exactly one CR LF, at its end;
// its quoted parameters give back the template path and the invoke name as typed; the template
// data parses as XML and gives back every id, type and value (less what XML cannot carry).
#include <QXmlStreamReader>

#include "fault/runtimeerror.h"
#include "fuzz.h"
#include "project/convert.h"
#include "server/compose.h"
#include "server/tokenizer.h"

namespace {

struct Component {
    QString id, type, ani, value;
    bool operator==(const Component&) const = default;
};

QString xmlCarried(const QByteArray& bytes)
{
    QString out;
    for (char32_t c : QString::fromUtf8(bytes).toUcs4())
        if (c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000)
            out += QString::fromUcs4(&c, 1);
    return out;
}

bool holdsLineBreak(const QByteArray& text) { return text.contains('\r') || text.contains('\n'); }

// What the document must hold, and whether a malformed TAG line must fail it.
QList<Component> expectedComponents(const compose::Inputs& in, bool& malformed, bool& lineBreak)
{
    QList<Component> out{{QStringLiteral("cg_channel"), QStringLiteral("txt"), QStringLiteral("0"),
                          QString::number(in.channel)}};
    for (const QByteArray& line : in.copyLines) {
        const QList<QByteArray> fields = convert::cut(line, '~');
        if (fields.isEmpty() || fields[0] != "TAG")
            continue;
        const QList<QByteArray> pieces = fields.size() > 1 ? convert::cut(fields[1], ';') : QList<QByteArray>();
        if (pieces.size() < 2) {
            malformed = true;
            return out;
        }
        const int slot = compose::findTag(in.tags, pieces[0]);
        if (slot == 0)
            continue;
        const TAGDEF& tag = in.tags[size_t(slot)];
        lineBreak = lineBreak || holdsLineBreak(pieces[0]) || holdsLineBreak(tag.Type.toUtf8()) || holdsLineBreak(pieces[1]);
        out.append({xmlCarried(pieces[0]), xmlCarried(tag.Type.toUtf8()), QString::number(tag.Ani), xmlCarried(pieces[1])});
    }
    return out;
}

QList<Component> readBack(const QByteArray& document)
{
    QList<Component> out;
    QXmlStreamReader xml(document);
    FUZZ_CHECK(xml.readNextStartElement() && xml.name() == QLatin1String("templateData"));
    while (xml.readNextStartElement()) {
        FUZZ_CHECK(xml.name() == QLatin1String("componentData"));
        Component c;
        c.id = xml.attributes().value(QLatin1String("id")).toString();
        FUZZ_CHECK(xml.readNextStartElement() && xml.name() == QLatin1String("data"));
        c.type = xml.attributes().value(QLatin1String("type")).toString();
        c.ani = xml.attributes().value(QLatin1String("ani")).toString();
        c.value = xml.attributes().value(QLatin1String("value")).toString();
        xml.skipCurrentElement();
        xml.skipCurrentElement();
        out.append(c);
    }
    FUZZ_CHECK(!xml.hasError());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // action, project, card file, custom command, tag ids, tag types, copy lines, channel and layer
    const QList<QByteArray> f = fuzz::fields(data, size, 8);
    compose::Inputs in;
    in.action = QString::fromUtf8(f[0]);
    in.projectName = QString::fromUtf8(f[1]);
    in.fileName = QString::fromUtf8(f[2]);
    in.command = QString::fromUtf8(f[3]);
    const QList<QByteArray> ids = f[4].split('\1');
    const QList<QByteArray> types = f[5].split('\1');
    for (qsizetype i = 0; i < ids.size() && i < kTagSlots; ++i) {
        in.tags[size_t(i + 1)].Id = QString::fromUtf8(ids[i]);
        in.tags[size_t(i + 1)].Type = i < types.size() ? QString::fromUtf8(types[i]) : QString();
        in.tags[size_t(i + 1)].Ani = short(i - 1);
    }
    in.copyLines = f[6].split('\1');
    if (f[7].size() >= 4) {
        in.channel = short(uchar(f[7][0]) | uchar(f[7][1]) << 8);
        in.layer = short(uchar(f[7][2]) | uchar(f[7][3]) << 8);
    }

    const compose::Kind kind = compose::kindOf(in.action);
    bool malformed = false;
    bool lineBreak = false;
    QList<Component> expected;
    if (compose::carriesTemplateData(kind))
        expected = expectedComponents(in, malformed, lineBreak);
    QString custom = in.command;
    custom.replace(QLatin1String("{@CHANNEL}"), QString::number(in.channel));
    custom.replace(QLatin1String("{@LAYER}"), QString::number(in.layer));
    switch (kind) {
    case compose::Kind::Custom: lineBreak = holdsLineBreak(custom.toUtf8()); break;
    case compose::Kind::Add: lineBreak = lineBreak || holdsLineBreak(f[1]) || holdsLineBreak(f[2]); break;
    case compose::Kind::Update: break;
    case compose::Kind::Invoke: lineBreak = holdsLineBreak(f[0]); break;
    }

    QByteArray line;
    try {
        line = compose::line(in);
    } catch (const fault::RuntimeError& e) {
        FUZZ_CHECK((e.number == fault::InvalidProcedureCall && lineBreak) ||
                   (e.number == fault::SubscriptOutOfRange && malformed));
        return 0;
    }
    FUZZ_CHECK(!lineBreak && !malformed);
    FUZZ_CHECK(line.endsWith("\r\n") && line.count('\r') == 1 && line.count('\n') == 1);
    const QByteArray command = line.chopped(2);
    const QList<QByteArray> p = server::parameters(command);
    const QByteArray target = QByteArray::number(in.channel) + '-' + QByteArray::number(in.layer);
    switch (kind) {
    case compose::Kind::Custom:
        FUZZ_CHECK(command == custom.toUtf8());
        break;
    case compose::Kind::Add:
        FUZZ_CHECK(p.size() == 7 && p[0] == "CG" && p[1] == target && p[2] == "ADD" && p[5] == "1");
        FUZZ_CHECK(p[4] == (in.projectName + QLatin1Char('/') + in.fileName).toUtf8());
        FUZZ_CHECK(readBack(p[6]) == expected);
        break;
    case compose::Kind::Update:
        FUZZ_CHECK(p.size() == 5 && p[2] == "UPDATE");
        FUZZ_CHECK(readBack(p[4]) == expected);
        break;
    case compose::Kind::Invoke:
        FUZZ_CHECK(p.size() == 5 && p[2] == "INVOKE" && p[4] == in.action.toUtf8());
        break;
    }
    return 0;
}
