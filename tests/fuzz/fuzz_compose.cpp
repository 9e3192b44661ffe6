// The composed line as the server reads it: one command with exactly one CR LF, at its end;
// its quoted parameters give back the template path and the invoke name as typed; the template
// data parses as XML and gives back every id, type and value (less what XML cannot carry, taken
// out here by other means than the composer's).
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include "fault/runtimeerror.h"
#include "fuzz.h"
#include "monitor/tokenizer.h"
#include "server/compose.h"

namespace {

struct Component {
    QString id, type, ani, value;
    bool operator==(const Component&) const = default;
};

// Text from UTF-8 with every character kept, a leading U+FEFF too (QString::fromUtf8 takes it for
// a byte-order mark and drops it).
QString decoded(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

// What XML carries of the text, computed apart from the code under test: a pattern takes out the
// characters XML cannot carry, and every other character stays as it is, U+FEFF too.
QString xmlCarried(const QByteArray& bytes)
{
    static const QRegularExpression uncarried(
        QStringLiteral("[^\\x{9}\\x{A}\\x{D}\\x{20}-\\x{D7FF}\\x{E000}-\\x{FFFD}\\x{10000}-\\x{10FFFF}]"));
    return decoded(bytes).remove(uncarried);
}

bool holdsLineBreak(const QByteArray& text) { return text.contains('\r') || text.contains('\n'); }

// What the document must hold, and whether a malformed TAG line must fail it.
QList<Component> expectedComponents(const server::compose::Inputs& in, bool& malformed, bool& lineBreak)
{
    QList<Component> out{{QStringLiteral("cg_channel"), QStringLiteral("txt"), QStringLiteral("0"),
                          QString::number(in.channel)}};
    for (const QByteArray& line : in.copyLines) {
        const QList<QByteArray> fields = (line.isEmpty() ? QList<QByteArray>() : line.split('~'));
        if (fields.isEmpty() || fields[0] != "TAG")
            continue;
        const QList<QByteArray> pieces = fields.size() > 1 ? fields[1].split(';') : QList<QByteArray>();
        if (pieces.size() < 2) {
            malformed = true;
            return out;
        }
        const int slot = server::compose::findTag(in.tags, pieces[0]);
        if (slot == 0)
            continue;
        const project::TAGDEF& tag = in.tags[size_t(slot)];
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
    server::compose::Inputs in;
    in.action = decoded(f[0]);
    in.projectName = decoded(f[1]);
    in.fileName = decoded(f[2]);
    in.command = decoded(f[3]);
    const QList<QByteArray> ids = f[4].split('\1');
    const QList<QByteArray> types = f[5].split('\1');
    for (qsizetype i = 0; i < ids.size() && i < project::kTagSlots; ++i) {
        in.tags[size_t(i + 1)].Id = decoded(ids[i]);
        in.tags[size_t(i + 1)].Type = i < types.size() ? decoded(types[i]) : QString();
        in.tags[size_t(i + 1)].Ani = short(i - 1);
    }
    in.copyLines = f[6].split('\1');
    if (f[7].size() >= 4) {
        in.channel = short(uchar(f[7][0]) | uchar(f[7][1]) << 8);
        in.layer = short(uchar(f[7][2]) | uchar(f[7][3]) << 8);
    }

    const server::compose::Kind kind = server::compose::kindOf(in.action);
    bool malformed = false;
    bool lineBreak = false;
    QList<Component> expected;
    if (server::compose::carriesTemplateData(kind))
        expected = expectedComponents(in, malformed, lineBreak);
    QString custom = in.command;
    custom.replace(QLatin1String("{@CHANNEL}"), QString::number(in.channel));
    custom.replace(QLatin1String("{@LAYER}"), QString::number(in.layer));
    switch (kind) {
    case server::compose::Kind::Custom: lineBreak = holdsLineBreak(custom.toUtf8()); break;
    case server::compose::Kind::Add: lineBreak = lineBreak || holdsLineBreak(f[1]) || holdsLineBreak(f[2]); break;
    case server::compose::Kind::Update: break;
    case server::compose::Kind::Invoke: lineBreak = holdsLineBreak(f[0]); break;
    }

    QByteArray line;
    try {
        line = server::compose::line(in);
    } catch (const fault::RuntimeError& e) {
        FUZZ_CHECK((e.number == fault::InvalidProcedureCall && lineBreak) ||
                   (e.number == fault::SubscriptOutOfRange && malformed));
        return 0;
    }
    FUZZ_CHECK(!lineBreak && !malformed);
    FUZZ_CHECK(line.endsWith("\r\n") && line.count('\r') == 1 && line.count('\n') == 1);
    const QByteArray command = line.chopped(2);
    const QList<QByteArray> p = monitor::parameters(command);
    const QByteArray target = QByteArray::number(in.channel) + '-' + QByteArray::number(in.layer);
    switch (kind) {
    case server::compose::Kind::Custom:
        FUZZ_CHECK(command == custom.toUtf8());
        break;
    case server::compose::Kind::Add:
        FUZZ_CHECK(p.size() == 7 && p[0] == "CG" && p[1] == target && p[2] == "ADD" && p[5] == "1");
        FUZZ_CHECK(p[4] == (in.projectName + QLatin1Char('/') + in.fileName).toUtf8());
        FUZZ_CHECK(readBack(p[6]) == expected);
        break;
    case server::compose::Kind::Update:
        FUZZ_CHECK(p.size() == 5 && p[2] == "UPDATE");
        FUZZ_CHECK(readBack(p[4]) == expected);
        break;
    case server::compose::Kind::Invoke:
        // An empty name gives no parameter at all: the server refuses the line, so the on-air
        // button and the playlist send none.
        FUZZ_CHECK(p.size() == (in.action.isEmpty() ? 4 : 5) && p[2] == "INVOKE");
        FUZZ_CHECK(in.action.isEmpty() || p[4] == in.action.toUtf8());
        break;
    }
    return 0;
}
