// The capture's command builders, the timers and the enabling of the screen's controls.
#include "screens/oscillo/OscilloCapture.h"

#include "connection/DriverQueue.h"
#include "screens/oscillo/CaptureDataParser.h"
#include "screens/oscillo/CaptureScreen.h"
#include "screens/oscillo/CaptureTimers.h"

#include <model/DataFile.h>
#include <model/NumberText.h>

#include <algorithm>

namespace talverin {

namespace {

bool validTag(int tag)
{
    return tag >= 0 && tag < CaptureTag::Count;
}

constexpr unsigned kFetchProgressPeriod = 200; // ms

} // namespace

OscilloCapture::OscilloCapture(CaptureScreen& screen, DriverQueue& port, CaptureTimers& timers, model::CDataFile& store,
                               plat::HWND window)
    : m_screen(screen), m_port(port), m_timers(timers), m_store(store), m_window(window)
{
}

std::uint32_t OscilloCapture::Slot(int tag) const
{
    return validTag(tag) ? m_lastSet[static_cast<std::size_t>(tag)] : 0;
}

void OscilloCapture::MarkPending(int tag)
{
    if (validTag(tag))
        m_lastSet[static_cast<std::size_t>(tag)] = kSlotPending;
}

int OscilloCapture::TriggerChannel() const
{
    for (int channel = 1; channel <= 4; ++channel)
        if (m_screen.isChecked(OscilloId::Trigger1 + channel - 1))
            return channel;
    return 0;
}

double OscilloCapture::editValue(int id) const
{
    return model::ParseLeadingDouble(m_screen.controlText(id));
}

bool OscilloCapture::queue(const CaptureCommand& command, int tag, bool sourceSet)
{
    m_inFlight = 1;
    if (validTag(tag))
        m_lastSet[static_cast<std::size_t>(tag)] = kSlotPending;
    // Not connected: the change stays marked and goes out with the next connection.
    if (m_captureState == CapturePhase::NotConnected) {
        m_inFlight = 0;
        return false;
    }
    const std::int32_t id = m_port.queueCommand(m_window, command.text, tag, command.title, &m_lastQueueError);
    if (id == 0) {
        m_inFlight = 0;
        return false;
    }
    m_inFlightCommand = id;
    // A source set stays "prepared" until the driver answered it.
    if (!sourceSet && validTag(tag))
        m_lastSet[static_cast<std::size_t>(tag)] = kSlotQueued;
    return true;
}

bool OscilloCapture::SendTriggerStop(int tag, bool pause)
{
    return queue(TriggerStopCommand(pause), tag);
}

bool OscilloCapture::SendTriggerStart(int tag)
{
    m_autoFlag = m_screen.isChecked(OscilloId::Auto) ? 1 : 0;
    return queue(TriggerStartCommand(m_autoFlag != 0), tag);
}

bool OscilloCapture::SendChannelSource(int channel, int tag)
{
    if (ChannelLetter(channel) == '\0')
        return false;
    const std::string source = m_screen.controlText(OscilloId::Source1 + channel - 1);
    // A channel without source cannot be the trigger.
    if (source.empty())
        m_screen.enableControl(OscilloId::Trigger1 + channel - 1, false);
    return queue(ChannelSourceSetCommand(channel, source), tag, true);
}

bool OscilloCapture::QueryChannelSource(int channel, int tag)
{
    if (ChannelLetter(channel) == '\0')
        return false;
    return queue(ChannelSourceQueryCommand(channel), tag);
}

bool OscilloCapture::SendTriggerChannel(int tag)
{
    const int channel = TriggerChannel();
    if (channel == 0) {
        m_inFlight = 0;
        return false;
    }
    return queue(TriggerChannelSetCommand(channel), tag);
}

bool OscilloCapture::QueryTriggerChannel(int tag)
{
    return queue(TriggerChannelQueryCommand(), tag);
}

std::optional<CaptureCommand> OscilloCapture::levelCommand(int channel) const
{
    return TriggerLevelSetCommand(channel, m_screen.controlText(OscilloId::Level));
}

bool OscilloCapture::SendTriggerLevel(int tag)
{
    const int channel = TriggerChannel();
    const std::optional<CaptureCommand> command = levelCommand(channel);
    if (!command) {
        m_inFlight = 0;
        return false;
    }
    return queue(*command, tag != 0 ? tag : CaptureTag::Level1 - 1 + channel);
}

bool OscilloCapture::QueryTriggerLevel()
{
    const int channel = TriggerChannel();
    if (channel == 0)
        return false;
    return queue(TriggerLevelQueryCommand(channel), CaptureTag::LevelQuery1 - 1 + channel);
}

bool OscilloCapture::SendRecordTime(int tag)
{
    return queue(RecordTimeSetCommand(editValue(OscilloId::Time)), tag);
}

bool OscilloCapture::QueryRecordTime(int tag)
{
    return queue(RecordTimeQueryCommand(), tag);
}

bool OscilloCapture::SendRecordResolution(int tag)
{
    const CaptureCommand command = RecordResolutionSetCommand(editValue(OscilloId::Resolution));
    const bool queued = queue(command, tag);
    if (queued)
        m_lastResolutionCommand = command.text;
    return queued;
}

bool OscilloCapture::QueryRecordResolution(int tag)
{
    return queue(RecordResolutionQueryCommand(), tag);
}

bool OscilloCapture::SendTriggerEdge(int tag, std::optional<bool> down)
{
    return queue(TriggerEdgeSetCommand(down.value_or(m_screen.isChecked(OscilloId::EdgeDown))), tag);
}

bool OscilloCapture::QueryTriggerEdge(int tag)
{
    return queue(TriggerEdgeQueryCommand(), tag);
}

bool OscilloCapture::SendTriggerPosition(int tag)
{
    return queue(TriggerPositionSetCommand(editValue(OscilloId::TriggerPosition)), tag);
}

bool OscilloCapture::QueryTriggerPosition(int tag)
{
    return queue(TriggerPositionQueryCommand(), tag);
}

bool OscilloCapture::QueryStatus(int tag)
{
    return queue(StatusQueryCommand(), tag);
}

bool OscilloCapture::FetchData(int tag)
{
    if (!queue(DataFetchCommand(), tag))
        return false;
    // A long record takes a minute at a slow line speed: the status pane counts it in.
    m_fetchCommand = m_inFlightCommand;
    m_fetchPercent = 0;
    publishActivity();
    m_timers.set(CaptureTimer::FetchProgress, kFetchProgressPeriod);
    return true;
}

void OscilloCapture::onFetchProgress()
{
    if (m_fetchCommand == 0 || m_captureState != CapturePhase::Capturing)
        return;
    const unsigned size = static_cast<unsigned>(std::max(1024, (m_sampleCount + 10) * 32));
    if (const std::optional<std::string> sofar = m_port.replyText(m_fetchCommand, size)) {
        const int percent = DataReplyPercent(*sofar, m_sampleCount);
        if (percent != m_fetchPercent) {
            m_fetchPercent = percent;
            publishActivity();
        }
    }
    m_timers.set(CaptureTimer::FetchProgress, kFetchProgressPeriod);
}

void OscilloCapture::publishActivity()
{
    const CaptureActivity activity = m_captureState != CapturePhase::Capturing ? CaptureActivity::None
                                     : m_fetchCommand != 0                ? CaptureActivity::ReadingData
                                                                          : CaptureActivity::WaitingForTrigger;
    const int percent = activity == CaptureActivity::ReadingData ? m_fetchPercent : 0;
    // Told only what changed: the controls are brought up to date far more often.
    if (m_shownActivity && m_shownActivity->first == activity && m_shownActivity->second == percent)
        return;
    m_shownActivity = {activity, percent};
    m_screen.ShowCaptureActivity(activity, percent);
}

void OscilloCapture::takeCaptureSettings()
{
    const double time = editValue(OscilloId::Time);
    m_pollPeriod = std::max(TruncateSetting(time * 20), 0);
    m_sampleCount = talverin::SampleCount(editValue(OscilloId::Resolution));
    model::OscilloHorzInfo& info = m_store.m_oscillo.m_captureInfo;
    info.m_position = editValue(OscilloId::HorizontalPosition);
    info.m_length = TruncateSetting(time * 200);
    info.m_count = m_sampleCount;
}

void OscilloCapture::OnTimer(unsigned id)
{
    m_timers.kill(id);
    if (id >= CaptureTimer::Source1 && id < CaptureTimer::Source1 + 4) {
        const int channel = static_cast<int>(id - CaptureTimer::Source1) + 1;
        SendChannelSource(channel, CaptureTag::Source1 - 1 + channel);
        return;
    }
    if (id == CaptureTimer::FetchProgress) {
        onFetchProgress();
        return;
    }
    // Poll, fetch and re-arm belong to a running capture only: one that fired after a Stop or an
    // end would arm the driver again behind the stop.
    if (m_captureState != CapturePhase::Capturing)
        return;
    bool queued = true;
    if (id == CaptureTimer::Poll)
        queued = QueryStatus(CaptureTag::Poll);
    else if (id == CaptureTimer::Fetch)
        queued = FetchData(CaptureTag::Fetch);
    else if (id == CaptureTimer::Restart)
        queued = SendTriggerStart(CaptureTag::Arm);
    if (!queued)
        EndCapture();
}

void OscilloCapture::UpdateCaptureControls()
{
    using namespace OscilloId;
    const CapturePhase state = m_captureState;
    bool anySource = false;
    for (int i = 0; i < 4; ++i)
        anySource = anySource || m_screen.comboSelection(Source1 + i) > 0;
    const bool edge = m_screen.isChecked(EdgeDown) || m_screen.isChecked(EdgeUp);
    const bool mode = m_screen.isChecked(Cont) || m_screen.isChecked(Sing) || m_screen.isChecked(Auto);
    const bool ready = m_synchronised == 1 && m_port.isConnected() && state != CapturePhase::NotConnected && anySource && edge
                       && mode;
    m_screen.enableControl(Run, ready && state == CapturePhase::Idle);
    m_screen.enableControl(Stop, state == CapturePhase::Capturing);

    const bool editable = state == CapturePhase::Initial || state == CapturePhase::Idle || state == CapturePhase::NotConnected;
    for (const int id : {TimeSlider, Time, ResolutionSlider, Resolution, EdgeDown, EdgeUp, Cont, Sing, Auto, TriggerPosition})
        m_screen.enableControl(id, editable);
    m_screen.enableSlider(TimeSlider, editable);
    m_screen.enableSlider(ResolutionSlider, editable);
    m_screen.showSliderCursor(PositionSlider, 13, editable ? -9 : -2);
    m_screen.showSliderCursor(LevelSlider, 14, editable && TriggerChannel() != 0 ? -9 : -2);
    m_screen.RefreshChannels();
    m_screen.FocusScopeIfLost();
    publishActivity();
}

} // namespace talverin
