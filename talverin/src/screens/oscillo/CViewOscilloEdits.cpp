// The oscilloscope screen's value edits (checked when they lose the focus), the trigger source,
// slope and mode buttons, the settings summary with the View record history, and the exports.
#include "screens/oscillo/CViewOscillo.h"

#include "common/AppMessageBox.h"
#include "screens/oscillo/OscilloCapture.h"
#include "screens/oscillo/OscilloExport.h"
#include "screens/oscillo/OscilloGeometry.h"
#include "screens/oscillo/OscilloIds.h"
#include "screens/oscillo/OscilloText.h"
#include "screens/oscillo/OscilloValueChecks.h"
#include "screens/oscillo/SettingsSummary.h"

#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <model/NumberText.h>
#include <model/ZRParamData.h>

#include <platform/clock.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/qt/virtual_keys.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace talverin {

using namespace OscilloId;

namespace {

QString trv(const char* text)
{
    return QCoreApplication::translate("CViewOscillo", text);
}

QString fixed1(double value)
{
    return QString::fromStdString(model::FormatFixed(value, 1));
}

} // namespace

// ---- Focus ------------------------------------------------------------------------------------

void CViewOscillo::onEditFocusIn(int id)
{
    if (id == Time || id == Resolution || id == TriggerPosition || id == Level)
        m_savedText[id] = controlText(id);
    else if (id >= Scale1 && id <= Scale1 + 3)
        channel(id - Scale1 + 1).scaleAtFocus = NormaliseScaleText(controlText(id));
}

void CViewOscillo::onEditFocusOut(int id, Qt::FocusReason reason)
{
    // A capture disables the screen; a box already open takes no second check; the focus leaving
    // the window (another window, a menu, closing) is no move to another box.
    if (m_checking || m_refocusing || !isEnabled() || reason == Qt::ActiveWindowFocusReason
        || reason == Qt::PopupFocusReason)
        return;
    checkEdit(id);
}

void CViewOscillo::RunRangeCheck(int editId)
{
    checkEdit(editId);
}

void CViewOscillo::checkEdit(int id)
{
    if (id == Time)
        checkTime();
    else if (id == Resolution)
        checkResolution();
    else if (id == HorizontalPosition)
        checkPosition();
    else if (id == CursorA || id == CursorB)
        checkCursor(id);
    else if (id == TriggerPosition)
        checkTriggerPosition();
    else if (id == Level)
        checkLevel();
    else if (id >= ZeroPosition1 && id <= ZeroPosition1 + 3)
        checkChannelPosition(id - ZeroPosition1 + 1);
    else if (id >= Scale1 && id <= Scale1 + 3)
        applyScaleText(id - Scale1 + 1, true);
}

void CViewOscillo::rangeError(int id, const QString& text, const QString& caption)
{
    if (m_checking)
        return;
    m_checking = true;
    AppMessageBox(model::GetMainWindow(), text, caption, plat::MB_OK | plat::MB_ICONWARNING);
    // The Enter that closed the box must not check the box's edit again.
    for (int i = 0; i < 100 && (plat::qt::GetAsyncKeyState(plat::qt::VK_RETURN) & 0x8000); ++i)
        plat::Sleep(10);
    plat::qt::FlushPendingKeyInput(nullptr);
    if (QLineEdit* e = edit(id)) {
        // Back once the focus change that ran the check is over.
        QPointer<QLineEdit> target(e);
        m_refocusing = true;
        QTimer::singleShot(0, this, [this, target] {
            if (target)
                target->setFocus();
            m_refocusing = false;
        });
    }
    m_checking = false;
}

// ---- The checks -------------------------------------------------------------------------------

