// The completion of every capture command: the next step by tag, retries, and the error reports.
#include "screens/oscillo/OscilloCapture.h"

#include "common/AppMessages.h"

#include "connection/DriverQueue.h"
#include "screens/oscillo/CaptureErrorText.h"
#include "screens/oscillo/CaptureScreen.h"
#include "screens/oscillo/CaptureTimers.h"

#include <model/CommandSupport.h>
#include <model/DataFile.h>

#include <platform/language.h>
#include <platform/message_box.h>
#include <platform/messages.h>

#include <zrcomm/zrcomm.h>

#include <algorithm>

namespace talverin {

namespace {

bool inRange(int tag, int first, int last)
{
    return tag >= first && tag <= last;
}

bool isSettingTag(int tag)
{
    return inRange(tag, 40, 49) || inRange(tag, 51, 55) || inRange(tag, 57, 61);
}

// Results that end the step and drop every idle record.
bool isHardFailure(std::uint32_t result)
{
    return (result >= COMM_REPLY_UNKNOWN_COMMAND && result <= COMM_REPLY_READ_INHIBIT)
           || result == COMM_REPLY_NOT_OMISSIBLE || result == 0x40000013;
}

// Results that end only the failed command.
bool isRefusal(std::uint32_t result)
{
    return result == COMM_REPLY_RANGE_OVER || result == COMM_REPLY_CONDITION_MISMATCH
           || result == COMM_REPLY_PASSWORD_REQUIRED;
}

} // namespace

bool OscilloCapture::inCapture() const
{
    return m_captureState == CapturePhase::Starting || m_captureState == CapturePhase::Capturing
           || m_captureState == CapturePhase::Stopping || m_captureState == CapturePhase::Failed;
}

void OscilloCapture::OnCommCommand(plat::WPARAM event, plat::LPARAM commandId)
{
    const Completion done = m_port.completion(event, static_cast<CommandId>(commandId));
    if (done.aborted())
        onAborted(done);
    else if (done.transportFailed())
        onTransportFailure(done);
    else if (done.completed())
        onCompleted(done);
    // Sending, written and reply-begins need nothing.
}

void OscilloCapture::onAborted(const Completion& done)
{
    const CommandId id = done.id;
    const int tag = static_cast<int>(done.tag);
    m_port.removeCommand(id);
    if (m_inFlight && id == m_inFlightCommand)
        m_inFlight = 0;
    // Stop aborts from Stopping; an abort of a step while starting or capturing comes from
    // elsewhere and leaves no next step.
    if ((m_captureState == CapturePhase::Starting || m_captureState == CapturePhase::Capturing) && IsCaptureTag(tag))
        EndCapture();
}

void OscilloCapture::onTransportFailure(const Completion& done)
{
    if (m_port.retry(done.id))
        return;
    const int tag = static_cast<int>(done.tag);
    const bool capture = inCapture() || IsCaptureTag(tag);
    m_port.removeCommand(0);
    plat::PostMessage(model::GetMainWindow(), WM_COMM_ERROR, done.event, comm_error::kDisconnect);
    // The line failed four times: nothing more is sent at the capture speed; the frame reopens
    // the port at its own.
    if (capture) {
        EndCapture(false);
        return;
    }
    setState(CapturePhase::Idle);
    UpdateCaptureControls();
}

void OscilloCapture::onCompleted(const Completion& done)
{
    m_port.resetRetries();
    const CommandId id = done.id;
    const std::uint32_t result = done.state;
    const int tag = static_cast<int>(done.tag);
    if (result == CMD_ABORTING)
        return;
    if (result == CMD_ABORTED || result == COMM_ERR_NO_COMMAND) {
        onAborted(done);
        return;
    }
    // Before the first status reply of a connection, a source query the driver does not know is
    // taken as answered: the reply parser finds its '?' and reports the source as unknown.
    const bool unknownSource = m_synchronised == 0 && inRange(tag, 40, 43) && result == COMM_REPLY_UNKNOWN_COMMAND;
    if ((isHardFailure(result) && !unknownSource) || isRefusal(result)) {
        onFailedResult(result, id, tag, isHardFailure(result));
        return;
    }

    if (m_inFlight && id == m_inFlightCommand && (tag == CaptureTag::Fetch || tag == CaptureTag::Stop))
        m_inFlight = 0;
    if (id == m_fetchCommand) {
        m_fetchCommand = 0;
        m_timers.kill(CaptureTimer::FetchProgress);
        publishActivity();
    }
    // Sized for one line of up to 32 characters a sample; read again larger when it did not fit.
    const unsigned size = static_cast<unsigned>(std::max(1024, (m_sampleCount + 10) * 32));
    const std::optional<std::string> reply = m_port.replyText(id, size);
    bool removed = false;
    const auto remove = [&] {
        if (!removed)
            m_port.removeCommand(id);
        removed = true;
    };
    // Every step that ends the capture removed this command with the other idle records.
    const auto end = [&] {
        removed = true;
        EndCapture();
    };

    if (inRange(tag, CaptureTag::StartStop, CaptureTag::StartStatus) || tag == CaptureTag::Arm) {
        if (!reply)
            end();
        else if (tag == CaptureTag::Arm)
            onArmed();
        else if (m_captureState == CapturePhase::Starting && !startStep(tag, *reply, remove))
            end();
    } else if (tag == CaptureTag::Poll) {
        onStatusReply(reply.value_or(std::string()), remove, end);
    } else if (tag == CaptureTag::Fetch) {
        if (m_captureState == CapturePhase::Capturing) {
            if (!reply) {
                end();
            } else {
                remove();
                onDataReply(*reply);
            }
        }
    } else if (tag == CaptureTag::Stop) {
        if (m_captureState != CapturePhase::NotConnected) {
            setState(CapturePhase::Stopping);
            end();
        }
    } else if (tag == CaptureTag::TriggerSet) {
        m_lastSet[CaptureTag::TriggerSet] = 0;
        m_inFlight = 0;
        remove();
        QueryTriggerLevel();
    } else if (isSettingTag(tag)) {
        onSettingReply(id, tag, reply ? &*reply : nullptr);
    }
    remove();
}

bool OscilloCapture::startStep(int tag, const std::string& reply, const std::function<void()>& remove)
{
    using namespace CaptureTag;
    switch (tag) {
    case StartStop: return SendChannelSource(1, StartSource1);
    case StartSource1:
    case StartSource1 + 1:
    case StartSource1 + 2:
        m_sourceChanged[static_cast<std::size_t>(tag - StartSource1)] = 0;
        return SendChannelSource(tag - StartSource1 + 2, tag + 1);
    case StartSource1 + 3:
        m_sourceChanged[3] = 0;
        // No checked trigger-source button: nothing to arm on.
        return SendTriggerChannel(StartTrigger);
    case StartTrigger: return SendTriggerLevel(StartLevel);
    case StartLevel: return SendRecordTime(StartTime);
    case StartTime: return SendRecordResolution(StartResolution);
    case StartResolution: return SendTriggerEdge(StartEdge);
    case StartEdge: return SendTriggerPosition(StartPosition);
    case StartPosition:
        remove();
        return QueryStatus(StartStatus);
    case StartStatus: {
        m_synchronised = 1;
        const char status = CaptureStatus(reply);
        bool armed = false;
        // A driver still recording an earlier capture is not re-armed over it.
        if (IsNotRecording(status) || IsDataReady(status)) {
            for (int channel = 1; channel <= 4; ++channel) {
                m_screen.scopeLockPaint(false);
                m_screen.scopeSetZoom(channel, static_cast<float>(editValue(OscilloId::Scale1 + channel - 1)));
            }
            remove();
            armed = SendTriggerStart(Arm);
        }
        m_inFlight = 0;
        return armed;
    }
    default: return true;
    }
}

void OscilloCapture::onArmed()
{
    // A re-arm answered after Stop or an end changes nothing.
    if (m_captureState != CapturePhase::Starting && m_captureState != CapturePhase::Capturing)
        return;
    setState(CapturePhase::Capturing);
    m_inFlight = 0;
    UpdateCaptureControls();
    m_timers.set(CaptureTimer::Poll, static_cast<unsigned>(m_pollPeriod));
}

void OscilloCapture::onStatusReply(const std::string& reply, const std::function<void()>& remove,
                                   const std::function<void()>& end)
{
    m_synchronised = 1;
    const char status = CaptureStatus(reply);
    if (m_captureState == CapturePhase::SyncWaiting) {
        m_inFlight = 0;
        if (IsDataReady(status) || IsNotRecording(status)) {
            setState(CapturePhase::Idle);
            UpdateCaptureControls();
        } else {
            // The driver is still recording a capture that began before this connection: the
            // screen follows it to its end, with the settings the synchronisation just read.
            takeCaptureSettings();
            setState(CapturePhase::Capturing);
            UpdateCaptureControls();
            m_timers.set(CaptureTimer::Poll, 100);
        }
        return;
    }
    if (m_captureState == CapturePhase::Capturing) {
        if (IsDataReady(status)) {
            remove();
            m_timers.set(CaptureTimer::Fetch, 10);
        } else if (IsNotRecording(status)) {
            m_inFlight = 0;
            end();
            return;
        } else {
            m_timers.set(CaptureTimer::Poll, 100);
        }
    }
    m_inFlight = 0;
}

void OscilloCapture::onDataReply(const std::string& reply)
{
    ParseCaptureData(reply);
    if (m_captureState != CapturePhase::Capturing)
        return;
    if (m_autoFlag != 0 || m_screen.isChecked(OscilloId::Cont)) {
        if (!m_screen.isControlEnabled(OscilloId::Run))
            m_timers.set(CaptureTimer::Restart, 10);
    } else {
        OnStop();
    }
}

void OscilloCapture::onSettingReply(std::int32_t id, int tag, const std::string* reply)
{
    using namespace OscilloId;
    if (inRange(tag, 40, 43))
        m_sourceChanged[static_cast<std::size_t>(tag - 40)] = 0;
    const std::uint32_t result = ApplySettingReply(id, tag, reply);
    m_lastSet[static_cast<std::size_t>(tag)] = 0;
    m_inFlight = 0;
    if (result != 0) {
        ReportCaptureError(result, id, tag);
        return;
    }
    if (m_captureState != CapturePhase::Idle) {
        const int trigger = TriggerChannel();
        if (trigger != 0 && (tag - 39 == trigger || tag - 43 == trigger) && tag <= 47)
            m_screen.setModified(Level, false);
        if (tag == CaptureTag::TimeSet)
            m_screen.setModified(Time, false);
        if (tag == CaptureTag::TimeQuery) {
            m_screen.RunRangeCheck(Time);
            m_screen.setModified(Time, false);
        }
        if (tag == CaptureTag::PositionSet)
            m_screen.setModified(TriggerPosition, false);
        if (tag == CaptureTag::ResolutionQuery)
            m_screen.setModified(Resolution, false);
    }
    // The last command of a synchronisation answered: idle. Never in the middle of a capture.
    if (m_port.commandCount() == 1 && !inCapture()) {
        setState(CapturePhase::Idle);
        UpdateCaptureControls();
    }
}

void OscilloCapture::onFailedResult(std::uint32_t result, std::int32_t id, int tag, bool dropIdle)
{
    const CapturePhase stateBefore = m_captureState;
    const bool capture = inCapture() || IsCaptureTag(tag);
    if (dropIdle)
        killCaptureTimers();
    ReportCaptureError(result, id, tag);
    if (capture) {
        EndCapture();
        return;
    }
    m_port.removeCommand(dropIdle || stateBefore == CapturePhase::SyncWaiting ? 0 : id);
    setState(CapturePhase::Idle);
    UpdateCaptureControls();
}

void OscilloCapture::ReportCaptureError(std::uint32_t code, std::int32_t /*commandId*/, int tag)
{
    if (tag >= 0 && tag < CaptureTag::Count)
        m_lastSet[static_cast<std::size_t>(tag)] = code;
    const CaptureErrorText text = CaptureErrorTexts(tag);
    const std::string message = text.prefix.toStdString() + model::GetCommErrorText(code, plat::GetLanguage());
    plat::MessageBox(model::GetMainWindow(), message, text.title.toStdString(), plat::MB_OK | plat::MB_ICONWARNING);

    bool disconnect = false;
    if (inRange(tag, 20, 33)) {
        setState(CapturePhase::Idle);
        disconnect = code != COMM_REPLY_RANGE_OVER && code != COMM_REPLY_CONDITION_MISMATCH;
    } else if (tag == CaptureTag::Arm) {
        setState(CapturePhase::Failed);
        disconnect = true;
    } else {
        setState(CapturePhase::Idle);
    }
    if (disconnect) {
        // The end path posts it once the line is back at its own speed.
        if (IsCaptureTag(tag))
            m_disconnectAfterEnd = true;
        else
            plat::PostMessage(model::GetMainWindow(), plat::WM_COMMAND, model::kDisconnectCommand, 0);
    }
    UpdateCaptureControls();
}

} // namespace talverin
