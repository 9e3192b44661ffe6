// Feeds every file of the given folders to the target once: the stored corpus and every input
// that ever failed stay fixed in the ordinary build, without a fuzzer.
#include <QDir>
#include <QFile>
#include <cstdio>

#include "fuzz.h"

int main(int argc, char* argv[])
{
    int inputs = 0;
    for (int a = 1; a < argc; ++a) {
        const QDir dir(QString::fromLocal8Bit(argv[a]));
        const QStringList names = dir.entryList(QDir::Files, QDir::Name);
        if (names.isEmpty()) {
            std::fprintf(stderr, "no inputs in %s\n", argv[a]);
            return 1;
        }
        for (const QString& name : names) {
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                return 1;
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return 0;
}
