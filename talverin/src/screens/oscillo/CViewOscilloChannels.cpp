// The oscilloscope screen's channels: the parameter record behind each source, the source lists
// (chosen, reported by the driver, dropped), the zero lines and scales, the trigger position and
// level cursors, and the vertical read-outs of the selected channel.
#include "screens/oscillo/CViewOscillo.h"

#include "screens/oscillo/OscilloCapture.h"
#include "screens/oscillo/OscilloGeometry.h"
#include "screens/oscillo/OscilloIds.h"
#include "screens/oscillo/OscilloText.h"
#include "screens/oscillo/SettingsSummary.h"

#include <model/DataFile.h>
#include <model/NumberChecks.h>
#include <model/NumberText.h>
#include <model/SharedData.h>
#include <model/ZRParamData.h>

#include <platform/text.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

namespace talverin {

using namespace OscilloId;

namespace {

bool isZeroValue(const std::string& value)
{
    return model::ParseLeadingDouble(value) == 0.0;
}

} // namespace

// ---- Records ----------------------------------------------------------------------------------

void CViewOscillo::replaceRecord(int ch, const std::string& name)
{
    Channel& c = channel(ch);
    model::SharedLock lock(store().GetDataMutex());
    model::CZRParamData* found = name.empty() ? nullptr : store().FindParameter(name);
    if (!found) {
        c.record.reset();
        c.scale = {};
        return;
    }
    // A copy through the definition line: the store's record may go with the next document.
    auto copy = std::make_unique<model::CZRParamData>();
    copy->ParseDefinitionLine(found->FormatDefinitionLine());
    c.record = std::move(copy);
    c.scale = ChannelScaleFor(*c.record); // the factor and range go with the record
}

std::vector<std::string> CViewOscillo::sourceItems(int ch) const
{
    std::vector<std::string> items;
    if (const QComboBox* c = combo(Source1 + ch - 1))
        for (int i = 0; i < c->count(); ++i)
            items.push_back(c->itemText(i).toStdString());
    return items;
}

std::string CViewOscillo::sourceOfCaptureOnDisplay(int ch) const
{
    const ViewRecordRestore shown = ParseViewRecord(m_capture->RunningSummary());
    const auto& c = shown.channels[static_cast<std::size_t>(ch - 1)];
    return c.present ? c.source : std::string();
}

// ---- Zero lines and scales --------------------------------------------------------------------

void CViewOscillo::onZeroCursor(int ch, std::int64_t value)
{
    setModified(TriggerPosition, true);
    const double percent = static_cast<double>(10000 - value) * 0.01;
    setEditValue(ZeroPosition1 + ch - 1, model::FormatFixed(percent, 2), percent);
    scope().MoveChannelPos(static_cast<short>(ch), 0, static_cast<plat::LONG>(10000 - value));
    syncGuideLine(ZeroSlider, ch);
    refreshReadouts();
    if (ch == m_capture->TriggerChannel())
        placeLevelCursor(ch);
}

void CViewOscillo::onScaleSlider(int ch, std::int64_t value)
{
    std::int64_t exact = value;
    slider(ScaleSlider1 + ch - 1).GetValueI64(1, &exact);
    const double factor = static_cast<double>(std::max<std::int64_t>(channel(ch).scale.factor, 1));
    setControlText(Scale1 + ch - 1, model::FormatFixed(static_cast<double>(exact) / factor, 2));
    applyScaleText(ch, false);
}

void CViewOscillo::applyScaleText(int ch, bool unchangedCounts)
{
    const int id = Scale1 + ch - 1;
    Channel& c = channel(ch);
    std::string text = NormaliseScaleText(controlText(id));
    if (unchangedCounts && text == c.scaleAtFocus)
        return;
    if (text.empty()) {
        setControlText(id, c.scaleAtFocus);
        return;
    }
    if (!model::IsNumberText(text))
        text = "0";
    // Without a parameter the scale is still kept within the widest range the scope is given.
    ChannelScale unbounded;
    unbounded.min = -kUnboundedScale;
    unbounded.max = kUnboundedScale;
    unbounded.decimals = 2;
    const ScaleValue fitted = FitScaleValue(model::ParseLeadingDouble(text), c.record ? c.scale : unbounded);
    text = fitted.text;
    const double value = fitted.value;
    setEditValue(id, text, value);
    c.scaleAtFocus = text;
    scope().SetZoom(ch, static_cast<float>(value));
    if (!c.record)
        return;
    std::int64_t low = c.scale.min;
    std::int64_t high = c.scale.max;
    std::int64_t scaled = ClampToInt64(value * static_cast<double>(c.scale.factor));
    slider(ScaleSlider1 + ch - 1).ChangeRangeI64(1, &low, &high, &scaled);
    const int state = CaptureState();
    if (ch == m_capture->TriggerChannel()
        && (state == Capture::Initial || state == Capture::Idle || state == Capture::Capturing
            || state == Capture::NotConnected))
        placeLevelCursor(ch);
    if (checkedAmong(Select1, Select1 + 3) == Select1 + ch - 1)
        refreshReadouts();
}

void CViewOscillo::ReapplyChannelScale(int ch)
{
    if (ch >= 1 && ch <= 4)
        applyScaleText(ch, false);
}

void CViewOscillo::ReapplyZeroPosition(int ch)
{
    if (ch >= 1 && ch <= 4)
        onZeroCursor(ch, slider(ZeroSlider).GetValue(ch));
}

// ---- Sources ----------------------------------------------------------------------------------

void CViewOscillo::onSourceChosen(int ch)
{
    const std::string source = controlText(Source1 + ch - 1);
    Channel& c = channel(ch);
    if (!c.record || c.record->m_name != source)
        replaceRecord(ch, source);
    m_capture->MarkSourceChanged(ch);
    EnableChannel(ch);
    if (m_port.isConnected() && m_arrowHeld && m_arrowHeld())
        m_timers->set(CaptureTimer::Source1 + static_cast<unsigned>(ch) - 1, 100);
    else
        m_capture->SendChannelSource(ch, CaptureTag::Source1 + ch - 1);
}

bool CViewOscillo::ApplyChannelSource(int ch, const std::string& source)
{
    if (ch < 1 || ch > 4)
        return false;
    QComboBox* c = combo(Source1 + ch - 1);
    if (!c)
        return false;
    const int before = c->currentIndex();
    const SourceMatch match = MatchSourceReply(sourceItems(ch), source);
    {
        const QSignalBlocker quiet(c);
        if (match.kind == SourceMatch::None) {
            c->setCurrentIndex(0);
        } else if (match.kind == SourceMatch::Select) {
            c->setCurrentIndex(match.index);
        } else {
            c->addItem(QString::fromStdString(match.text));
            c->setCurrentIndex(c->count() - 1);
        }
    }
    if (match.kind == SourceMatch::None) {
        channel(ch).record.reset();
        disableChannel(ch);
    } else {
        EnableChannel(ch);
        replaceRecord(ch, controlText(Source1 + ch - 1));
    }
    return c->currentIndex() != before;
}

void CViewOscillo::ShowChannelWithoutSource(int ch)
{
    if (ch < 1 || ch > 4)
        return;
    if (QComboBox* c = combo(Source1 + ch - 1)) {
        const QSignalBlocker quiet(c);
        c->setCurrentIndex(0);
    }
    channel(ch).record.reset();
    disableChannel(ch);
}

void CViewOscillo::ApplySourceLevelReply(int ch, const std::string& value)
{
    if (ch < 1 || ch > 4)
        return;
    const bool triggerChecked = isChecked(Trigger1 + ch - 1);
    if (value.empty()) {
        CZRSLIDER scale = slider(ScaleSlider1 + ch - 1);
        scale.Enabled(plat::FALSE);
        scale.SetValue(1, 0);
        enableControl(Scale1 + ch - 1, false);
        enableControl(Trigger1 + ch - 1, false);
        if (triggerChecked)
            enableControl(Level, false);
        return;
    }
    slider(ScaleSlider1 + ch - 1).Enabled(plat::TRUE);
    enableControl(Scale1 + ch - 1, true);
    enableControl(Trigger1 + ch - 1, true);
    if (triggerChecked)
        enableControl(Level, true);
    std::string text = value;
    const bool zero = isZeroValue(value);
    if (zero) {
        replaceRecord(ch, controlText(Source1 + ch - 1));
        if (const auto& record = channel(ch).record) {
            EnableChannel(ch);
            text = DefaultScaleFromStep(*record);
            setControlText(Scale1 + ch - 1, text);
        }
    }
    if (ch == m_capture->TriggerChannel() && m_port.findCommand(std::string("?WL") + ChannelLetter(ch)) == 0)
        setControlText(Level, text);
    RefreshChannel(ch, true, !zero);
}

// ---- Channel controls -------------------------------------------------------------------------

void CViewOscillo::disableChannel(int ch)
{
    for (int id : {Select1 + ch - 1, ZeroPosition1 + ch - 1, Scale1 + ch - 1, Show1 + ch - 1})
        enableControl(id, false);
    if (QPushButton* b = button(Show1 + ch - 1))
        b->setChecked(false);
    if (QPushButton* b = button(Select1 + ch - 1))
        b->setChecked(false);
    slider(ScaleSlider1 + ch - 1).Enabled(plat::FALSE);
    scope().ShowChannel(static_cast<short>(ch), plat::FALSE);
    const bool hasSource = comboSelection(Source1 + ch - 1) > 0;
    enableControl(Trigger1 + ch - 1, hasSource && isControlEnabled(Source1 + ch - 1));
}

void CViewOscillo::EnableChannel(int ch)
{
    if (ch < 1 || ch > 4)
        return;
    const bool editable = isEditable();
    enableControl(Source1 + ch - 1, editable);
    const bool hasSource = comboSelection(Source1 + ch - 1) > 0;
    QPushButton* show = button(Show1 + ch - 1);
    // A channel that just got its source is shown; a channel the user hid stays hidden.
    if (hasSource && show && !show->isEnabled())
        show->setChecked(true);
    for (int id : {Select1 + ch - 1, ZeroPosition1 + ch - 1, Scale1 + ch - 1, Show1 + ch - 1})
        enableControl(id, hasSource);
    slider(ScaleSlider1 + ch - 1).Enabled(hasSource ? plat::TRUE : plat::FALSE);
    const std::string source = controlText(Source1 + ch - 1);
    const bool onDisplay = hasSource && source.substr(0, source.find('(')) == sourceOfCaptureOnDisplay(ch);
    scope().ShowChannel(static_cast<short>(ch), onDisplay && show && show->isChecked() ? plat::TRUE : plat::FALSE);
    const bool trigger = hasSource && editable;
    enableControl(Trigger1 + ch - 1, trigger);
    if (isChecked(Trigger1 + ch - 1))
        enableControl(Level, trigger);
}

void CViewOscillo::RefreshChannels()
{
    for (int ch = 1; ch <= 4; ++ch)
        EnableChannel(ch);
}

void CViewOscillo::RefreshChannel(int ch, bool, bool keepScale)
{
    if (ch < 1 || ch > 4)
        return;
    Channel& c = channel(ch);
    const bool trigger = ch == m_capture->TriggerChannel();
    const std::string source = controlText(Source1 + ch - 1);
    if (source.empty()) {
        if (QPushButton* b = button(Trigger1 + ch - 1))
            b->setText(QStringLiteral("CH%1").arg(ch));
        setControlText(Scale1 + ch - 1, "");
        disableChannel(ch);
        if (trigger)
            setControlText(UnitLabel, "");
        c.scale = {};
        return;
    }
    replaceRecord(ch, source);
    if (!c.record) {
        disableChannel(ch);
        c.scale = {};
        return;
    }
    EnableChannel(ch);
    c.scale = ChannelScaleFor(*c.record);
    if (!keepScale)
        setControlText(Scale1 + ch - 1, c.scale.defaultText);
    const double shown = model::ParseLeadingDouble(controlText(Scale1 + ch - 1));
    std::int64_t low = c.scale.min;
    std::int64_t high = c.scale.max;
    std::int64_t value = ClampToInt64(shown * static_cast<double>(c.scale.factor));
    slider(ScaleSlider1 + ch - 1).ChangeRangeI64(1, &low, &high, &value);
    setEditValue(Scale1 + ch - 1, controlText(Scale1 + ch - 1), shown);
    scope().SetZoom(ch, static_cast<float>(shown));
    if (trigger)
        placeLevelCursor(ch);
    if (QPushButton* b = button(Trigger1 + ch - 1))
        b->setText(QString::fromStdString(c.record->m_name));
    if (trigger)
        setControlText(UnitLabel, c.record->m_unit);
    enableControl(Select1 + ch - 1, true);
}

void CViewOscillo::onShowChannel(int ch, bool fromMenu)
{
    QPushButton* b = button(Show1 + ch - 1);
    if (!b)
        return;
    if (fromMenu)
        b->setChecked(!b->isChecked());
    scope().ShowChannel(static_cast<short>(ch), b->isChecked() ? plat::TRUE : plat::FALSE);
    m_commands.refresh();
}

// ---- Trigger cursors --------------------------------------------------------------------------

void CViewOscillo::onTriggerCursor(std::int64_t)
{
    CZRSLIDER trigger = slider(PositionSlider);
    std::int64_t low = 0, high = 0, value = 0;
    trigger.GetRangeValueI64(13, &low, &high);
    trigger.GetValueI64(13, &value);
    const std::optional<double> percent = TriggerPercentFromCursor(
        trigger.GetGraphPos(13), m_scrollValue, trigger.GetCursorSize(), scopeWidth(), m_zoom, low < value);
    if (!percent)
        return;
    m_triggerPosition = *percent;
    setEditValue(TriggerPosition, OneDecimal(*percent), *percent);
    syncGuideLine(PositionSlider, 13);
}

void CViewOscillo::onLevelCursor(std::int64_t)
{
    const int ch = m_capture->TriggerChannel();
    if (ch == 0)
        return;
    const Channel& c = channel(ch);
    std::int64_t value = 0;
    slider(LevelSlider).GetValueI64(14, &value);
    const double level = static_cast<double>(value) / static_cast<double>(std::max<std::int64_t>(c.scale.factor, 1));
    const int decimals = c.record ? c.record->GetDecimals() : 0;
    setEditValue(Level, decimals > 0 ? model::FormatFixed(level, decimals) : model::FormatTruncated(level), level);
    syncGuideLine(LevelSlider, 14);
}

void CViewOscillo::onLevelCursorEnded()
{
    const int ch = m_capture->TriggerChannel();
    if (ch == 0)
        return;
    setControlText(Level, plat::Trim(controlText(Level)));
    if (!m_capture->SendTriggerLevel(CaptureTag::Level1 + ch - 1) && channel(ch).record)
        placeLevelCursor(ch);
}

void CViewOscillo::placeLevelCursor(int ch)
{
    if (ch < 1 || ch > 4)
        return;
    const Channel& c = channel(ch);
    CZRSLIDER level = slider(LevelSlider);
    const ControlSite* site = level.site();
    LevelCursorInput in;
    in.zeroPercent = model::ParseLeadingDouble(controlText(ZeroPosition1 + ch - 1));
    in.scale = model::ParseLeadingDouble(controlText(Scale1 + ch - 1));
    in.factor = std::max<std::int64_t>(c.scale.factor, 1);
    in.boolean = c.record && c.record->IsBoolean();
    in.decimals = c.record ? c.record->GetDecimals() : 0;
    in.level = model::ParseLeadingDouble(controlText(Level));
    in.zeroPixel = slider(ZeroSlider).GetGraphPos(ch);
    in.usableHeight = (site ? site->height() : 0) - 2 * static_cast<std::int64_t>(level.GetCursorSize());
    LevelCursorSetting s = PlaceLevelCursor(in);
    const auto pixel = static_cast<plat::LONG>(std::clamp<std::int64_t>(s.pixel, INT32_MIN, INT32_MAX));
    level.ChangeRange2I64(14, &s.top, &s.bottom, &s.value, pixel);
    syncGuideLine(LevelSlider, 14);
}

// ---- Read-outs ----------------------------------------------------------------------------------

void CViewOscillo::onSelectChannel(int ch)
{
    checkOnly(Select1, Select1 + 3, Select1 + ch - 1);
    CZRSLIDER marks = slider(LevelSlider);
    for (int c = 5; c <= 8; ++c) {
        marks.ShowCursor(c, 0);
        m_guideShown[static_cast<std::size_t>(c)] = 0;
        syncGuideLine(LevelSlider, c);
    }
    marks.ShowCursor(4 + ch, 5);
    m_guideShown[static_cast<std::size_t>(4 + ch)] = 1;
    syncGuideLine(LevelSlider, 4 + ch);
    slider(ZeroSlider).ShowCursor(ch, 5);
    refreshReadouts();
    m_commands.refresh();
}

void CViewOscillo::InitTimeCursors()
{
    setControlText(ReadoutLabel, "A");
    for (int id = ReadoutA; id <= ReadoutA + 2; ++id)
        setControlText(id, "");
}

void CViewOscillo::refreshReadouts()
{
    const int selected = checkedAmong(Select1, Select1 + 3);
    if (selected == 0) {
        InitTimeCursors();
        return;
    }
    const int ch = selected - Select1 + 1;
    const double scale = model::ParseLeadingDouble(controlText(Scale1 + ch - 1));
    const std::int64_t factor = std::max<std::int64_t>(channel(ch).scale.factor, 1);
    const double a = static_cast<double>(10000 - slider(ZeroSlider).GetValue(ch)) * scale * 0.001;
    const double b = static_cast<double>(10000 - slider(LevelSlider).GetValue(4 + ch)) * scale * 0.001;
    setControlText(ReadoutLabel, "A(" + std::to_string(ch) + ")");
    setEditValue(ReadoutA, ReadoutText(a, factor), a);
    setEditValue(ReadoutA + 1, ReadoutText(b, factor), b);
    setEditValue(ReadoutA + 2, ReadoutText(b - a, factor), b - a);
}

// ---- Drops ------------------------------------------------------------------------------------

bool CViewOscillo::dropAllowed(QComboBox* c, const QMimeData* data) const
{
    if (!c || !data || !data->hasText() || !isEditable())
        return false;
    const int ch = c->objectName().toInt() - Source1 + 1;
    return ch >= 1 && ch <= 4 && MatchDroppedSource(sourceItems(ch), data->text().toStdString()).has_value();
}

void CViewOscillo::drop(int ch, const QMimeData* data)
{
    const std::optional<int> index = MatchDroppedSource(sourceItems(ch), data->text().toStdString());
    QComboBox* c = combo(Source1 + ch - 1);
    if (!index || !c)
        return;
    {
        const QSignalBlocker quiet(c);
        c->setCurrentIndex(*index);
    }
    onSourceChosen(ch);
}

} // namespace talverin
