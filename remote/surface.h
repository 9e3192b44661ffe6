#pragma once
// What a remote control can do to the running order and see of it: the window implements it
// with the same handlers its mouse and keys use, so a remote press sends only what a click could.
#include <QList>
#include <QString>
#include <array>

#include "playlist/cuemove.h"

namespace remote {

/// A move of the cue: the same set the keys move it by.
using CueMove = playlist::CueMove;

/// What is on air and where the cue stands, at one moment. Entries and steps count from 1 where
/// they are numbers, as the OSC addresses count them; the lists are in running order.
struct Tally {
    struct Step {
        QString name;
        bool onAir = false;
        bool preview = false;
        bool refused = false;
        bool operator==(const Step&) const = default;
    };
    struct Entry {
        QString title;
        QList<Step> steps;
        bool operator==(const Entry&) const = default;
    };
    QList<Entry> entries;
    int cueEntry = 0; // 0 when there is no cue
    int cueStep = 0;
    QString cueTitle;
    QString cueStepName;
    bool linkUp = false;
    QString refusal;                 // the server's answer to the last refused line
    std::array<QString, 4> onAir;    // channel 1 to 4: the title of the entry on air there, or empty
    bool operator==(const Tally&) const = default;
};

/// The running order as a remote control drives it. Each call acts as the matching mouse or key
/// action does and returns false, doing nothing, when the entry, step or channel does not exist.
class Surface {
public:
    virtual ~Surface();
    /// Fires step `step` of entry `entry`, on air or on the preview channel; the cue stays.
    virtual bool fire(int entry, int step, bool preview) = 0;
    /// Moves the cue; sends nothing. False when there is no cue to move.
    virtual bool moveCue(CueMove move) = 0;
    /// Puts the cue on step `step` of entry `entry`; sends nothing.
    virtual bool gotoCue(int entry, int step) = 0;
    /// Clears the cue's layer on air or on the preview channel. False when there is no cue.
    virtual bool clearCue(bool preview) = 0;
    /// Clears channel 1 to 4, as its button does.
    virtual bool clearChannel(int channel) = 0;
    virtual Tally tally() const = 0;
};

} // namespace remote