void CViewOscillo::checkTime()
{
    const std::string text = controlText(Time);
    const ValueCheck c = CheckTimeText(text);
    if (!c.accepted()) {
        rangeError(Time, trv("HORIZONAL/TIME setting is out of range.\nSetting range is 0.1 through 500.0"),
                   trv("Range error"));
        return;
    }
    if (text == m_savedText[Time])
        return;
    const int tenths = TruncateSetting(c.value * 10.0);
    slider(TimeSlider).SetValue(1, tenths);
    onTimeSlider(tenths);
    m_savedText[Time] = controlText(Time);
    m_capture->SendRecordTime(CaptureTag::TimeSet);
}

void CViewOscillo::checkResolution()
{
    const std::string text = controlText(Resolution);
    const ValueCheck c = CheckResolutionText(text);
    if (!c.accepted()) {
        rangeError(Resolution, trv("HORIZONAL/RES. setting is out of range.\nSetting range is 1 through 204"),
                   trv("Range error"));
        return;
    }
    if (text == m_savedText[Resolution])
        return;
    const auto r = static_cast<plat::LONG>(c.value);
    slider(ResolutionSlider).SetValue(1, r);
    onResolutionSlider(r);
    m_savedText[Resolution] = controlText(Resolution);
    m_capture->SendRecordResolution(CaptureTag::ResolutionSet);
}

void CViewOscillo::checkPosition()
{
    const ValueCheck c = CheckPositionText(controlText(HorizontalPosition), timePerDivision(), m_zoom, scopeWidth());
    if (c.error == ValueCheck::Unchecked)
        return;
    if (!c.accepted()) {
        rangeError(HorizontalPosition,
                   trv("HORIZONAL/POS setting is out of range.\nSetting range is from %1 through %2.")
                       .arg(fixed1(c.low), fixed1(c.high)),
                   trv("Range error"));
        return;
    }
    const auto pixel = static_cast<plat::LONG>(std::clamp<std::int64_t>(c.pixel, 0, INT32_MAX));
    slider(PositionScroll).SetValue(1, pixel);
    onScroll(pixel);
    setEditValue(HorizontalPosition, OneDecimal(c.value), c.value);
}

void CViewOscillo::checkCursor(int id)
{
    const ValueCheck c = CheckCursorText(controlText(id), timePerDivision());
    if (!c.accepted()) {
        rangeError(id, trv("AB cursor setting is out of range.\nSetting range is from 0.0 through %1").arg(fixed1(c.high)),
                   trv("Range Error"));
        return;
    }
    const int cursor = id == CursorA ? 9 : 10;
    (cursor == 9 ? m_timeA : m_timeB) = c.value;
    slider(TimeCursorSlider).SetValue(cursor, static_cast<plat::LONG>(TimeCursorValue(c.value)));
    setEditValue(id, model::FormatFixed(c.value, 1), c.value);
    const double difference = model::ParseLeadingDouble(controlText(CursorB)) - model::ParseLeadingDouble(controlText(CursorA));
    setEditValue(CursorAB, model::FormatFixed(difference, 1), difference);
    syncGuideLine(TimeCursorSlider, cursor);
    scope().Redraw(plat::TRUE);
}

void CViewOscillo::checkTriggerPosition()
{
    const std::string text = controlText(TriggerPosition);
    if (text == m_savedText[TriggerPosition])
        return;
    const double v = TriggerPositionFromText(text);
    m_triggerPosition = v;
    setEditValue(TriggerPosition, OneDecimal(v), v);
    m_savedText[TriggerPosition] = controlText(TriggerPosition);
    const CursorRange range = VisibleTriggerRange(slider(PositionScroll).GetValue(1), scope().GetBitmapWidth(), m_zoom)
                                  .value_or(CursorRange{0, TriggerCursorMax(m_zoom)});
    std::int64_t low = range.min;
    std::int64_t high = range.max;
    std::int64_t value = ClampToInt64(v * 10000.0);
    slider(PositionSlider).ChangeRangeI64(13, &low, &high, &value);
    syncGuideLine(PositionSlider, 13);
    m_capture->SendTriggerPosition(CaptureTag::PositionSet);
}

