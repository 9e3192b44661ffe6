#include "monitor/printout.h"

namespace monitor {

namespace {

QByteArray droppedNote(qint64 count)
{
    return "  ! " + QByteArray::number(count) + " printout(s) dropped: the output was not read\n";
}

} // namespace

Printout::Printout(QIODevice* out, qint64 maxWaiting) : out_(out), maxWaiting_(maxWaiting), thread_([this] { write(); })
{
}

Printout::~Printout()
{
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void Printout::print(const QByteArray& text)
{
    {
        const std::lock_guard lock(mutex_);
        if (waiting_ + text.size() > maxWaiting_) {
            ++dropped_;
            return;
        }
        // The note goes where the dropped prints would have been.
        if (dropped_ > 0) {
            const QByteArray note = droppedNote(std::exchange(dropped_, 0));
            queued_ += note;
            waiting_ += note.size();
        }
        queued_ += text;
        waiting_ += text.size();
    }
    wake_.notify_one();
}

void Printout::write()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return ending_ || !queued_.isEmpty(); });
        if (queued_.isEmpty())
            return; // ending, and everything is out
        const QByteArray batch = std::exchange(queued_, QByteArray());
        lock.unlock();
        out_->write(batch); // may wait as long as the reader pauses
        lock.lock();
        waiting_ -= batch.size();
        // Drained, but prints were dropped meanwhile and none came after them: say so now.
        if (queued_.isEmpty() && dropped_ > 0) {
            queued_ = droppedNote(std::exchange(dropped_, 0));
            waiting_ += queued_.size();
        }
    }
}

} // namespace monitor
