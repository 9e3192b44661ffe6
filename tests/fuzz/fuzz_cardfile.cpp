// The card file over any bytes: the parser gives a card whatever the lines, fails only with the
// failures the format names, and keeps what it can read.
#include <QStringList>

#include "fault/runtimeerror.h"
#include "fuzz.h"
#include "project/cardfile.h"
#include "project/codepage.h"
#include "project/textlines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> raw = project::textfile::splitLines(bytes);

    const QString name = raw.isEmpty() ? QString() : project::codepage::decode(raw[0]);
    FUZZ_CHECK(project::cardfile::isCardFile(name) == name.endsWith(QLatin1String(".fti")));
    const QString base = project::cardfile::baseName(name);
    FUZZ_CHECK(name.startsWith(base) && !base.contains(QLatin1Char('.')));

    QStringList lines;
    for (const QByteArray& line : raw)
        lines << project::codepage::decode(line);
    const project::cardfile::Parsed parsed = project::cardfile::parse(name, lines);
    FUZZ_CHECK(parsed.card.FileName == base);
    FUZZ_CHECK(parsed.card.Type >= 0 && parsed.card.Type <= 3);
    FUZZ_CHECK(parsed.maxInvokes >= project::cardfile::invokeCount(parsed.card.Invoke) || parsed.card.Invoke.isEmpty());
    for (const fault::RuntimeError& e : parsed.failures)
        FUZZ_CHECK(e.number == fault::SubscriptOutOfRange || e.number == fault::TypeMismatch ||
                   e.number == fault::Overflow || e.number == fault::InvalidProcedureCall);
    for (const project::TAGDEF& tag : parsed.card.Tags)
        FUZZ_CHECK(!tag.Id.contains(QLatin1Char('~'))); // a dataset line could not keep it
    // What a line gives is what the line says: a title is the text between the first two ":".
    for (const QString& line : lines)
        if (line.startsWith(QLatin1String("CARDTITLE:")) && line.count(QLatin1Char(':')) == 1 && line == lines.last())
            FUZZ_CHECK(parsed.card.Title == line.mid(10));
    return 0;
}
