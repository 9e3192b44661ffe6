// The server's answers: whatever the server sends, an answer holds no more than the reader's
// limits, and a line is tied to an answer only while it is in flight, and only once.
#include <QSet>

#include "fuzz.h"
#include "server/answers.h"

namespace {
// A line as it is kept: its line ends off.
QByteArray bare(QByteArray line)
{
    while (line.endsWith('\r') || line.endsWith('\n'))
        line.chop(1);
    return line;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Lines sent, one per LF; the server's bytes; the sizes of the pieces they arrive in.
    const QList<QByteArray> f = fuzz::fields(data, size, 3);
    const QList<QByteArray> sent = f[0].split('\n');
    server::AnswerReader reader;
    server::LinesInFlight lines;
    QSet<quint64> inFlight;
    quint64 ticket = 0;
    for (const QByteArray& line : sent) {
        lines.sent(++ticket, line + "\r\n");
        inFlight.insert(ticket);
    }
    QByteArrayView bytes(f[1]);
    for (qsizetype piece = 0; !bytes.isEmpty(); ++piece) {
        const qsizetype take = std::min<qsizetype>(bytes.size(), f[2].isEmpty() ? bytes.size() : 1 + uchar(f[2][piece % f[2].size()]));
        for (const server::Answer& answer : reader.feed(bytes.first(take))) {
            FUZZ_CHECK(answer.data.size() <= server::AnswerReader::kMaxDataLines);
            qsizetype kept = 0;
            for (const QByteArray& d : answer.data) {
                FUZZ_CHECK(d.size() <= server::AnswerReader::kMaxLine);
                kept += d.size();
            }
            FUZZ_CHECK(kept <= server::AnswerReader::kMaxDataBytes);
            QByteArray line;
            const quint64 tied = lines.answered(answer, &line);
            FUZZ_CHECK(tied == 0 || inFlight.remove(tied));
            FUZZ_CHECK(tied == 0 ? line.isEmpty() : line == bare(sent[qsizetype(tied - 1)]));
            FUZZ_CHECK(lines.size() <= server::LinesInFlight::kMaxLines);
        }
        bytes = bytes.sliced(take);
    }
    return 0;
}
