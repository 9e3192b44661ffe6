#pragma once
// Text cut into lines and joined again: pure functions over bytes.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace project::textfile {

/// Lines end at CR LF, a lone CR or a lone LF; a final line end gives no extra empty line.
QList<QByteArray> splitLines(const QByteArray& bytes);
/// The same lines, each handed to visit as a view into bytes.
template <class Visit> void forEachLine(QByteArrayView bytes, Visit&& visit)
{
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        visit(bytes.sliced(start, i - start));
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        visit(bytes.sliced(start));
}
/// Every line followed by CR LF.
QByteArray joinLines(const QList<QByteArray>& lines);

} // namespace project::textfile
