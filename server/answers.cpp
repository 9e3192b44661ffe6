#include "server/answers.h"

#include <algorithm>
#include <cstring>

namespace server {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "NNN" alone or "NNN ...": the code, or 0 when the line is no status line.
int statusCode(const QByteArray& line)
{
    if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2]))
        return 0;
    if (line.size() > 3 && line[3] != ' ')
        return 0;
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

QByteArray firstWord(QByteArrayView text)
{
    const qsizetype space = text.indexOf(' ');
    return (space < 0 ? text : text.first(space)).toByteArray().toUpper();
}
} // namespace

QByteArray Answer::word() const { return status.size() > 4 ? firstWord(QByteArrayView(status).sliced(4)) : QByteArray(); }

QList<Answer> AnswerReader::feed(QByteArrayView bytes)
{
    QList<Answer> out;
    while (!bytes.isEmpty()) {
        const char* end = static_cast<const char*>(std::memchr(bytes.data(), '\n', size_t(bytes.size())));
        const qsizetype upTo = end ? end - bytes.data() : bytes.size();
        if (!overLong_) {
            if (line_.size() + upTo > kMaxLine) {
                overLong_ = true;
                line_.clear();
                line_.squeeze();
            } else {
                line_.append(bytes.first(upTo));
            }
        }
        if (!end)
            break;
        if (line_.endsWith('\r'))
            line_.chop(1);
        endLine(out);
        line_.clear();
        overLong_ = false;
        bytes = bytes.sliced(upTo + 1);
    }
    return out;
}

void AnswerReader::endLine(QList<Answer>& out)
{
    const auto finish = [&] {
        out.append(std::move(pending_));
        pending_ = Answer();
        dataBytes_ = 0;
        expect_ = Expect::Status;
    };
    switch (expect_) {
    case Expect::Status: {
        const int code = overLong_ ? 0 : statusCode(line_);
        if (code == 0)
            return; // not an answer: skipped
        pending_.code = code;
        pending_.status = line_;
        if (code == 201 || code == 400)
            expect_ = Expect::OneLine;
        else if (code == 200)
            expect_ = Expect::LinesToEmpty;
        else
            finish();
        return;
    }
    case Expect::OneLine:
        if (overLong_)
            pending_.cut = true;
        else
            keepData();
        finish();
        return;
    case Expect::LinesToEmpty:
        if (overLong_)
            pending_.cut = true;
        else if (line_.isEmpty())
            finish();
        else
            keepData();
        return;
    }
}

void AnswerReader::keepData()
{
    if (pending_.data.size() >= kMaxDataLines || dataBytes_ + line_.size() > kMaxDataBytes) {
        ++pending_.dropped;
        return;
    }
    dataBytes_ += line_.size();
    pending_.data.append(line_);
}

void LinesInFlight::sent(quint64 ticket, const QByteArray& line)
{
    QByteArray bare = line;
    while (bare.endsWith('\n') || bare.endsWith('\r'))
        bare.chop(1);
    if (qsizetype(lines_.size()) >= kMaxLines) {
        lines_.pop_front();
        unplaced_ = std::max<qsizetype>(unplaced_ - 1, 0); // the answer it had, if any, goes with it
    }
    QByteArray word = firstWord(bare);
    lines_.push_back({ticket, std::move(bare), std::move(word)});
}

quint64 LinesInFlight::take(std::deque<Sent>::iterator at, QByteArray* line)
{
    const quint64 ticket = at->ticket;
    if (line)
        *line = std::move(at->line);
    lines_.erase(at);
    // The unplaced answers answered lines still here: once there are as many, every line is answered.
    if (unplaced_ > 0 && unplaced_ >= size())
        clear();
    return ticket;
}

// An answer whose line is not certain: it answered one of the lines, so counting by elimination
// is off until every line is answered.
quint64 LinesInFlight::notPlaced()
{
    if (++unplaced_ >= size())
        clear();
    return 0;
}

quint64 LinesInFlight::answered(const Answer& answer, QByteArray* line)
{
    if (line)
        line->clear();
    if (lines_.empty())
        return 0;
    if (answer.code == 400 && !answer.data.isEmpty()) {
        for (auto it = lines_.begin(); it != lines_.end(); ++it)
            if (it->line == answer.data.first())
                return take(it, line);
    }
    if (unplaced_ > 0)
        return notPlaced();
    if (lines_.size() == 1)
        return take(lines_.begin(), line);
    const QByteArray word = answer.word();
    auto only = lines_.end();
    int ofWord = 0;
    for (auto it = lines_.begin(); it != lines_.end() && ofWord < 2; ++it) {
        if (it->word == word) {
            only = it;
            ++ofWord;
        }
    }
    return ofWord == 1 ? take(only, line) : notPlaced();
}

} // namespace server
