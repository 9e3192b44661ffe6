#pragma once
// What changed in one folder since it was last asked, from the system's change notification.
#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

namespace project {

/// Watches the names directly inside one folder. Where the system cannot say exactly what
/// changed (no notification, or a folder on a network share whose changes from other machines
/// it never hears of) the watch is not exact, and the caller compares the files itself.
class FolderWatch {
public:
    explicit FolderWatch(const QString& folder);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    /// Whether take() tells every change to the folder's names.
    bool exact() const;

    struct Changes {
        /// Notes were lost (the queue overflowed), or the folder itself went: anything may have
        /// changed.
        bool everything = false;
        /// The names (as the system spells them) something happened to, each once.
        QList<QByteArray> names;
    };
    /// The changes noted since the last call.
    Changes take();

    /// How many notes one take() reads before it counts as an overflow, as the system's queue
    /// would: a burst can then be tried without writing its many thousand files.
    void setQueueLimit(int notes);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace project
