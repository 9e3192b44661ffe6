#include "project/titlecache.h"

#include <QDateTime>
#include <QFile>
#include <QScopeGuard>
#include <algorithm>
#include <vector>

#ifdef Q_OS_WIN
#include <QDirIterator>
#include <QFileInfo>
#else
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include "fault/runtimeerror.h"
#include "project/cores.h"
#include "project/datasetfile.h"
#include "project/folderwatch.h"
#include "project/folders.h"
#include "project/paths.h"
#include "project/textfile.h"
#include "project/textfile_p.h"

namespace project {

namespace {

using Stamp = TitleCache::Stamp;

// A copy's name ends as every copy's does.
bool mayBeCopy(const QString& name) { return name.endsWith(QLatin1String(".ft8")); }

// More names than this added at once are sorted together rather than put in place one by one.
constexpr qsizetype kPlacedOneByOne = 64;
// A file written less than this before it was read may change again without its stamp showing it.
constexpr qint64 kRacyNs = 2'000'000'000;

#ifdef Q_OS_WIN
Stamp stampOf(const QString& path)
{
    Stamp s;
    const QFileInfo info(path);
    if (!info.exists())
        return s;
    s.regular = info.isFile();
    s.shared = info.isSymLink();
    s.size = info.size();
    s.modified = info.lastModified().toMSecsSinceEpoch() * 1'000'000;
    s.changed = info.metadataChangeTime().toMSecsSinceEpoch() * 1'000'000;
    s.known = true;
    return s;
}
Stamp folderStampOf(const QString& folder)
{
    Stamp s = stampOf(folder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        fault::raise(fault::PathNotFound, QStringLiteral("Path not found: %1").arg(folder));
    s.modified = s.changed = 0; // a folder's times change with every name in it
    s.size = 0;
    return s;
}
#else
Stamp fromStat(const struct stat& st)
{
    Stamp s;
    s.regular = S_ISREG(st.st_mode);
    s.size = qint64(st.st_size);
    s.modified = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    s.changed = qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    s.fileNumber = quint64(st.st_ino);
    s.device = quint64(st.st_dev);
    s.shared = st.st_nlink > 1;
    s.known = true;
    return s;
}
// The file a name leads to; a link is followed and marked shared, its target may change unheard.
Stamp stampAt(int folder, const char* raw)
{
    struct stat st {};
    if (::fstatat(folder, raw, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Stamp();
    if (!S_ISLNK(st.st_mode))
        return fromStat(st);
    Stamp s;
    if (::fstatat(folder, raw, &st, 0) == 0)
        s = fromStat(st);
    s.shared = true;
    return s;
}
Stamp stampOf(const QString& path) { return stampAt(AT_FDCWD, QFile::encodeName(path).constData()); }
Stamp folderStampOf(const QString& folder)
{
    struct stat st {};
    if (folder.isEmpty() || ::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        fault::raise(fault::PathNotFound, QStringLiteral("Path not found: %1").arg(folder));
    Stamp s;
    s.fileNumber = quint64(st.st_ino);
    s.device = quint64(st.st_dev);
    return s;
}
#endif

// Each dataset and copy of a folder that is a regular file (or a link to one), with its stamp, in
// the folder's order, given to visit(name, stamp, isDataset); the names the system cannot carry
// back go to unnamed. Copies are passed over unread unless withCopies. The name given is one
// string reused: a name the caller keeps already costs nothing again.
template <class Visit>
void listFolder(const QString& folder, bool stampDatasets, bool withCopies, QList<QByteArray>& unnamed, Visit&& visit)
{
    QString name;
    const auto take = [&](const Stamp& stamp) {
        if (stamp.regular) // not a folder, a pipe, a broken link: listed as listFiles lists
            visit(std::as_const(name), stamp, datasetfile::isDatasetFile(name));
    };
#ifdef Q_OS_WIN
    Q_UNUSED(stampDatasets)
    Q_UNUSED(unnamed)
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        fault::raise(fault::PathNotFound, QStringLiteral("Path not found: %1").arg(folder));
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        name = it.fileName();
        if (datasetfile::isDatasetFile(name) || (withCopies && mayBeCopy(name)))
            take(stampOf(it.filePath()));
    }
#else
    DIR* dir = textfile::detail::openFolder(folder);
    const auto closeFolder = qScopeGuard([dir] { ::closedir(dir); });
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView raw(entry->d_name);
        const bool dataset = raw.endsWith(".ftd");
        if (!dataset && !(withCopies && raw.endsWith(".ft8")))
            continue;
        if (!textfile::detail::decodeName(name, entry->d_name)) {
            if (dataset)
                unnamed.append(raw.toByteArray());
            continue;
        }
        // A plain dataset's kind comes with its name: what identifies its state is taken as it is read.
        if (!stampDatasets && dataset && entry->d_type == DT_REG) {
            Stamp kind;
            kind.regular = true;
            take(kind);
            continue;
        }
        take(stampAt(::dirfd(dir), entry->d_name));
    }
#endif
}

// Whether a copy may lag its file, as the copy's check compares them: missing, or last written
// in an earlier millisecond. Anything but a regular copy is left to that check.
bool copyLagsByStamp(const Stamp& file, const Stamp& copy)
{
    constexpr qint64 kNsPerMs = 1'000'000;
    return !file.known || !copy.regular || copy.modified / kNsPerMs < file.modified / kNsPerMs;
}

qint64 nowNs() { return QDateTime::currentMSecsSinceEpoch() * 1'000'000; }

} // namespace

TitleCache::TitleCache(const QString& folder) : folder_(folder)
{
    observer_ = textfile::observeWrites([this](const QString& path) { wrote(path); });
}

TitleCache::~TitleCache() { textfile::stopObserving(observer_); }

TitleCache& TitleCache::of(const QString& folder)
{
    static std::vector<std::unique_ptr<TitleCache>> caches; // the one used last at the back
    const auto found = std::find_if(caches.begin(), caches.end(), [&](const auto& c) { return c->folder() == folder; });
    if (found != caches.end()) {
        std::rotate(found, found + 1, caches.end());
        return *caches.back();
    }
    constexpr size_t kFolders = 4;
    if (caches.size() == kFolders)
        caches.erase(caches.begin());
    caches.push_back(std::make_unique<TitleCache>(folder));
    return *caches.back();
}

void TitleCache::reset()
{
    known_ = false;
    touched_.clear();
    again_.clear();
    wholeAt_ = version_;
    watch_.reset();
    names_.clear();
    entries_.clear();
    shared_.clear();
    written_.clear();
}

void TitleCache::setQueueLimit(int notes)
{
    queueLimit_ = notes;
    if (watch_)
        watch_->setQueueLimit(notes);
}

void TitleCache::full()
{
    lastWasFull_ = true;
    watch_.reset();
    shared_.clear();
    written_.clear();
    touched_.clear();
    again_.clear();
    wholeAt_ = version_;
    folderStamp_ = folderStampOf(folder_);
    // Watching before listing: a change made while the files are read is noted for the next time.
    watch_ = std::make_unique<FolderWatch>(folder_);
    if (queueLimit_ >= 0)
        watch_->setQueueLimit(queueLimit_);
    const bool noted = notesUsed_ && watch_->exact();
    // Everything kept is forgotten, but the table and the names stay: a folder read whole again
    // mostly holds the names it held, which are then neither made, freed nor sorted again.
    for (Entry& entry : entries_)
        entry.listed = false;
    QStringList order; // the datasets as the folder gave them: read so, they are read near each other
    order.reserve(entries_.size());
    // With notes, each copy is looked at as its dataset is read; without, the listing gives them.
    std::vector<std::pair<QString, Stamp>> copies;
    listFolder(folder_, !noted, !noted, unnamed_, [&](const QString& name, const Stamp& stamp, bool dataset) {
        if (!dataset) {
            copies.emplace_back(name, stamp);
            return;
        }
        auto entry = entries_.find(name);
        if (entry == entries_.end()) {
            entry = entries_.insert(name, Entry());
            added_.append(entry.key());
        } else {
            *entry = Entry();
        }
        entry->file = stamp;
        entry->listed = true;
        order.append(entry.key());
        if (stamp.shared)
            shared_.insert(entry.key());
    });
    entries_.removeIf([&](const auto& it) {
        if (it.value().listed)
            return false;
        removed_.insert(it.key());
        return true;
    });
    for (const auto& [copy, stamp] : copies) {
        const QStringList owners = ownersOf(copy);
        for (const QString& owner : owners) {
            Entry& entry = entries_[owner];
            entry.copy = stamp;
            entry.copyLags = copyLagsByStamp(entry.file, entry.copy); // where not known yet, as it is read
        }
        if (stamp.shared && !owners.isEmpty())
            shared_.insert(copy);
    }
    copies = {};
    prefetch(order, noted ? Copies::Stamped : Copies::Followed);
}

QStringList TitleCache::refresh()
{
    const bool wasKnown = known_;
    ++version_;
    // A failure half-way forgets everything: the next refresh reads the folder whole.
    auto failed = qScopeGuard([this] { reset(); });
    lastWasFull_ = false;
    added_.clear();
    removed_.clear();
    // On Windows a file's times can be set back and no file number comes with them, so what
    // identifies a file cannot tell a title rewritten in place, nor a folder replaced whole:
    // every dataset is read at each switch there, as before titles were kept.
#ifdef Q_OS_WIN
    constexpr bool kStampsExact = false;
#else
    constexpr bool kStampsExact = true;
#endif
    if (!kStampsExact || !wasKnown || !watch_ || !(folderStampOf(folder_) == folderStamp_)) {
        full();
    } else if (notesUsed_ && watch_->exact()) {
        const FolderWatch::Changes changes = watch_->take();
        if (changes.everything) {
            full();
        } else {
            for (const QByteArray& raw : changes.names) {
                QString name;
                if (!textfile::detail::decodeName(name, raw.constData())) {
                    if (raw.endsWith(".ftd"))
                        unnamed_.append(raw);
                    continue;
                }
                recheck(name, nullptr, true);
            }
            for (const QString& name : QSet<QString>(shared_))
                recheck(name, nullptr, false);
            for (const QString& name : QSet<QString>(written_))
                recheck(name, nullptr, true);
        }
    } else {
        // No exact notes: every file's stamp is compared with the one it was read at.
        QHash<QString, Stamp> datasets;
        QHash<QString, Stamp> copies;
        listFolder(folder_, true, true, unnamed_, [&](const QString& name, const Stamp& stamp, bool dataset) {
            (dataset ? datasets : copies).insert(name, stamp);
        });
        for (auto it = datasets.cbegin(); it != datasets.cend(); ++it) {
            const auto entry = entries_.constFind(it.key());
            recheck(it.key(), &*it, written_.contains(it.key()) || (entry != entries_.cend() && entry->racy));
        }
        const Stamp gone;
        for (const QString& name : entries_.keys())
            if (!datasets.contains(name))
                recheck(name, &gone, false);
        for (const QString& name : entries_.keys()) {
            const QString copy = datasetfile::copyName(name);
            const auto found = copies.constFind(copy);
            recheck(copy, found == copies.cend() ? &gone : &*found, written_.contains(copy));
        }
    }
    // Names added or removed are put in place together.
    if (!removed_.isEmpty())
        names_.removeIf([this](const QString& name) { return removed_.contains(name); });
    if (added_.size() > kPlacedOneByOne) {
        names_ += added_;
        names_ = textfile::sortedAsListed(std::move(names_));
    } else {
        for (const QString& name : std::as_const(added_))
            names_.insert(std::lower_bound(names_.begin(), names_.end(), name, textfile::listedBefore), name);
    }
    added_.clear();
    removed_.clear();
    written_.clear();
    if (!lastWasFull_) {
        QStringList changed;
        for (auto it = touched_.cbegin(); it != touched_.cend(); ++it)
            if (*it == version_)
                changed.append(it.key());
        prefetch(changed, Copies::Kept);
    }
    failed.dismiss();
    known_ = true;
    return names_;
}

// The datasets not read yet, read here at once, through the folder already open: what cannot be
// read so is left for the loader, which reads it again and reports what fails. The files are
// read on every core: each file's work is its own, and only its entry is written.
void TitleCache::prefetch(const QStringList& names, Copies copies)
{
#ifdef Q_OS_WIN
    Q_UNUSED(names)
    Q_UNUSED(copies)
#else
    const int folder = ::open(QFile::encodeName(folder_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    const auto closeFolder = qScopeGuard([folder] { ::close(folder); });
    struct Job {
        const QString* name;
        Entry* entry;
    };
    std::vector<Job> jobs;
    jobs.reserve(size_t(names.size()));
    for (const QString& name : names) {
        const auto entry = entries_.find(name);
        if (entry != entries_.end() && !entry->read && !datasetfile::ownerCard(name).isEmpty())
            jobs.push_back({&name, &*entry});
    }
    const qint64 now = nowNs();
    // One file: its copy looked at first where asked, then its title lines kept with what
    // identifies the state they were read at. Nothing here throws past the file it is at.
    const auto fetch = [&](const Job& job, QByteArray& bytes) noexcept -> bool {
        try {
            Entry& entry = *job.entry;
            if (copies == Copies::Stamped)
                entry.copy = stampAt(folder, QFile::encodeName(datasetfile::copyName(*job.name)).constData());
            // Non-blocking, in case a pipe took the file's place since it was listed.
            const int fd = ::openat(folder, QFile::encodeName(*job.name).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
            if (fd < 0)
                return false;
            const auto closeFile = qScopeGuard([fd] { ::close(fd); });
            struct stat st {};
            if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > textfile::kMaxFileBytes)
                return false;
            // A file grown since it was found is the loader's reading to see to.
            if (textfile::detail::readOpen(fd, qsizetype(st.st_size), qsizetype(st.st_size), bytes) != textfile::detail::ReadEnd::Whole)
                return false;
            Kept kept;
            kept.lines = datasetfile::keyedLines(bytes, u"TITLE", &kept.numbers);
            kept.clean = std::all_of(kept.lines.cbegin(), kept.lines.cend(), [](const QString& line) { return line.contains(u'~'); });
            if (kept.clean) {
                // Every line a title line with its value: the title is the last one's, and all that is kept.
                kept.title = kept.lines.isEmpty() ? QString() : datasetfile::lineValue(kept.lines.constLast());
                kept.lines = QStringList();
                kept.numbers = QList<int>();
            }
            const bool shared = entry.file.shared;
            entry.file = fromStat(st);
            entry.file.shared = entry.file.shared || shared;
            entry.kept = std::move(kept);
            entry.read = true;
            entry.racy = now - std::max(entry.file.modified, entry.file.changed) < kRacyNs;
            if (copies != Copies::Kept)
                entry.copyLags = copyLagsByStamp(entry.file, entry.copy);
            return true;
        } catch (...) {
            return false; // out of memory: left for the loader
        }
    };
    constexpr size_t kAlone = 256; // fewer files are read on this thread alone
    cores::forEach<QByteArray>(jobs.size(), kAlone, [&](size_t i, QByteArray& bytes) {
        if (fetch(jobs[i], bytes))
            ++textfile::detail::tally().reads;
    });
    // A link or a file of more than one name may change from elsewhere unheard: looked at each time.
    for (const Job& job : jobs) {
        if (job.entry->file.shared)
            shared_.insert(*job.name);
        if (copies == Copies::Stamped && job.entry->copy.shared)
            shared_.insert(datasetfile::copyName(*job.name));
    }
#endif
}

void TitleCache::recheck(const QString& name, const Stamp* known, bool force)
{
    if (datasetfile::isDatasetFile(name)) {
        const Stamp stamp = known ? *known : stampOf(paths::join(folder_, name));
        auto entry = entries_.find(name);
        if (!stamp.regular) {
            if (entry != entries_.end()) {
                removeName(name);
                touch(name);
            }
            shared_.remove(name);
            return;
        }
        if (entry == entries_.end()) {
            addName(name);
            touch(name);
            const QString copy = datasetfile::copyName(name);
            entry = entries_.insert(name, Entry());
            entry->file = stamp;
            entry->copy = stampOf(paths::join(folder_, copy));
        } else if (force || !(stamp == entry->file)) {
            entry->file = stamp;
            entry->read = false;
            entry->kept = Kept();
            entry->copyLags = true;
            touch(name);
        }
        if (stamp.shared)
            shared_.insert(name);
        else
            shared_.remove(name);
        return;
    }
    if (!mayBeCopy(name))
        return;
    const QStringList owners = ownersOf(name);
    if (owners.isEmpty())
        return;
    const Stamp stamp = known ? *known : stampOf(paths::join(folder_, name));
    for (const QString& owner : owners) {
        Entry& entry = entries_[owner];
        if (force || !(stamp == entry.copy)) {
            entry.copy = stamp;
            entry.copyLags = true;
            touch(owner);
        }
    }
    if (stamp.shared)
        shared_.insert(name);
    else
        shared_.remove(name);
}

// The datasets kept whose copy is named copy: each ".ft8" in it may have been ".ftd".
QStringList TitleCache::ownersOf(const QString& copy) const
{
    QStringList owners;
    if (!mayBeCopy(copy))
        return owners;
    QList<qsizetype> at;
    for (qsizetype i = copy.indexOf(QLatin1String(".ft8")); i >= 0; i = copy.indexOf(QLatin1String(".ft8"), i + 4))
        at.append(i);
    constexpr qsizetype kMostTried = 8; // no real name holds more
    if (at.size() > kMostTried)
        at = at.mid(at.size() - kMostTried);
    for (quint32 pick = 1; pick < (1u << at.size()); ++pick) {
        QString owner = copy;
        for (qsizetype b = 0; b < at.size(); ++b)
            if (pick & (1u << b))
                owner[at[b] + 3] = u'd';
        if (entries_.contains(owner) && datasetfile::copyName(owner) == copy)
            owners.append(owner);
    }
    return owners;
}

void TitleCache::addName(const QString& name)
{
    if (!removed_.remove(name))
        added_.append(name);
}

void TitleCache::removeName(const QString& name)
{
    entries_.remove(name);
    if (added_.removeAll(name) == 0)
        removed_.insert(name);
}

const TitleCache::Kept* TitleCache::kept(const QString& name) const
{
    const auto entry = entries_.constFind(name);
    return entry != entries_.cend() && entry->read ? &entry->kept : nullptr;
}

void TitleCache::keep(const QString& name, Kept kept)
{
    const auto entry = entries_.find(name);
    if (entry == entries_.end())
        return;
    entry->kept = std::move(kept);
    entry->read = true;
    entry->racy = nowNs() - std::max(entry->file.modified, entry->file.changed) < kRacyNs;
}

void TitleCache::keepTitle(const QString& name, const QString& title)
{
    const auto entry = entries_.find(name);
    if (entry != entries_.end() && entry->read && entry->kept.clean) {
        // The title is all that is needed again: the lines go.
        entry->kept.title = title;
        entry->kept.lines = QStringList();
        entry->kept.numbers = QList<int>();
    }
}

bool TitleCache::copyMayLag(const QString& name) const
{
    const auto entry = entries_.constFind(name);
    return entry == entries_.cend() || entry->copyLags;
}

void TitleCache::copyFollowed(const QString& name, bool lagging)
{
    const auto entry = entries_.find(name);
    if (entry != entries_.end())
        entry->copyLags = lagging;
}

QList<QByteArray> TitleCache::takeUnnamed()
{
    QList<QByteArray> fresh;
    for (const QByteArray& raw : std::as_const(unnamed_))
        if (!reported_.contains(raw)) {
            reported_.insert(raw);
            fresh.append(raw);
        }
    unnamed_.clear();
    return fresh;
}

void TitleCache::wrote(const QString& path)
{
    const QString name = paths::lastComponent(path);
    if (paths::join(folder_, name) != path)
        return;
    written_.insert(name);
    const auto entry = entries_.find(name);
    if (entry != entries_.end()) {
        entry->read = false;
        entry->kept = Kept();
        entry->copyLags = true;
        touch(name);
    }
    for (const QString& owner : ownersOf(name)) {
        entries_[owner].copyLags = true;
        touch(owner);
    }
}

bool TitleCache::changedSince(quint64 version, QStringList& names)
{
    names.clear();
    if (version == 0 || version < wholeAt_ || version < forgottenUpTo_ || version > version_)
        return false;
    QSet<QString> changed = again_;
    for (auto it = touched_.cbegin(); it != touched_.cend(); ++it)
        if (*it > version)
            changed.insert(it.key());
    // What the loader has seen is not asked for again.
    touched_.removeIf([version](const auto& it) { return it.value() <= version; });
    forgottenUpTo_ = version;
    names = textfile::sortedAsListed(QStringList(changed.cbegin(), changed.cend()));
    return true;
}

void TitleCache::settle(const QString& name, bool again)
{
    if (again)
        again_.insert(name);
    else
        again_.remove(name);
}

} // namespace project
