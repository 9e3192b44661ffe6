// The card-file pieces over any bytes: names, keyword lines, numbers, invoke lists. Each either
// gives a value that keeps its rule or fails with the run-time failure the format names.
#include <QStringList>

#include "fault/runtimeerror.h"
#include "fuzz.h"
#include "project/cardfile.h"
#include "project/codepage.h"
#include "project/convert.h"
#include "project/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> lines = textfile::splitLines(bytes);

    const QString name = lines.isEmpty() ? QString() : codepage::decode(lines[0]);
    FUZZ_CHECK(cardfile::isCardFile(name) == name.endsWith(QLatin1String(".fti")));
    const QString base = cardfile::baseName(name);
    FUZZ_CHECK(name.startsWith(base) && !base.contains(QLatin1Char('.')));

    for (const QByteArray& raw : lines) {
        const QString line = codepage::decode(raw);
        try {
            const QStringList parts = convert::cut(line, QLatin1Char(':'));
            const QString value = convert::item(parts, 1);
            const QString keyword = convert::item(parts, 0);
            const short type = cardfile::typeCode(value);
            FUZZ_CHECK(type >= 0 && type <= 3);
            FUZZ_CHECK(cardfile::invokeCount(value) == convert::cut(value, QLatin1Char(';')).size());
            if (keyword == QLatin1String("TAG")) {
                const QStringList items = convert::cut(value, QLatin1Char(';'));
                convert::item(items, 1);
                convert::toInteger16(convert::item(items, 2));
            } else {
                const short number = convert::toInteger16(value);
                bool digitsOnly = !value.isEmpty();
                for (QChar c : value)
                    digitsOnly = digitsOnly && c >= QLatin1Char('0') && c <= QLatin1Char('9');
                if (digitsOnly)
                    FUZZ_CHECK(number == value.toInt());
            }
        } catch (const fault::RuntimeError& e) {
            FUZZ_CHECK(e.number == fault::SubscriptOutOfRange || e.number == fault::TypeMismatch ||
                       e.number == fault::Overflow);
        }
    }
    return 0;
}
