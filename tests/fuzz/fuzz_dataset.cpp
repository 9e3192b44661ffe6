// The dataset format: any line reads or fails with 9, and a title and values the editors take
// are read back from the written file exactly as the code page holds them.
#include <QStringList>

#include "fault/runtimeerror.h"
#include "fuzz.h"
#include "project/codepage.h"
#include "project/datasetfile.h"
#include "project/textlines.h"

namespace {
// The text as it comes back through the code page.
QString heldByCodePage(const QString& text) { return project::codepage::decode(project::codepage::encode(text)); }
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> f = fuzz::fields(data, size, 1);
    for (const QByteArray& line : project::textfile::splitLines(f[0])) {
        try {
            const QString text = project::codepage::decode(line);
            if (project::datasetfile::lineKey(text) == QLatin1String("TAG"))
                project::datasetfile::tagValue(project::datasetfile::lineValue(text));
        } catch (const fault::RuntimeError& e) {
            FUZZ_CHECK(e.number == fault::SubscriptOutOfRange);
        }
    }

    const QString title = QString::fromUtf8(f[0]);
    if (!project::datasetfile::refusal(title, project::datasetfile::Field::Title).isEmpty())
        return 0;
    QList<project::datasetfile::TagValue> tags;
    for (qsizetype i = 1; i < f.size(); ++i) {
        const QString value = QString::fromUtf8(f[i]);
        if (!project::datasetfile::refusal(value, project::datasetfile::Field::Value).isEmpty())
            return 0;
        tags.append({QStringLiteral("f%1").arg(i), value});
    }
    QList<QByteArray> encoded;
    for (const QString& line : project::datasetfile::composeLines(title, tags))
        encoded.append(project::codepage::encode(line));
    const QList<QByteArray> read = project::textfile::splitLines(project::textfile::joinLines(encoded));
    FUZZ_CHECK(read.size() == tags.size() + 1);
    const QString first = project::codepage::decode(read[0]);
    FUZZ_CHECK(project::datasetfile::lineKey(first) == QLatin1String("TITLE"));
    FUZZ_CHECK(project::datasetfile::lineValue(first) == heldByCodePage(title));
    for (qsizetype i = 0; i < tags.size(); ++i) {
        const project::datasetfile::TagValue back = project::datasetfile::tagValue(project::datasetfile::lineValue(project::codepage::decode(read[i + 1])));
        FUZZ_CHECK(back.id == tags[i].id);
        FUZZ_CHECK(back.value == heldByCodePage(tags[i].value));
    }
    return 0;
}
