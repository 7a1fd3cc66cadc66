// Starting and stopping a capture, the line-speed switch around it, and its one way out.
#include "screens/oscillo/OscilloCapture.h"

#include "common/AppMessages.h"

#include "connection/DriverQueue.h"
#include "screens/oscillo/CaptureScreen.h"
#include "screens/oscillo/CaptureTimers.h"

#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <model/SharedData.h>

#include <platform/messages.h>

namespace talverin {

namespace {

constexpr plat::WPARAM kBaudDone = 19;
constexpr plat::WPARAM kBaudFailed = 20;

// Asks the main window to switch the line to the capture speed (1) or back (0). The frame sets
// *changed when it started a switch, whose end comes as WM_BAUD_CHANGE_STATE.
plat::LRESULT requestLineSpeed(plat::WPARAM toCapture, int* changed)
{
    return plat::SendMessage(model::GetMainWindow(), WM_CHANGE_BAUD_RATE, toCapture, reinterpret_cast<plat::LPARAM>(changed));
}

} // namespace

bool OscilloCapture::IsCaptureTag(int tag) const
{
    return (tag >= CaptureTag::StartStop && tag <= 33) || tag == CaptureTag::Stop || tag == CaptureTag::Fetch
           || tag == CaptureTag::Arm || tag == CaptureTag::Poll;
}

void OscilloCapture::killCaptureTimers()
{
    m_timers.kill(CaptureTimer::Poll);
    m_timers.kill(CaptureTimer::Fetch);
    m_timers.kill(CaptureTimer::Restart);
    m_timers.kill(CaptureTimer::FetchProgress);
    m_fetchCommand = 0;
}

void OscilloCapture::OnRun()
{
    using namespace OscilloId;
    if (m_captureState != CapturePhase::Idle)
        return;
    // Closes any line half typed in the terminal, so the driver reads the commands cleanly.
    m_port.sendText(nullptr, "\r");
    takeCaptureSettings();
    // Cursor 2 marks the setting of the capture in progress.
    for (const int slider : {TimeSlider, ResolutionSlider}) {
        m_screen.setSliderValue(slider, 2, m_screen.sliderValue(slider, 1));
        m_screen.showSliderCursor(slider, 2, 5);
    }
    const std::string summary = m_screen.SettingsSummary();
    for (int i = 0; i < 4; ++i)
        m_sourcesAtRun[static_cast<std::size_t>(i)] = m_screen.controlText(Source1 + i);
    m_screen.AddViewRecord(summary);
    setState(CapturePhase::Starting);
    UpdateCaptureControls();

    m_rateSwitched = false;
    m_awaitingRateStart = false;
    int changed = 0;
    const plat::LRESULT refused = requestLineSpeed(1, &changed);
    // The frame pumps the queue's notices while it waits to switch: a lost line may have ended
    // everything meanwhile.
    if (m_captureState != CapturePhase::Starting)
        return;
    if (refused != 0) {
        setState(CapturePhase::Idle);
        UpdateCaptureControls();
        return;
    }
    m_rateSwitched = changed != 0;
    m_awaitingRateStart = m_rateSwitched;

    m_runningSummary = summary;
    {
        model::SharedLock lock(m_store.GetOscilloMutex());
        m_store.m_oscillo.ClearSamples();
    }
    m_screen.scopeUpdateData(m_sampleCount, m_store.m_oscillo.m_captureInfo.m_length, m_sampleCount);
    if (!m_rateSwitched)
        beginStartSequence();
}

void OscilloCapture::beginStartSequence()
{
    m_awaitingRateStart = false;
    if (!SendTriggerStop(CaptureTag::StartStop, false))
        EndCapture();
}

void OscilloCapture::OnStop()
{
    if (m_captureState != CapturePhase::Capturing)
        return;
    killCaptureTimers();
    setState(CapturePhase::Stopping);
    if (m_inFlight) {
        m_port.abortCommand(m_inFlightCommand);
        m_inFlight = 0;
    }
    // The terminal may have left a line half typed.
    if (!m_store.m_lineClean)
        m_port.sendText(nullptr, "\r");
    if (!SendTriggerStop(CaptureTag::Stop, true)) {
        EndCapture();
        return;
    }
    UpdateCaptureControls();
}

plat::LRESULT OscilloCapture::OnBaudChangeState(plat::WPARAM code, plat::LPARAM value)
{
    if (code == kBaudDone) {
        if (m_awaitingRateBack) {
            m_rateSwitched = false;
            FinishCapture();
        } else if (m_captureState == CapturePhase::Starting && m_awaitingRateStart) {
            beginStartSequence();
        } else {
            UpdateCaptureControls();
        }
    } else if (code == kBaudFailed) {
        plat::PostMessage(model::GetMainWindow(), WM_COMM_ERROR, kBaudFailed, value);
        // The library put the old speed back: nothing to switch back from a failed start.
        if (m_awaitingRateStart)
            m_rateSwitched = false;
        m_awaitingRateStart = false;
        if (m_awaitingRateBack) {
            m_rateSwitched = false;
            FinishCapture();
        } else if (m_captureState >= CapturePhase::Starting && m_captureState <= CapturePhase::Failed
                   && m_captureState != CapturePhase::NotConnected) {
            EndCapture();
        } else {
            UpdateCaptureControls();
        }
    }
    return 1;
}

void OscilloCapture::EndCapture(bool lineAnswers)
{
    // The switch back pumps the queue's notices; an end reached again from one of them is this one.
    if (m_inRateSend)
        return;
    killCaptureTimers();
    m_inFlight = 0;
    m_awaitingRateStart = false;
    // The finished command and every idle record go first: the library refuses a speed change
    // while any record is queued.
    m_port.removeCommand(0);
    if (m_rateSwitched && lineAnswers && m_captureState != CapturePhase::NotConnected && m_port.isConnected()) {
        setState(CapturePhase::Stopping);
        int changed = 0;
        m_inRateSend = true;
        const plat::LRESULT refused = requestLineSpeed(0, &changed);
        m_inRateSend = false;
        if (m_captureState == CapturePhase::NotConnected)
            return;
        if (refused == 0 && changed != 0) {
            m_awaitingRateBack = true;
            return;
        }
    }
    m_rateSwitched = false;
    FinishCapture();
}

void OscilloCapture::FinishCapture()
{
    m_awaitingRateBack = false;
    m_inFlight = 0;
    setState(CapturePhase::Idle);
    UpdateCaptureControls();
    for (const int slider : {OscilloId::TimeSlider, OscilloId::ResolutionSlider})
        m_screen.showSliderCursor(slider, 2, 5);
    // A disconnect asked for by a failed start goes out once the line is back at its own speed.
    if (m_disconnectAfterEnd) {
        m_disconnectAfterEnd = false;
        plat::PostMessage(model::GetMainWindow(), plat::WM_COMMAND, model::kDisconnectCommand, 0);
    }
}

} // namespace talverin
