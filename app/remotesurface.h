#pragma once
// The window as a control surface drives it: each remote press runs the handler the matching
// mouse or key action runs, and the tally reads the running order.
#include <optional>

#include "remote/surface.h"

namespace app {

class frmMAIN;

class RemoteSurface : public remote::Surface {
public:
    explicit RemoteSurface(frmMAIN& f) : f_(f) {}
    bool fire(int entry, int step, bool preview) override;
    bool moveCue(remote::CueMove move) override;
    bool gotoCue(int entry, int step) override;
    bool clearCue(bool preview) override;
    bool clearChannel(int channel) override;
    /// Read once after each change: the tally and Companion both ask for it.
    remote::Tally tally() const override;
    /// Something the tally shows changed: the next tally is read anew.
    void forget() { read_.reset(); }

private:
    remote::Tally read() const;
    // Entry and step as the addresses count them, from 1: a step with a name.
    bool isStep(int entry, int step) const;
    frmMAIN& f_;
    mutable std::optional<remote::Tally> read_;
};

} // namespace app
