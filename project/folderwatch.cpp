#include "project/folderwatch.h"

#include <QFile>
#include <QSet>

#if defined(Q_OS_LINUX)
#include <cerrno>
#include <climits>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>
#endif

namespace project {

#if defined(Q_OS_LINUX)

namespace {
// File systems whose every change goes through this kernel: on a network share another
// machine's writes are never noted here.
bool notedWhole(const QByteArray& folder)
{
    struct statfs fs {};
    if (::statfs(folder.constData(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53UL:     // ext2, ext3, ext4
    case 0x58465342UL: // xfs
    case 0x9123683EUL: // btrfs
    case 0x01021994UL: // tmpfs
    case 0xF2F52010UL: // f2fs
    case 0x794C7630UL: // overlay
    case 0x2FC12FC1UL: // zfs
        return true;
    default:
        return false;
    }
}
} // namespace

struct FolderWatch::Impl {
    int fd = -1;
    int limit = INT_MAX;
    bool lost = false; // the folder itself went, or its watch did
};

FolderWatch::FolderWatch(const QString& folder) : d_(std::make_unique<Impl>())
{
    const QByteArray native = QFile::encodeName(folder);
    if (folder.isEmpty() || !notedWhole(native))
        return;
    d_->fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (d_->fd < 0)
        return;
    constexpr uint32_t kMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM |
                               IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (::inotify_add_watch(d_->fd, native.constData(), kMask) < 0) {
        ::close(d_->fd);
        d_->fd = -1;
    }
}

FolderWatch::~FolderWatch()
{
    if (d_->fd >= 0)
        ::close(d_->fd);
}

bool FolderWatch::exact() const { return d_->fd >= 0 && !d_->lost; }

void FolderWatch::setQueueLimit(int notes) { d_->limit = notes; }

FolderWatch::Changes FolderWatch::take()
{
    Changes out;
    if (d_->fd < 0 || d_->lost) {
        out.everything = true;
        return out;
    }
    QSet<QByteArray> seen;
    int notes = 0;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(d_->fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // EAGAIN: nothing more is queued
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= got;) {
            const auto* note = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + note->len);
            ++notes;
            if (note->mask & IN_Q_OVERFLOW)
                out.everything = true;
            if (note->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) {
                out.everything = true;
                d_->lost = true;
            }
            if (note->len > 0 && !out.everything) {
                const QByteArray name(note->name); // padded with NULs to its length
                if (!seen.contains(name)) {
                    seen.insert(name);
                    out.names.append(name);
                }
            }
        }
    }
    if (notes > d_->limit)
        out.everything = true;
    if (out.everything)
        out.names.clear();
    return out;
}

#else

// No notification used here: the caller compares what identifies each file.
struct FolderWatch::Impl {};
FolderWatch::FolderWatch(const QString&) : d_(std::make_unique<Impl>()) {}
FolderWatch::~FolderWatch() = default;
bool FolderWatch::exact() const { return false; }
void FolderWatch::setQueueLimit(int) {}
FolderWatch::Changes FolderWatch::take()
{
    Changes out;
    out.everything = true;
    return out;
}

#endif

} // namespace project
