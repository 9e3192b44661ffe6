#pragma once
// The playlist's running order: what each entry fires, and what is on air, entry by entry. The
// playlist grid shows it, in text and colours, and nothing is ever read back from the grid.
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace playlist {

/// The mark of a step cell.
enum class Mark : quint8 {
    None,      // resting
    OnAir,     // fired on the entry's own channel
    OnPreview, // fired on the preview channel
    Cleared,   // the layer it went to was cleared
    Refused,   // the server refused its line
};

/// Where a line went: a channel and a layer.
struct Target {
    short channel = 0;
    short layer = 0;
    bool operator==(const Target&) const = default;
};

/// The playlist's entries in running order (entry 0 is the grid's row 1), with their marks.
class RunningOrder {
public:
    struct Entry {
        // What the entry is
        QString file;            // its dataset file, as playlist.dat names it
        short card = 0;          // the card that owns the dataset, 0 when none does
        short channel = 0;       // the card's channel and layer
        short layer = 0;
        QStringList steps;       // the names of its step cells, in order
        // What is on air of it
        bool striped = false;    // its description cells carry the row's stripe
        Mark rest = Mark::None;  // every step cell but the fired one: none, or cleared
        int fired = -1;          // the step fired last, counted from 0, or -1
        Mark mark = Mark::None;  // that step's mark
        Target target;           // where its line went
        quint64 ticket = 0;      // the link's name for that line
    };

    int size() const { return int(entries_.size()); }
    const Entry& entry(int i) const { return entries_.at(i); }

    void clear()
    {
        entries_.clear();
        unread_.clear();
    }
    /// Its file could not be read: what the running order holds is not known, so it takes no
    /// change and its file is not written until it is read again. why names the file.
    void setUnread(const QString& why) { unread_ = why; }
    bool unread() const { return !unread_.isEmpty(); }
    /// Raises 75 (path/file access error), saying why, while the running order is unread.
    void mustBeRead() const;
    /// The step named at s of entry i; empty past its last step.
    QString step(int i, int s) const { return entries_.at(i).steps.value(s); }
    /// The last of entry i's steps that has a name; 0 when none has.
    int lastStep(int i) const;
    /// The dataset files of the entries, in order: what playlist.dat holds.
    QStringList files() const;

    /// Appends entry (its marks are set here): a loaded entry is striped and resting; one added
    /// from the tree has no stripe and its steps start cleared.
    void append(Entry entry, bool addedFromTree);
    void remove(int i);
    /// Entry from is taken out and put back so that it becomes entry to.
    void move(int from, int to);

    /// Step s of entry i went out; its other steps rest.
    void fired(int i, int s, Mark mark, Target target, quint64 ticket);
    /// Entry i striped and without marks.
    void plain(int i);
    /// Every entry striped; the marks stay.
    void restripe();
    /// A layer clear went to target: the marks `which` whose line went there turn cleared. The
    /// entries changed.
    QList<int> clearLayer(Mark which, Target target);
    /// A channel clear went out: every mark whose line went to channel comes off. The entries
    /// changed.
    QList<int> clearChannel(short channel);
    /// The server refused the line of ticket: its mark turns refused if it still stands. The
    /// entry changed, or -1.
    int refused(quint64 ticket);

private:
    bool has(int i) const { return i >= 0 && i < size(); }
    QList<Entry> entries_;
    QString unread_;
};

} // namespace playlist
