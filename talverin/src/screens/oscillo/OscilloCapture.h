// The capture half of the oscilloscope screen: the driver records up to four signals itself; this
// sets its recording parameters, arms its trigger, polls its status until data is ready, fetches
// the data as text and parses it into the data store's sample rows, and keeps the screen's
// settings and the driver's in step after a connection. Every step is a tagged command in the
// driver queue; each completion (WM_COMM_COMMAND) picks the next step by its tag.
//
// The screen owns one and forwards to it: button 1263 (OnRun), 1264 (OnStop), WM_TIMER 1001-1008
// (OnTimer), WM_COMM_COMMAND (OnCommCommand), WM_BAUD_CHANGE_STATE (OnBaudChangeState),
// WM_COMM_STATE_CHANGED (OnCommStateChanged) and WM_VIEW_SWITCH (SetCurrentScreen, and
// OnEnteredConnected). The main window (model::GetMainWindow)
// is sent WM_CHANGE_BAUD_RATE around a capture and posted WM_COMM_ERROR and Disconnect.
//
// Everything runs on the user-interface thread. The frame's line-speed change pumps the queue's
// notifications while Run or a capture's end is inside its send, so the handlers may nest: each
// reads the state again after a send, and no reply buffer is shared.
#pragma once

#include "screens/CapturePhase.h"
#include "screens/oscillo/CaptureCommands.h"
#include "screens/oscillo/CaptureScreen.h"

#include <platform/types.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace model {
class CDataFile;
}

namespace talverin {

class DriverQueue;
struct Completion;
class CaptureScreen;
class CaptureTimers;

// A tag's last-set slot: prepared but not queued (for the source sets: not yet answered), queued;
// 0 = answered without error; anything else the result it failed with.
inline constexpr std::uint32_t kSlotPending = 0x20000000;
inline constexpr std::uint32_t kSlotQueued = 0x20000001;

class OscilloCapture {
public:
    // `window` is the screen's handle: the queue's completions and the timers go to it.
    OscilloCapture(CaptureScreen& screen, DriverQueue& port, CaptureTimers& timers, model::CDataFile& store,
                   plat::HWND window);

    // ---- Entry points ----
    void OnRun();
    void OnStop();
    void OnTimer(unsigned id);
    void OnCommCommand(plat::WPARAM event, plat::LPARAM commandId);
    plat::LRESULT OnBaudChangeState(plat::WPARAM code, plat::LPARAM value);
    plat::LRESULT OnCommStateChanged(plat::WPARAM connected, plat::LPARAM how);
    // The screen was entered while connected: every setting is read from the driver again.
    void OnEnteredConnected();
    void UpdateCaptureControls();
    // The screen became current (true) or was left.
    void SetCurrentScreen(bool current) { m_currentScreen = current; }

    // ---- Replies ----
    // Rebuilds the data store's rows from a data reply and hands them to the scope.
    void ParseCaptureData(const std::string& reply);
    // Applies a settings reply (null: it could not be read) to the screen: 0 or the CommResult to
    // report.
    std::uint32_t ApplySettingReply(std::int32_t commandId, int tag, const std::string* reply);
    // Shows the error box for a failed command and sets the state the tag calls for.
    void ReportCaptureError(std::uint32_t code, std::int32_t commandId, int tag);

    // ---- Settings commands (the screen queues them when the user changes a value) ----
    // Each marks the tag's slot prepared, queues the command unless not connected, and says
    // whether it was queued.
    bool SendTriggerStop(int tag, bool pause);
    bool SendTriggerStart(int tag);
    bool SendChannelSource(int channel, int tag);
    bool QueryChannelSource(int channel, int tag);
    bool SendTriggerChannel(int tag);
    bool QueryTriggerChannel(int tag);
    // The level of edit 1035 for the checked trigger channel; `tag` 0 means 43 + that channel.
    bool SendTriggerLevel(int tag = 0);
    bool QueryTriggerLevel();
    bool SendRecordTime(int tag);
    bool QueryRecordTime(int tag);
    bool SendRecordResolution(int tag);
    bool QueryRecordResolution(int tag);
    // DOWN (1209) or UP from the buttons, unless the pressed button says which.
    bool SendTriggerEdge(int tag, std::optional<bool> down = std::nullopt);
    bool QueryTriggerEdge(int tag);
    bool SendTriggerPosition(int tag);
    bool QueryTriggerPosition(int tag);
    bool QueryStatus(int tag);
    bool FetchData(int tag);
    // A change made here that has not been queued yet (sent at the next connection).
    void MarkPending(int tag);
    // The source combo box of the channel changed (sent at the next start or connection).
    void MarkSourceChanged(int channel) { if (channel >= 1 && channel <= 4) m_sourceChanged[channel - 1] = 1; }

