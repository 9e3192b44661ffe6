#pragma once
// The playlist's running order and what is on air: the entries in order, with everything a row
// shows, the cue, and for every channel and layer a line went to, what the server shows there.
// The playlist grid renders it; nothing is ever read back from the grid.
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <deque>

#include "playlist/cuemove.h"

namespace playlist {

/// The mark of a step cell.
enum class Mark : quint8 {
    None,      // resting
    OnAir,     // it shows on a layer of its entry's own channel
    OnPreview, // it shows on another channel
    Cleared,   // the layer it showed on was cleared; also every step of an entry just added
    Refused,   // the server refused its line, and its target has had no line or clear since
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
        int entry = -1; // -1 when that entry has been removed, or the editor's line shows there
        int step = 0;
        Mark mark = Mark::None; // on air or on preview; none for the editor's line
        quint64 order = 0;      // later lines have higher numbers
    };
    /// The entry that stands for the editor's card line: it marks no cell.
    static constexpr int kEditor = -1;

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
    /// Moves the cue as the keys do; a page is `page` entries (what the view shows). With no cue,
    /// any move puts it on the first step of the first entry.
    void moveCue(CueMove move, int page);

    // ---- What is on air ----------------------------------------------------------------------
    // The marks are what the lines sent give, applied in order, leaving out the lines the server
    // refused: a refusal undoes its line, however late it comes. ticket names a line for the
    // answers; 0 for one that will never have one.
    /// The line of step s of entry i (kEditor: the editor's card line) went to target: target
    /// shows it now, and no longer what it showed, was cleared of or refused before. On the
    /// sender's own channel, the other entries at target that have no stripe yet take theirs.
    void sent(int i, int s, Target target, quint64 ticket);
    /// A layer clear went to target: what it showed turns cleared, and it shows nothing.
    void clearedLayer(Target target, quint64 ticket);
    /// A channel clear went out: nothing shows on channel any more, no mark of a line that went
    /// there stays, and the entries of that channel take their plain stripes.
    void clearedChannel(short channel, quint64 ticket);
    /// The server carried out the line of ticket.
    void accepted(quint64 ticket);
    /// The server refused the line of ticket: the marks become those without it. Whether it was
    /// a line still waiting for its answer.
    bool refused(quint64 ticket);
    /// No answer will come for the lines in flight (a new connection): they count as carried out.
    void settle();
    /// The mark step cell s of entry i shows: the most important of its marks on every target,
    /// on air, refused, on preview, cleared; none past its steps or when it has none.
    Mark mark(int i, int s) const;
    /// Whether step s of entry i has this mark on some target.
    bool shows(int i, int s, Mark mark) const;
    /// Every target that shows a line, with what it shows.
    QList<Shown> shown() const;
    /// The lines still waiting for their answer, whose refusal could change a mark.
    qsizetype linesInFlight() const { return qsizetype(lines_.size()); }
    /// At most this many lines wait for their answer; older ones count as carried out, as the
    /// link no longer ties an answer to them.
    static constexpr qsizetype kMaxLines = 4096;

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
    // A cell, by its entry's id and its step; entry 0 is no cell (the editor's line).
    struct Cell {
        quint64 entry = 0;
        int step = 0;
        bool operator==(const Cell&) const = default;
    };
    // What a channel and layer shows, and the marks left there by lines that went to it.
    struct Place {
        Target target;
        bool showing = false; // a line shows there: from `source`, or the editor's when entry 0
        Cell source;
        quint64 order = 0;
        QList<Cell> cleared;
        QList<Cell> refused;
    };
    // One line as sent: a step's or the editor's line, a layer clear or a channel clear.
    struct Line {
        enum Kind : quint8 { Show, ClearLayer, ClearChannel } kind = Show;
        Target target; // a channel clear's layer is 0
        Cell source;
        quint64 ticket = 0;
        quint64 order = 0;
        bool answered = false;
        bool refused = false;
    };
    int indexOf(quint64 id) const;
    void changed(quint64 id);
    Place& place(QList<Place>& places, Target target);
    // Applies line to places; the entries whose marks it may change go to touched.
    void apply(QList<Place>& places, const Line& line, QList<quint64>* touched);
    void record(Line line);
    // Lines answered at the front, and those past the limit, go into what is settled.
    void fold();
    // The entries at target (all of its channel when layer is 0) but except take their plain
    // stripes.
    void plain(Target target, quint64 except);

    QList<Entry> entries_;
    QList<Place> settled_;   // what the lines answered (or no longer answerable) gave
    std::deque<Line> lines_; // the lines waiting for their answer, in the order they went out
    QList<Place> places_;    // settled_ with lines_ applied: what the marks show; a show uses a
                             // few channels and layers
    quint64 nextId_ = 0;
    quint64 nextOrder_ = 0;
    quint64 cueEntry_ = 0; // by id: the cue follows its entry
    int cueStep_ = 0;
    bool loaded_ = false;
    QString unread_; // why its file could not be read; empty once it was
};

} // namespace playlist
