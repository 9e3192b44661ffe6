#pragma once
// Cutting a connection's bytes into command lines, whatever the sizes of the chunks they arrive in.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace monitor {

/// One command line as it arrived, its CR LF taken off. A line longer than the framer's limit
/// keeps only its first bytes; size still counts them all.
struct Frame {
    QByteArray bytes;
    qint64 size = 0;
    bool cut() const { return size > bytes.size(); }
};

/// Fed the bytes of one connection chunk by chunk, gives back each line ended by CR LF (and only
/// by CR LF: a lone CR or LF belongs to the line). Each byte is looked at once, so a line of any
/// length costs no more than its bytes.
class LineFramer {
public:
    explicit LineFramer(qint64 maxLine = qint64(64) << 20) : maxLine_(maxLine) {}

    /// The lines that this chunk ends, in order.
    QList<Frame> feed(QByteArrayView chunk);
    /// Bytes of a line not ended yet (counted whole, even beyond the limit).
    qint64 pendingSize() const { return pending_.size() + dropped_; }
    /// The start of that line, as much as is kept.
    const QByteArray& pending() const { return pending_; }

private:
    qint64 maxLine_;
    QByteArray pending_;
    qint64 dropped_ = 0; // bytes of the current line beyond the limit, not kept
    bool endsInCr_ = false; // the last byte seen was a CR, kept or not
};

} // namespace monitor
