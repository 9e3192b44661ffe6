#pragma once
// Shared by the fuzz targets: a property check that stops the run, and the cut of an input into
// fields. The same sources build as libFuzzer targets and as replayers of the stored corpora.
#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                        \
    do {                                                                                             \
        if (!(condition)) {                                                                          \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                            \
        }                                                                                            \
    } while (0)

namespace fuzz {

/// The input's fields, cut at NUL bytes; missing ones are empty.
inline QList<QByteArray> fields(const uint8_t* data, size_t size, int count)
{
    QList<QByteArray> out = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    while (out.size() < count)
        out.append(QByteArray());
    return out;
}

} // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
