// Remote control: OSC in, the tally out over OSC, and Companion's variables.
#include <QTimer>

#include "app/frmMAIN.h"
#include "fault/trap.h"
#include "remote/companion.h"
#include "remote/osccontrol.h"
#include "remote/oscfeedback.h"

namespace app {

namespace {
constexpr const char* kModule = "frmMAIN";
constexpr int LINE_BASE = fault::linebase::frmMAIN_remote;

void Listen(remote::OscControl& control, const remote::Endpoint& where)
{
    if (!control.listen(where))
        fault::raise(fault::PermissionDenied, QStringLiteral("Permission denied: no OSC control on %1 port %2 (%3)")
                                                  .arg(where.address.toString())
                                                  .arg(where.port)
                                                  .arg(control.errorString()));
}
} // namespace

void frmMAIN::StartRemote(const Options& options)
{
    ARM_TRAP();
    if (!options.oscListen && options.oscFeedback.isEmpty() && options.companion.isEmpty())
        return;
    Remote = std::make_unique<RemoteSurface>(*this);
    // The tally answers a state request even with no target of its own.
    OscOut = std::make_unique<remote::OscFeedback>(*Remote);
    for (const remote::Endpoint& target : options.oscFeedback)
        OscOut->addTarget(target);
    if (!options.companion.isEmpty()) {
        CompanionOut = std::make_unique<remote::Companion>(*Remote, options.companion);
        connect(CompanionOut.get(), &remote::Companion::failed, sbSTATUS, &ui::StatusBar::showRemote);
    }
    if (options.oscListen) {
        OscIn = std::make_unique<remote::OscControl>(*Remote);
        connect(OscIn.get(), &remote::OscControl::acted, sbSTATUS, &ui::StatusBar::showRemote);
        connect(OscIn.get(), &remote::OscControl::ignored, sbSTATUS, &ui::StatusBar::showRemote);
        connect(OscIn.get(), &remote::OscControl::stateRequested, OscOut.get(), &remote::OscFeedback::sendState);
        if (CompanionOut)
            connect(OscIn.get(), &remote::OscControl::stateRequested, CompanionOut.get(), &remote::Companion::resendAll);
        STEP(Listen(*OscIn, *options.oscListen));
    }
    using playlist::RunningOrder;
    for (auto change : {&RunningOrder::wasReset, &RunningOrder::inserted, &RunningOrder::removed, &RunningOrder::moved})
        connect(&Playlist, change, this, &frmMAIN::RemoteChanged);
    connect(&Playlist, &RunningOrder::marksChanged, this, &frmMAIN::RemoteChanged);
    connect(&Playlist, &RunningOrder::cueChanged, this, &frmMAIN::RemoteChanged);
    connect(wsGASPAR, &server::Link::stateChanged, this, &frmMAIN::RemoteChanged);
    RemoteChanged();
}

void frmMAIN::RemoteChanged()
{
    // One action changes several cells; the tally goes out once, after it, off the road to air.
    if (!Remote)
        return;
    Remote->forget();
    if (RemotePending)
        return;
    RemotePending = true;
    QTimer::singleShot(0, this, [this] {
        RemotePending = false;
        OscOut->changed();
        if (CompanionOut)
            CompanionOut->changed();
    });
}

} // namespace app
