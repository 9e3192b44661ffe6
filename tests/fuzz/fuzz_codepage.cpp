// The code page: every byte reads as one character and writes back as the same byte; text
// written holds one byte per character, "?" where the code page has none.
#include <QString>

#include "fuzz.h"
#include "project/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = project::codepage::decode(bytes);
    FUZZ_CHECK(text.size() == bytes.size());
    FUZZ_CHECK(project::codepage::encode(text) == bytes);

    const QString typed = QString::fromUtf8(bytes);
    const QByteArray written = project::codepage::encode(typed);
    FUZZ_CHECK(written.size() == typed.toUcs4().size());
    const QString back = project::codepage::decode(written);
    const QList<uint> chars = typed.toUcs4();
    for (qsizetype i = 0; i < back.size(); ++i)
        FUZZ_CHECK(back[i].unicode() == chars[i] || back[i] == QLatin1Char('?'));
    return 0;
}
