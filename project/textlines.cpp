#include "project/textlines.h"

namespace project::textfile {

QList<QByteArray> splitLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    forEachLine(bytes, [&](QByteArrayView line) { lines.append(line.toByteArray()); });
    return lines;
}

QByteArray joinLines(const QList<QByteArray>& lines)
{
    QByteArray out;
    for (const QByteArray& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace project::textfile