void CViewOscillo::checkLevel()
{
    std::string text = NormaliseLevelText(controlText(Level));
    setControlText(Level, text);
    if (text == m_savedText[Level])
        return;
    m_savedText[Level] = text;
    const int ch = m_capture->TriggerChannel();
    if (ch == 0)
        return;
    if (const auto& record = channel(ch).record) {
        text = FitLevelText(text, {record->IsBoolean() != 0, record->GetDecimals()});
        setEditValue(Level, text, model::ParseLeadingDouble(text));
        m_savedText[Level] = text;
    }
    placeLevelCursor(ch);
    if (QApplication::focusWidget() != edit(Level))
        m_capture->SendTriggerLevel(CaptureTag::Level1 + ch - 1);
}

void CViewOscillo::checkChannelPosition(int ch)
{
    const double v = ChannelPositionFromText(controlText(ZeroPosition1 + ch - 1));
    const std::int64_t value = ZeroCursorValue(v);
    slider(ZeroSlider).SetValue(ch, static_cast<plat::LONG>(value));
    onZeroCursor(ch, value);
}

// ---- Trigger, slope and mode buttons ----------------------------------------------------------

void CViewOscillo::onTriggerSource(int ch)
{
    checkOnly(Trigger1, Trigger1 + 3, Trigger1 + ch - 1);
    m_capture->SendTriggerChannel(CaptureTag::TriggerSet);
    const auto& record = channel(ch).record;
    setControlText(UnitLabel, record ? record->m_unit : std::string());
    placeLevelCursor(ch);
    m_capture->UpdateCaptureControls();
    m_commands.refresh();
}

void CViewOscillo::onSlope(int id)
{
    m_slopeChanged = isChecked(EdgeDown) || isChecked(EdgeUp);
    setChecked(EdgeDown, false);
    setChecked(EdgeUp, false);
    m_capture->MarkPending(CaptureTag::Edge);
    // The value comes from the pressed button: both are unchecked while the command is built.
    if (CaptureState() == Capture::Idle)
        m_capture->SendTriggerEdge(CaptureTag::Edge, id == EdgeDown);
    setChecked(id, true);
    m_commands.refresh();
}

void CViewOscillo::onMode(int id)
{
    checkOnly(Cont, Auto, id);
    m_commands.refresh();
}

// ---- Settings summary and View record ---------------------------------------------------------

std::string CViewOscillo::SettingsSummary()
{
    SettingsSummaryFields f;
    f.time = controlText(Time);
    f.resolution = controlText(Resolution);
    f.triggerPosition = controlText(TriggerPosition);
    f.triggerLevel = controlText(Level);
    for (int ch = 1; ch <= 4; ++ch)
        f.sources[static_cast<std::size_t>(ch - 1)] = controlText(Source1 + ch - 1);
    f.triggerChannel = m_capture->TriggerChannel();
    f.slopeDown = isChecked(EdgeDown);
    const int mode = checkedAmong(Cont, Auto);
    f.mode = mode == Cont ? CaptureMode::Cont : mode == Sing ? CaptureMode::Sing : mode == Auto ? CaptureMode::Auto
                                                                                         : CaptureMode::None;
    return FormatSettingsSummary(f);
}

void CViewOscillo::AddViewRecord(const std::string& summary)
{
    m_checkedRecord = AddToViewHistory(store().m_viewHistory, summary, model::CDataFile::kViewHistoryCount);
    m_commands.refresh();
}

QString CViewOscillo::recordText(int index) const
{
    const std::vector<std::string>& history = store().m_viewHistory;
    if (index >= 0 && static_cast<std::size_t>(index) < history.size() && !history[static_cast<std::size_t>(index)].empty())
        return QString::fromStdString(history[static_cast<std::size_t>(index)]);
    return trv("not recorded.");
}