    // ---- State ----
    CapturePhase CaptureState() const { return m_captureState; }
    int Synchronised() const { return m_synchronised; }
    std::uint32_t Slot(int tag) const;
    int SampleCount() const { return m_sampleCount; }
    int PollPeriod() const { return m_pollPeriod; }
    int AutoFlag() const { return m_autoFlag; }
    bool InFlight() const { return m_inFlight != 0; }
    const std::string& RunningSummary() const { return m_runningSummary; }
    // The sources of the four channels when the capture on display was started (the exports).
    const std::array<std::string, 4>& SourcesAtRun() const { return m_sourcesAtRun; }
    // The screen's set-up and a read-all forget them.
    void ClearSourcesAtRun() { m_sourcesAtRun = {}; }
    const std::string& LastResolutionCommand() const { return m_lastResolutionCommand; }
    // The checked trigger-source button's channel (1-4), 0 when none is checked.
    int TriggerChannel() const;

private:
    // Queues a built command; the slot and in-flight bookkeeping of every builder.
    bool queue(const CaptureCommand& command, int tag, bool sourceSet = false);
    std::optional<CaptureCommand> levelCommand(int channel) const;
    double editValue(int id) const;
    void setState(CapturePhase state) { m_captureState = state; }

    bool inCapture() const; // starting, capturing, stopping or failed

    // Completion handling by outcome; `remove` removes the finished command (once), `end` ends
    // the capture (which removes it with the other idle records).
    void onCompleted(const Completion& done);
    void onAborted(const Completion& done);
    void onTransportFailure(const Completion& done);
    void onFailedResult(std::uint32_t result, std::int32_t id, int tag, bool dropIdle);
    // The start sequence's next step after the answered tag; false at a dead end.
    bool startStep(int answeredTag, const std::string& reply, const std::function<void()>& remove);
    void beginStartSequence();
    void onArmed();
    void onStatusReply(const std::string& reply, const std::function<void()>& remove, const std::function<void()>& end);
    void onDataReply(const std::string& reply);
    void onSettingReply(std::int32_t id, int tag, const std::string* reply);
    void synchronise(plat::LPARAM how);
    // Adopts the current TIME and RES as the capture's (Run's and a followed capture's).
    void takeCaptureSettings();

    // One way out of a capture, whatever ended it: timers stopped, the queue cleared of idle
    // records, the line speed switched back when the start switched it and the line answers;
    // then FinishCapture (now, or when the switch back is reported).
    void EndCapture(bool lineAnswers = true);
    void FinishCapture();
    bool IsCaptureTag(int tag) const;
    void killCaptureTimers();
    // The status pane follows the capture: waiting for the trigger, or reading the data.
    void publishActivity();
    void onFetchProgress();

    CaptureScreen& m_screen;
    DriverQueue& m_port;
    CaptureTimers& m_timers;
    model::CDataFile& m_store;
    plat::HWND m_window;

    CapturePhase m_captureState = CapturePhase::Initial;
    int m_synchronised = 0;
    int m_inFlight = 0;
    std::int32_t m_inFlightCommand = 0;
    int m_pollPeriod = 0;
    int m_sampleCount = 0;
    int m_autoFlag = 0;
    std::array<std::uint32_t, CaptureTag::Count> m_lastSet{};
    std::array<int, 4> m_sourceChanged{};
    std::string m_lastResolutionCommand;
    std::string m_runningSummary;
    std::array<std::string, 4> m_sourcesAtRun;
    bool m_currentScreen = false;
    std::int32_t m_fetchCommand = 0; // the data fetch under way, 0 for none
    int m_fetchPercent = 0;
    std::optional<std::pair<CaptureActivity, int>> m_shownActivity; // what the screen was last told

    // The end path: the start switched the line to the capture speed; a switch (to or back) was
    // started and its report is awaited; a disconnect is to be posted once the speed is back.
    bool m_rateSwitched = false;
    bool m_awaitingRateStart = false;
    bool m_awaitingRateBack = false;
    bool m_disconnectAfterEnd = false;
    bool m_inRateSend = false;        // inside the switch back's send
    std::uint32_t m_lastQueueError = 0; // why the last command could not be queued
};

} // namespace talverin
