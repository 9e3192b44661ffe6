#pragma once
// The playlist's running order and what is on air: the entries in order, with everything a row
// shows, the cue, and for every channel and layer a line went to, which step sent the last line
// there. The playlist grid renders it; nothing is ever read back from the grid.
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace playlist {

/// The mark of a step cell.
enum class Mark : quint8 {
    None,      // resting
    OnAir,     // its line went to the entry's own channel, and is still the last line there
    OnPreview, // its line went to the preview channel, and is still the last line there
    Cleared,   // the layer its line went to was cleared; also every step of an entry just added
    Refused,   // the server refused its line
};

/// Where a line went: a channel and a layer.
struct Target {
    short channel = 0;
    short layer = 0;
    bool operator==(const Target&) const = default;
};

/// The playlist's entries in running order, counted from 0, and what each channel and layer shows.
/// Every change is announced before and after, so a view can follow it.
class RunningOrder : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QString file;       // its dataset file, as playlist.dat names it
        QString title;      // the dataset's title
        short card = 0;     // the card that owns the dataset, 0 when none does
        QString cardTitle;  // what the card gives: its title, type, channel and layer
        short type = -1;
        short channel = 0;
        short layer = 0;
        QStringList steps;  // the names of its step cells, in order
        // Set by the running order:
        bool striped = false; // its description cells carry the row's stripe
        bool greyed = false;  // added from the tree and not fired since: its steps show cleared
        quint64 id = 0;       // stays with the entry wherever it moves
    };
    /// The step cell the keys fire: entry and step, or entry -1 when there is none.
    struct Cue {
        int entry = -1;
        int step = 0;
        bool operator==(const Cue&) const = default;
    };
    /// What a channel and layer shows: the step whose line went there last, and its mark.
    struct Shown {
        Target target;
        int entry = -1; // -1 when that entry has been removed
        int step = 0;
        Mark mark = Mark::None;
        quint64 order = 0; // later lines have higher numbers
    };

    explicit RunningOrder(QObject* parent = nullptr) : QObject(parent) {}

    int size() const { return int(entries_.size()); }
    const Entry& entry(int i) const { return entries_.at(i); }
    bool has(int i) const { return i >= 0 && i < size(); }
    /// Its file could not be read: what the running order holds is not known, so it takes no
    /// change and its file is not written until it is read again (a load). why names the file.
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
    /// Whether the entries were loaded since the project was opened.
    bool isLoaded() const { return loaded_; }

    // ---- The running order ------------------------------------------------------------------
    /// No entries, nothing on air, not loaded: a project was opened.
    void unload();
    /// These entries, striped and without marks; nothing on air is known.
    void load(QList<Entry> entries);
    /// Appends entry: one added from the tree has no stripe and its steps show cleared.
    void append(Entry entry, bool addedFromTree);
    void remove(int i);
    /// Entry from is taken out and put back so that it becomes entry to.
    void move(int from, int to);
    /// Every entry striped: after a drag, rows take their new place's stripe.
    void restripe();

    // ---- The cue -----------------------------------------------------------------------------
    Cue cue() const;
    /// Whether step s of entry i is the cue: asked for every cell painted, so no search.
    bool isCue(int i, int s) const { return cueEntry_ != 0 && s == cueStep_ && entries_.at(i).id == cueEntry_; }
    /// Puts the cue on step of entry; an entry that is not there takes it away.
    void setCue(int entry, int step);

    // ---- What is on air ----------------------------------------------------------------------
    /// The line of step s of entry i went to target, on air or on preview (mark): it is what
    /// target shows now, whichever entry sent the line before. ticket names it for refused().
    void sent(int i, int s, Mark mark, Target target, quint64 ticket);
    /// A layer clear went to target: what it showed turns cleared.
    void clearedLayer(Target target);
    /// A channel clear went out: nothing shows on channel any more, and the entries of that
    /// channel take their plain stripes.
    void clearedChannel(short channel);
    /// The server refused the line of ticket: if it is still what its target shows, it shows
    /// refused. Whether a mark changed.
    bool refused(quint64 ticket);
    /// The mark step cell s of entry i shows: that of the latest line from it that is still the
    /// last line of its target; none past its steps or when none is.
    Mark mark(int i, int s) const;
    /// Whether step s of entry i is what some target shows, with this mark.
    bool shows(int i, int s, Mark mark) const;
    /// Every target a line went to, with what it shows.
    QList<Shown> shown() const;

signals:
    void aboutToReset();
    void wasReset();
    void aboutToInsert(int i);
    void inserted();
    void aboutToRemove(int i);
    void removed();
    /// Entry from is about to become entry to.
    void aboutToMove(int from, int to);
    void moved();
    /// The colours of entries first to last changed: marks, stripes.
    void marksChanged(int first, int last);
    void cueChanged(playlist::RunningOrder::Cue from, playlist::RunningOrder::Cue to);

private:
    struct OnTarget {
        Target target;
        quint64 entry = 0; // the entry's id
        int step = 0;
        Mark mark = Mark::None;
        quint64 ticket = 0;
        quint64 order = 0; // when the line went out
    };
    int indexOf(quint64 id) const;
    void changed(quint64 id);
    const OnTarget* latest(quint64 id, int s) const;

    QList<Entry> entries_;
    QList<OnTarget> targets_; // one per target: a show uses a few channels and layers
    quint64 nextId_ = 0;
    quint64 nextOrder_ = 0;
    quint64 cueEntry_ = 0; // by id: the cue follows its entry
    int cueStep_ = 0;
    bool loaded_ = false;
    QString unread_; // why its file could not be read; empty once it was
};

} // namespace playlist