void CViewOscillo::onRestoreRecord(unsigned id)
{
    const int index = static_cast<int>(id - OscilloCommand::ViewRecord1);
    m_checkedRecord = index;
    const ViewRecordRestore r = ParseViewRecord(recordText(index).toStdString());
    if (r.time) {
        setControlText(Time, *r.time);
        checkTime();
    }
    if (r.resolution) {
        setControlText(Resolution, *r.resolution);
        checkResolution();
    }
    for (int ch = 1; ch <= 4; ++ch) {
        setChecked(Trigger1 + ch - 1, false);
        const ViewRecordRestore::Channel& c = r.channels[static_cast<std::size_t>(ch - 1)];
        if (c.present) {
            if (c.trigger)
                setChecked(Trigger1 + ch - 1, true);
            QComboBox* box = combo(Source1 + ch - 1);
            const int found = box ? box->findText(QString::fromStdString(c.source), Qt::MatchFixedString) : -1;
            if (found < 0)
                continue;
            const QSignalBlocker quiet(box);
            box->setCurrentIndex(found);
        }
        onSourceChosen(ch);
    }
    for (int ch = 1; ch <= 4; ++ch)
        RefreshChannel(ch, false, true);
    if (r.triggerPosition) {
        const double v = model::ParseLeadingDouble(*r.triggerPosition);
        setEditValue(TriggerPosition, OneDecimal(v), v);
        m_triggerPosition = v;
        m_savedText[TriggerPosition].clear();
        checkTriggerPosition();
    }
    if (r.triggerLevel) {
        setControlText(Level, *r.triggerLevel);
        m_savedText[Level].clear();
        checkLevel();
    }
    for (int b = EdgeDown; b <= Auto; ++b)
        setChecked(b, false);
    if (r.slopeDown)
        setChecked(*r.slopeDown ? EdgeDown : EdgeUp, true);
    if (r.mode != CaptureMode::None)
        setChecked(r.mode == CaptureMode::Cont ? Cont : r.mode == CaptureMode::Sing ? Sing : Auto, true);
    m_capture->UpdateCaptureControls();
    m_commands.refresh();
}

// ---- Exports ----------------------------------------------------------------------------------

void CViewOscillo::onSaveBitmap()
{
    PanelValues v;
    v.date = PanelDateNow();
    v.cursorA = controlText(CursorA);
    v.cursorB = controlText(CursorB);
    v.cursorAB = controlText(CursorAB);
    v.readoutA = controlText(ReadoutA);
    v.readoutB = controlText(ReadoutA + 1);
    v.readoutAB = controlText(ReadoutA + 2);
    const int selected = checkedAmong(Select1, Select1 + 3);
    v.activeChannel = selected ? selected - Select1 + 1 : 0;
    v.triggerPosition = controlText(TriggerPosition);
    v.triggerLevel = controlText(Level);
    v.unit = controlText(UnitLabel);
    // The sources of the capture on display, kept when it was started.
    v.sources = m_capture->SourcesAtRun();
    v.triggerChannel = m_capture->TriggerChannel();
    if (isChecked(EdgeDown))
        v.slopeDown = true;
    else if (isChecked(EdgeUp))
        v.slopeDown = false;
    const int mode = checkedAmong(Cont, Auto);
    v.mode = mode == Cont ? CaptureMode::Cont : mode == Sing ? CaptureMode::Sing : mode == Auto ? CaptureMode::Auto
                                                                                         : CaptureMode::None;
    for (int ch = 1; ch <= 4; ++ch) {
        v.positions[static_cast<std::size_t>(ch - 1)] = controlText(ZeroPosition1 + ch - 1);
        v.scales[static_cast<std::size_t>(ch - 1)] = controlText(Scale1 + ch - 1);
    }
    v.time = controlText(Time);
    v.resolution = controlText(Resolution);
    RunSaveBitmap(model::GetMainWindow(), v, [this](const std::string& path, std::intptr_t panel) {
        return static_cast<long>(scope().SaveBitmapFile(path.c_str(), 641, 641, panel));
    });
}

void CViewOscillo::onSaveCsv()
{
    RunSaveCsv(model::GetMainWindow(), store().m_lastCaptureReply);
}

} // namespace talverin
