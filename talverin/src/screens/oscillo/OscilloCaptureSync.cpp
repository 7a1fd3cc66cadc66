// The settings synchronisation after a connection: the screen's unsent changes go to the driver,
// everything else is read from it, and a status query closes the round.
#include "screens/oscillo/OscilloCapture.h"

#include "common/AppMessages.h"

#include "connection/DriverQueue.h"
#include "screens/oscillo/CaptureScreen.h"
#include "screens/oscillo/CaptureTimers.h"

#include <model/CommandSupport.h>

#include <platform/messages.h>

namespace talverin {

namespace {

// lParam of a connection notice: read every setting from the driver (entering the screen);
// only the state came back (a refused disconnection).
constexpr plat::LPARAM kReadEverything = CommState::Entered;
constexpr plat::LPARAM kStateOnly = CommState::Restored;

} // namespace

void OscilloCapture::OnEnteredConnected()
{
    OnCommStateChanged(1, kReadEverything);
}

plat::LRESULT OscilloCapture::OnCommStateChanged(plat::WPARAM connected, plat::LPARAM how)
{
    if (connected == 0) {
        // Whatever was under way is gone with the line; the frame reopens it at its own speed.
        killCaptureTimers();
        m_inFlight = 0;
        m_rateSwitched = false;
        m_awaitingRateStart = false;
        m_awaitingRateBack = false;
        m_disconnectAfterEnd = false;
        setState(CapturePhase::NotConnected);
        m_lastResolutionCommand.clear();
        UpdateCaptureControls();
        return 1;
    }
    if (how == kStateOnly) {
        // A refused disconnection leaves a capture in progress as it was.
        if (!inCapture())
            setState(CapturePhase::Idle);
        UpdateCaptureControls();
        return 1;
    }
    killCaptureTimers();
    m_inFlight = 0;
    m_rateSwitched = false;
    m_awaitingRateStart = false;
    m_awaitingRateBack = false;
    m_synchronised = 0;
    setState(CapturePhase::Idle);
    // Entering the screen while connected synchronises it (with kReadEverything).
    if (!m_currentScreen) {
        UpdateCaptureControls();
        return 1;
    }
    synchronise(how);
    return 1;
}

void OscilloCapture::synchronise(plat::LPARAM how)
{
    using namespace CaptureTag;
    setState(CapturePhase::Syncing);
    const bool sendOwn = how != kReadEverything;
    const auto pending = [&](int tag) { return sendOwn && m_lastSet[static_cast<std::size_t>(tag)] == kSlotPending; };

    // A level changed here while the line was down (the trigger channel's set never queued).
    const int trigger = TriggerChannel();
    std::optional<CaptureCommand> ownLevel;
    if (trigger != 0 && pending(Level1 - 1 + trigger))
        ownLevel = levelCommand(trigger);

    setState(CapturePhase::SyncWaiting);
    if (pending(ResolutionSet))
        SendRecordResolution(ResolutionSet);
    else
        QueryRecordResolution(ResolutionQuery);
    if (pending(TimeSet)) {
        SendRecordTime(TimeSet);
        SendRecordResolution(ResolutionSet);
    } else {
        QueryRecordTime(TimeQuery);
    }
    for (int channel = 1; channel <= 4; ++channel) {
        if (sendOwn && m_sourceChanged[static_cast<std::size_t>(channel - 1)])
            SendChannelSource(channel, Source1 - 1 + channel);
        else
            QueryChannelSource(channel, Source1 - 1 + channel);
    }
    if (pending(TriggerSet))
        SendTriggerChannel(TriggerSet);
    else
        QueryTriggerChannel(TriggerQuery);
    if (pending(PositionSet))
        SendTriggerPosition(PositionSet);
    else
        QueryTriggerPosition(PositionQuery);
    if (pending(Edge))
        SendTriggerEdge(Edge);
    else
        QueryTriggerEdge(Edge);
    if (ownLevel)
        queue(*ownLevel, Level1 - 1 + trigger);
    else
        QueryTriggerLevel();

    m_inFlight = 1;
    setState(CapturePhase::SyncWaiting);
    if (!QueryStatus(Poll)) {
        m_inFlight = 0;
        plat::PostMessage(model::GetMainWindow(), WM_COMM_ERROR, m_lastQueueError, comm_error::kDisconnect);
    }
    UpdateCaptureControls();
}

} // namespace talverin
