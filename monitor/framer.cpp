#include "monitor/framer.h"

namespace monitor {

QList<Frame> LineFramer::feed(QByteArrayView chunk)
{
    QList<Frame> lines;
    qsizetype start = 0; // first byte of the chunk not yet given to a line
    for (qsizetype i = chunk.indexOf('\n'); i >= 0; i = chunk.indexOf('\n', i + 1)) {
        if (!(i == 0 ? endsInCr_ : chunk[i - 1] == '\r'))
            continue;
        // CR LF ends the line: its bytes are what was pending plus this chunk up to the CR.
        const QByteArrayView piece = chunk.sliced(start, i + 1 - start);
        Frame frame;
        frame.size = pendingSize() + piece.size() - 2;
        const qsizetype room = qMax<qsizetype>(0, maxLine_ - pending_.size());
        frame.bytes = std::exchange(pending_, QByteArray()); // moved, not copied: it may be 64 MiB
        frame.bytes.append(piece.first(qMin(room, piece.size())));
        frame.bytes.truncate(qMin<qint64>(frame.bytes.size(), frame.size)); // CR LF are not the line's
        lines.append(std::move(frame));
        dropped_ = 0;
        start = i + 1;
    }
    const QByteArrayView rest = chunk.sliced(start);
    const qsizetype room = qMax<qsizetype>(0, maxLine_ - pending_.size());
    pending_.append(rest.first(qMin(room, rest.size())));
    dropped_ += rest.size() - qMin(room, rest.size());
    if (!chunk.isEmpty())
        endsInCr_ = chunk.back() == '\r';
    return lines;
}

} // namespace monitor
