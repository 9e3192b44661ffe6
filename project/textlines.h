#pragma once
// Text cut into lines and joined again: pure functions over bytes.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <algorithm>
#include <cstring>

namespace project::textfile {

/// Lines end at CR LF, a lone CR or a lone LF; a final line end gives no extra empty line.
QList<QByteArray> splitLines(const QByteArray& bytes);
/// The same lines, each handed to visit as a view into bytes.
template <class Visit> void forEachLine(QByteArrayView bytes, Visit&& visit)
{
    if (bytes.isEmpty())
        return;
    const char* const end = bytes.data() + bytes.size();
    const auto next = [end](const char* from, char c) {
        const void* at = std::memchr(from, c, size_t(end - from));
        return at ? static_cast<const char*>(at) : end;
    };
    // The next CR and the next LF, each found by memchr, which passes over many bytes a step:
    // the thousands of files of a data folder are cut into lines at every switch of page.
    const char* start = bytes.data();
    const char* cr = next(start, '\r');
    const char* lf = next(start, '\n');
    while (start < end) {
        const char* const stop = std::min(cr, lf);
        visit(QByteArrayView(start, stop - start));
        if (stop == end)
            return;
        start = stop + 1;
        if (*stop == '\r' && start < end && *start == '\n')
            ++start;
        if (cr < start)
            cr = next(start, '\r');
        if (lf < start)
            lf = next(start, '\n');
    }
}
/// Every line followed by CR LF.
QByteArray joinLines(const QList<QByteArray>& lines);

} // namespace project::textfile
