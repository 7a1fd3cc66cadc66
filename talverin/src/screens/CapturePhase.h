// The oscilloscope's capture state, as the frame and the connection read it through
// CViewBase::CaptureState (other screens answer Initial).
#pragma once

namespace talverin {

enum class CapturePhase : int {
    Initial = 0,     // no connection notice since the screen was made
    Idle = 1,        // connected and synchronised, no capture
    Syncing = 2,     // the settings commands of a new connection are being queued
    SyncWaiting = 3, // waiting for the closing status reply of a synchronisation
    Starting = 4,    // line-speed switch and start sequence under way
    Capturing = 5,   // trigger armed, status polled
    Stopping = 6,    // trigger stop sent, line speed being switched back
    NotConnected = 9,
    Failed = 10, // only while a failed arming is handled
};

// Starting, armed or stopping: the line may not be closed under it.
constexpr bool IsCaptureRunning(CapturePhase state)
{
    return state == CapturePhase::Starting || state == CapturePhase::Capturing || state == CapturePhase::Stopping;
}

// Nothing under way on the screen's side (never synchronised, idle, or not connected): its settings
// may be edited and the frame's file commands run.
constexpr bool IsCaptureQuiet(CapturePhase state)
{
    return state == CapturePhase::Initial || state == CapturePhase::Idle || state == CapturePhase::NotConnected;
}

} // namespace talverin
