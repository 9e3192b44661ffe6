#pragma once
// The server's answers: framed from the bytes it sends and matched to the lines that asked for
// them. Pure classes, fed chunks as they arrive, so a refusal can be shown where it belongs.
#include <QByteArray>
#include <QList>
#include <deque>

namespace server {

/// One answer: its status line ("404 CG ADD FAILED") and the data lines that belong to it.
struct Answer {
    int code = 0;
    QByteArray status;          // the status line without its CR LF
    QList<QByteArray> data;     // a 201's one line, a 200's lines, a 400's echo of the refused line
    bool cut = false;           // a data line was over the limit and left out
    qsizetype dropped = 0;      // data lines past the answer's limits, counted and not kept
    /// 4xx and 5xx: the line was not carried out.
    bool refusal() const { return code >= 400 && code <= 599; }
    /// The command word the status line names after its code ("CG" in "202 CG OK").
    QByteArray word() const;
    bool operator==(const Answer&) const = default;
};

/// Frames a byte stream into answers. A status line is three digits, then a space or its end;
/// a 201 takes one data line, a 200 data lines up to an empty one, a 400 the line it refused.
/// Anything else between answers is not an answer and is skipped.
class AnswerReader {
public:
    /// A line longer than this is dropped: it is never held whole.
    static constexpr qsizetype kMaxLine = 64 * 1024;
    /// One answer keeps at most this many data lines, and this many bytes of them; a server that
    /// never ends a 200 costs no more than that.
    static constexpr qsizetype kMaxDataLines = 4096;
    static constexpr qsizetype kMaxDataBytes = 1024 * 1024;
    /// Takes the next bytes; the answers they complete.
    QList<Answer> feed(QByteArrayView bytes);

private:
    void endLine(QList<Answer>& out);
    void keepData();
    enum class Expect { Status, OneLine, LinesToEmpty };
    QByteArray line_;
    bool overLong_ = false;
    Expect expect_ = Expect::Status;
    Answer pending_;
    qsizetype dataBytes_ = 0; // of pending_'s data lines
};

/// The lines sent and not answered yet, oldest first. An answer is matched only when the match
/// is certain: a 400 by its echo; any other to the one line in flight, or to the one line of its
/// command word. An answer it cannot place answered one of the lines, nobody knows which: from
/// then on only echoes are matched, until as many answers have come as lines were sent, when
/// every line is answered and matching starts clean.
class LinesInFlight {
public:
    /// At most this many lines are remembered; the oldest go first.
    static constexpr qsizetype kMaxLines = 4096;
    /// A line as sent, with its CR LF, and the ticket that names it.
    void sent(quint64 ticket, const QByteArray& line);
    /// The ticket of the line the answer belongs to, or 0; line receives that line (CR LF off).
    quint64 answered(const Answer& answer, QByteArray* line = nullptr);
    void clear()
    {
        lines_.clear();
        unplaced_ = 0;
    }
    /// The lines that may still be waiting for their answer.
    qsizetype size() const { return qsizetype(lines_.size()); }
    /// Answers that came without a certain line, since matching was last clean.
    qsizetype unplaced() const { return unplaced_; }

private:
    struct Sent {
        quint64 ticket;
        QByteArray line; // without its CR LF
        QByteArray word;
    };
    quint64 take(std::deque<Sent>::iterator at, QByteArray* line);
    quint64 notPlaced();
    std::deque<Sent> lines_;
    qsizetype unplaced_ = 0;
};

} // namespace server
