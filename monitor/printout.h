#pragma once
// The monitor's printout, written by a thread of its own: a terminal that is paused, or a pipe
// that nobody reads, holds up that thread and never the serving of clients.
#include <QByteArray>
#include <QIODevice>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace monitor {

class Printout {
public:
    /// Writes to out (not owned; used by the writing thread alone from now on). At most
    /// maxWaiting bytes wait to be written; past them, whole prints are dropped and counted, and
    /// the count is printed where they would have been, once out takes text again.
    explicit Printout(QIODevice* out, qint64 maxWaiting = qint64(1) << 20);
    /// Writes what waits, then ends the thread.
    ~Printout();
    Printout(const Printout&) = delete;
    Printout& operator=(const Printout&) = delete;

    /// Queues text and returns at once.
    void print(const QByteArray& text);

private:
    void write();

    QIODevice* out_;
    const qint64 maxWaiting_;
    std::mutex mutex_;
    std::condition_variable wake_;
    QByteArray queued_;  // not yet taken by the thread
    qint64 waiting_ = 0; // queued, or taken and not yet written
    qint64 dropped_ = 0; // prints dropped since the last note of them
    bool ending_ = false;
    std::thread thread_; // last: it starts once the rest is set up
};

} // namespace monitor
