#pragma once
// The titles of a data folder's datasets, kept between one listing of the tree and the next.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace project {

class FolderWatch;

/// What a data folder's dataset files held when they were last read: their names in listing order,
/// and the lines of each that a title is taken from. Only files added, changed or removed since
/// are read again: the folder's change notification says which where it is exact, and what
/// identifies each file (size, times, file number) is compared where it is not. A lost note
/// means every file is read again. The program's own writes drop what was kept of the file as
/// they happen.
class TitleCache {
public:
    /// The TITLE lines of a dataset and its empty lines, with the line number of each (from 1).
    struct Kept {
        QStringList lines;
        QList<int> numbers;
        bool clean = false;            // every line gives a title without a fault
        std::optional<QString> title;  // the title taken from them, once it is
    };

    explicit TitleCache(const QString& folder);
    ~TitleCache();
    TitleCache(const TitleCache&) = delete;
    TitleCache& operator=(const TitleCache&) = delete;

    /// The cache of folder, made at its first use; the few folders used last are kept.
    static TitleCache& of(const QString& folder);

    const QString& folder() const { return folder_; }

    /// Brings the names up to date with the folder and returns those of its regular files that
    /// are datasets, sorted as listFiles sorts them. Raises as listFiles does for a folder that
    /// cannot be read, and everything is read again after that.
    QStringList refresh();
    /// What was kept of name's file; null when it must be read: new, changed, or never read whole.
    const Kept* kept(const QString& name) const;
    /// Keeps what was read from name, as refresh() found the file.
    void keep(const QString& name, Kept kept);
    /// Keeps the title taken from name's kept lines.
    void keepTitle(const QString& name, const QString& title);
    /// Whether name's UTF-8 copy may lag it: either file changed since the copy was last followed.
    bool copyMayLag(const QString& name) const;
    /// The copy of name was followed; lagging when it still lags (its write failed), so that it
    /// is tried again at the next refresh.
    void copyFollowed(const QString& name, bool lagging);
    /// Whether the last refresh found name's file.
    bool has(const QString& name) const { return entries_.contains(name); }

    /// Each refresh is one version of what is kept.
    quint64 version() const { return version_; }
    /// The names that changed since version (added, removed, changed, or their copy may lag),
    /// and those settled since with again, in listing order. False when that is not known (the
    /// folder was read whole since, or version is too old): everything may have changed.
    bool changedSince(quint64 version, QStringList& names);
    /// The loader is done with name until it changes, or, again, until the next refresh: its
    /// read or its copy failed, or its title lines must be read afresh to report them.
    void settle(const QString& name, bool again);

    /// The names met by the last refresh that the system's file names cannot carry back, as the
    /// system spells them; each is given once.
    QList<QByteArray> takeUnnamed();

    /// Forgets everything: the next refresh reads every file, as at the first.
    void reset();
    /// Reads at most this many notes of the folder's changes at one refresh before counting them
    /// as lost, as the system's queue does when it overflows.
    void setQueueLimit(int notes);
    /// Whether the folder's change notification is used where it is exact; without it every file's
    /// identity is compared at each refresh, as where the system offers none.
    void setNotesUsed(bool used) { notesUsed_ = used; }
    /// Whether the last refresh read the folder whole.
    bool lastWasFull() const { return lastWasFull_; }

    /// The identity of a file's state: what changes when the file is written, replaced or removed.
    struct Stamp {
        qint64 size = -1;
        qint64 modified = 0; // ns
        qint64 changed = 0;  // ns, the status change where the system keeps it
        quint64 fileNumber = 0;
        quint64 device = 0;
        bool regular = false;
        bool shared = false; // a link, or a file of more than one name: changed from elsewhere unheard
        bool known = false;  // taken from the system, not only the kind the listing gave
        bool operator==(const Stamp& o) const
        {
            return size == o.size && modified == o.modified && changed == o.changed && fileNumber == o.fileNumber &&
                   device == o.device && regular == o.regular;
        }
    };

private:
    struct Entry {
        Stamp file;
        Stamp copy;
        Kept kept;
        bool read = false;
        bool racy = false; // written so shortly before it was read that its stamp may not show a change
        bool copyLags = true;
        bool listed = false; // found by the listing under way
    };
    /// What a prefetch does with each copy: leaves what is known of it, decides from its stamp
    /// whether it may lag, or takes its stamp first and then decides.
    enum class Copies { Kept, Followed, Stamped };
    void full();
    void prefetch(const QStringList& names, Copies copies);
    void recheck(const QString& name, const Stamp* known, bool force);
    void wrote(const QString& path);
    QStringList ownersOf(const QString& copy) const;
    void addName(const QString& name);
    void touch(const QString& name) { touched_.insert(name, version_); }
    void removeName(const QString& name);

    QString folder_;
    std::unique_ptr<FolderWatch> watch_;
    Stamp folderStamp_;
    bool known_ = false;
    bool lastWasFull_ = false;
    int queueLimit_ = -1;
    bool notesUsed_ = true;
    QStringList names_;
    QHash<QString, Entry> entries_;
    QSet<QString> shared_;                // rechecked at every refresh
    QSet<QString> written_;               // written by the program since the last refresh
    QStringList added_;                   // names new at this refresh, put in place at its end
    QSet<QString> removed_;               // names gone at this refresh
    QList<QByteArray> unnamed_;
    quint64 version_ = 0;
    quint64 wholeAt_ = 0;                 // the version that read the folder whole
    quint64 forgottenUpTo_ = 0;           // changes up to this version are no longer kept
    QHash<QString, quint64> touched_;     // the version each name last changed at
    QSet<QString> again_;                 // looked at by the loader at every refresh
    QSet<QByteArray> reported_;
    int observer_ = 0;
};

} // namespace project
