// Line splitting: no line holds a line end, nothing but line ends is lost, and a written file
// reads back as the same lines.
#include "fuzz.h"
#include "project/textlines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> lines = project::textfile::splitLines(bytes);
    QByteArray kept;
    for (const QByteArray& line : lines) {
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n'));
        kept += line;
    }
    QByteArray plain = bytes;
    plain.replace('\r', "").replace('\n', "");
    FUZZ_CHECK(kept == plain);
    FUZZ_CHECK(project::textfile::splitLines(project::textfile::joinLines(lines)) == lines);
    return 0;
}
