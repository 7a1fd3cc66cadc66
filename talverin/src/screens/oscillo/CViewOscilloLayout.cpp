// The oscilloscope screen's geometry: the layout around the scope, the POS. slider's range
// (timer 1000), the zoom buttons, the horizontal scroll, the TIME and RES. sliders, the time
// cursors A and B and the scope's guide lines that follow the slider cursors.
#include "screens/oscillo/CViewOscillo.h"

#include "common/AppMessages.h"
#include "screens/ScreenHost.h"
#include "screens/oscillo/ChildWindows.h"
#include "screens/oscillo/OscilloCapture.h"
#include "screens/oscillo/OscilloGeometry.h"
#include "screens/oscillo/OscilloIds.h"
#include "screens/oscillo/OscilloText.h"

#include <model/CommandSupport.h>
#include <model/NumberText.h>

#include <platform/messages.h>
#include <platform/qt/window_timers.h>

#include <QComboBox>
#include <QDropEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScrollArea>

namespace talverin {

using namespace OscilloId;

namespace {

constexpr int kLayoutSliders[] = {1126, 1127, 1128, 1129, 1038, 1036, 1033, 1021, 1022, 1023, 1024};

bool capturing(int state)
{
    return state >= Capture::Starting && state <= Capture::Stopping;
}

} // namespace

double CViewOscillo::timePerDivision() const
{
    // The time base last applied, not the edit's text: a refused TIME must not make the other
    // edits' checks fail too.
    return m_timeBase;
}

double CViewOscillo::positionMs() const
{
    return model::ParseLeadingDouble(controlText(HorizontalPosition));
}

int CViewOscillo::scopeWidth() const
{
    const ControlSite* site = scope().site();
    return site ? site->width() : 0;
}

// ---- Layout -----------------------------------------------------------------------------------

void CViewOscillo::buildLayoutList()
{
    const QWidget* marker = item(Marker);
    if (!marker || marker->x() == 0 || marker->y() == 0)
        return; // a form without its corner mark is left as it is
    m_formOrigin = marker->pos();
    scope().LockPosition(plat::TRUE);
    // Every child with a control id, the labels without one ("-1") too.
    std::vector<ChildWindowRecord> children;
    for (QWidget* child : m_form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        EnumChildProc(child, children);
    OffsetRectsToWindow(m_form, children);
    std::vector<LayoutItem> records;
    m_layoutWidgets.clear();
    for (const ChildWindowRecord& r : children) {
        if (r.controlId == Marker)
            continue;
        records.push_back({r.controlId, QRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                           static_cast<int>(m_layoutWidgets.size())});
        m_layoutWidgets.push_back(r.window);
    }
    m_layout = OrderLayoutList(std::move(records));

    enableControl(HorizontalPosition, false);
    slider(PositionScroll).Enabled(plat::FALSE);
    plat::qt::CommandTable& commands = m_host.Commands();
    if (commands.contains(OscilloCommand::TerminalWindow) && commands.state(OscilloCommand::TerminalWindow).checked())
        plat::SendMessage(model::GetMainWindow(), WM_SHOW_TERMINAL_WINDOW, 1, 0);
    onFormResized(m_scroll->viewport()->size());
}

bool CViewOscillo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize) {
        onFormResized(static_cast<QResizeEvent*>(event)->size());
        return false;
    }
    if (auto* e = qobject_cast<QLineEdit*>(watched)) {
        const int id = e->objectName().toInt();
        if (event->type() == QEvent::FocusIn)
            onEditFocusIn(id);
        else if (event->type() == QEvent::FocusOut)
            onEditFocusOut(id, static_cast<QFocusEvent*>(event)->reason());
        return false;
    }
    if (auto* c = qobject_cast<QComboBox*>(watched)) {
        const int channel = c->objectName().toInt() - Source1 + 1;
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (dropAllowed(c, drag->mimeData())) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto* dropEvent = static_cast<QDropEvent*>(event);
            if (dropAllowed(c, dropEvent->mimeData())) {
                drop(channel, dropEvent->mimeData());
                dropEvent->setDropAction(Qt::CopyAction);
                dropEvent->accept();
            } else {
                dropEvent->ignore();
            }
            return true;
        }
    }
    return CViewBase::eventFilter(watched, event);
}

void CViewOscillo::onFormResized(QSize viewport)
{
    const QSize size = viewport.expandedTo(m_formSize);
    if (m_form->size() != size)
        m_form->resize(size);
    layOut(size);
}

void CViewOscillo::layOut(QSize client)
{
    if (m_layout.empty() || client.width() <= 0 || client.height() <= 0 || m_layoutInProgress)
        return;
    m_layoutInProgress = true;
    CZROSCILLO s = scope();
    for (int id : kLayoutSliders)
        slider(id).LockPosition(plat::FALSE);
    s.LockPosition(plat::FALSE);
    s.LockPaint(plat::TRUE);
    const LayoutResult placed = LayOutScreen(m_layout, m_formOrigin, client);
    for (const LayoutItem& i : placed.placed) {
        QWidget* w = m_layoutWidgets[static_cast<std::size_t>(i.key)];
        if (auto* site = dynamic_cast<ControlSite*>(w))
            site->place(i.rect);
        else if (w)
            w->setGeometry(i.rect);
    }
    for (int id : kLayoutSliders)
        slider(id).LockPosition(plat::TRUE);
    s.LockPosition(plat::TRUE);
    syncGuideLines();
    const SliderSetting position = [this] {
        plat::LONG low = 0, high = 0;
        CZRSLIDER pos = slider(PositionScroll);
        pos.GetRangeValue(1, &low, &high);
        return RerangePositionSlider(m_zoom, scopeWidth(), high, pos.GetValue(1));
    }();
    slider(PositionScroll).ChangeRange(1, 0, static_cast<plat::LONG>(position.max), static_cast<plat::LONG>(position.value));
    if (const int trigger = m_capture->TriggerChannel())
        placeLevelCursor(trigger);
    s.LockPaint(plat::FALSE);
    plat::SetTimer(GetSafeHwnd(), kLayoutTimer, 10);
    m_layoutInProgress = false;
}

void CViewOscillo::onLayoutTimer()
{
    plat::KillTimer(GetSafeHwnd(), kLayoutTimer);
    CZRSLIDER pos = slider(PositionScroll);
    plat::LONG low = 0, high = 0;
    pos.GetRangeValue(1, &low, &high);
    const SliderSetting s = RerangePositionSlider(m_zoom, scopeWidth(), high, pos.GetValue(1));
    pos.ChangeRange(1, 0, static_cast<plat::LONG>(s.max), static_cast<plat::LONG>(s.value));
    onScroll(s.value);
    m_form->update();
}

// ---- Zoom and scroll --------------------------------------------------------------------------

void CViewOscillo::onZoom(int id)
{
    const int zoom = 1 << (id - Zoom1);
    checkOnly(Zoom1, Zoom1 + 4, id);
    m_previousZoom = m_zoom;
    m_zoom = zoom;
    const double oldVisible = VisibleTimeMs(timePerDivision(), m_previousZoom);
    const std::int64_t oldScroll = m_scrollValue;
    const int width = scopeWidth();

    CZROSCILLO s = scope();
    s.LockPaint(plat::TRUE);
    const plat::LONG scaled = s.SetHorzZoom(zoom * 100, 0);
    CZRSLIDER pos = slider(PositionScroll);
    pos.ChangeRange(1, 0, zoom == 1 ? 100 : std::max<plat::LONG>(0, scaled - width), 0);
    setEditValue(HorizontalPosition, "0.0", 0.0);
    enableControl(HorizontalPosition, zoom != 1);
    pos.Enabled(zoom != 1 ? plat::TRUE : plat::FALSE);
    s.ScrollPosition(0, 0);
    m_scrollValue = 0;

    CZRSLIDER trigger = slider(PositionSlider);
    const bool running = capturing(CaptureState());
    const double edited = model::ParseLeadingDouble(controlText(TriggerPosition));
    double position = edited;
    if (!m_guideShown[13] || running) {
        position = ZoomedTriggerPercent({m_triggerPosition, edited, trigger.GetGraphPos(13), trigger.GetCursorSize(), width,
                                         zoom, m_previousZoom, oldScroll != 0});
    }
    std::int64_t value = 0;
    trigger.GetValueI64(13, &value);
    std::int64_t low = 0;
    std::int64_t high = TriggerCursorMax(zoom);
    trigger.ChangeRangeI64(13, &low, &high, &value);
    if (!running) {
        setEditValue(TriggerPosition, OneDecimal(position), position);
        if (DiffersAtOneDecimal(position, m_triggerPosition))
            m_capture->MarkPending(CaptureTag::PositionSet);
        m_triggerPosition = position;
        if (!m_guideShown[13]) {
            // The cursor keeps its place on the screen: its value follows the new range.
            value = ClampToInt64(position * 10000.0);
            trigger.ChangeRangeI64(13, &low, &high, &value);
        }
    }
    syncGuideLine(PositionSlider, 13);
    rerangeTimeCursors(oldVisible);
    s.LockPaint(plat::FALSE);
    s.Redraw(plat::TRUE);
}

void CViewOscillo::onScroll(std::int64_t v)
{
    m_scrollValue = v;
    if (const std::optional<double> ms = ScrollPositionMs(timePerDivision(), v, m_zoom, scopeWidth()))
        setEditValue(HorizontalPosition, OneDecimal(*ms), *ms);
    CZROSCILLO s = scope();
    s.LockPaint(plat::TRUE);
    s.ScrollPosition(static_cast<plat::LONG>(v), 0);
    if (!m_layoutInProgress) {
        CZRSLIDER trigger = slider(PositionSlider);
        if (!m_guideShown[13] && !capturing(CaptureState())) {
            const double edited = model::ParseLeadingDouble(controlText(TriggerPosition));
            const double position =
                ScrolledTriggerPercent({m_triggerPosition, edited, trigger.GetGraphPos(13) + v, trigger.GetCursorSize(),
                                        scopeWidth(), m_zoom, m_previousZoom, false});
            if (DiffersAtOneDecimal(position, m_triggerPosition)) {
                setEditValue(TriggerPosition, OneDecimal(position), position);
                m_triggerPosition = position;
                m_capture->MarkPending(CaptureTag::PositionSet);
            }
        } else if (const auto range = VisibleTriggerRange(v, s.GetBitmapWidth(), m_zoom)) {
            std::int64_t low = range->min;
            std::int64_t high = range->max;
            std::int64_t value = ClampToInt64(m_triggerPosition * 10000.0);
            trigger.ChangeRangeI64(13, &low, &high, &value);
        }
        if (m_guideShown[9] || m_guideShown[10]) {
            const double visible = VisibleTimeMs(timePerDivision(), m_zoom);
            if (const auto range = ScrolledTimeCursorRange(visible, v, scopeWidth())) {
                CZRSLIDER times = slider(TimeCursorSlider);
                for (int c : {9, 10}) {
                    std::int64_t low = range->min;
                    std::int64_t high = range->max;
                    std::int64_t value = 0;
                    times.GetValueI64(c, &value);
                    times.ChangeRangeI64(c, &low, &high, &value);
                }
            }
        }
    }
    s.LockPaint(plat::FALSE);
    s.Redraw(plat::TRUE);
}

void CViewOscillo::onScrollEnded()
{
    if (m_capture->Slot(CaptureTag::PositionSet) == kSlotPending)
        m_capture->SendTriggerPosition(CaptureTag::PositionSet);
}

// ---- TIME and RES. ----------------------------------------------------------------------------

void CViewOscillo::onResolutionSlider(std::int64_t r)
{
    setControlText(Resolution, model::FormatInt(r));
    setModified(Resolution, true);
    scope().SetScopeMode(static_cast<plat::LONG>(r * 20), slider(TimeSlider).GetValue(1) * 20);
}

void CViewOscillo::onTimeSlider(std::int64_t t)
{
    setModified(Time, true);
    const double oldVisible = VisibleTimeMs(timePerDivision(), m_zoom);
    scope().SetScopeMode(slider(ResolutionSlider).GetValue(1) * 20, static_cast<plat::LONG>(t * 20));
    const double time = static_cast<double>(t) * 0.1;
    m_timeBase = time;
    setEditValue(Time, OneDecimal(time), time);
    rescalePositionForTime(time);
    rerangeTimeCursors(oldVisible);
}

void CViewOscillo::rescalePositionForTime(double newTime)
{
    if (newTime != m_positionTime) {
        const double p = positionMs();
        if (p != 0.0) {
            const double scaled = RescalePosition(p, m_positionTime, newTime);
            setEditValue(HorizontalPosition, OneDecimal(scaled), scaled);
        }
    }
    m_positionTime = newTime;
}

// ---- Time cursors A and B ---------------------------------------------------------------------

void CViewOscillo::onTimeCursor(int cursor, std::int64_t value)
{
    const double time = static_cast<double>(value) / 10.0;
    if (cursor == 9) {
        m_timeA = time;
        setEditValue(CursorA, model::FormatFixed(time, 1), time);
        m_timeB = model::ParseLeadingDouble(controlText(CursorB));
    } else {
        m_timeB = time;
        setEditValue(CursorB, model::FormatFixed(time, 1), time);
        m_timeA = model::ParseLeadingDouble(controlText(CursorA));
    }
    setEditValue(CursorAB, model::FormatFixed(m_timeB - m_timeA, 1), m_timeB - m_timeA);
    syncGuideLine(TimeCursorSlider, cursor);
}

void CViewOscillo::onTimeCursorDoubleClick(int cursor)
{
    toggleGuideLine(TimeCursorSlider, cursor);
    if (m_zoom == 1)
        return;
    const bool absolute = m_guideShown[9] || m_guideShown[10];
    if (absolute != m_timesAbsolute) {
        const TimeCursorPair t = ShiftTimeCursors({m_timeA, m_timeB}, positionMs(), absolute);
        m_timeA = t.a;
        m_timeB = t.b;
        m_timesAbsolute = absolute;
    }
    setTimeCursorRanges();
}

void CViewOscillo::rerangeTimeCursors(double oldVisibleMs)
{
    const bool shown = m_guideShown[9] || m_guideShown[10];
    const TimeCursorPair edits{model::ParseLeadingDouble(controlText(CursorA)),
                               model::ParseLeadingDouble(controlText(CursorB))};
    const TimeCursorPair t = RescaleTimeCursors({m_timeA, m_timeB}, edits, shown, oldVisibleMs,
                                                VisibleTimeMs(timePerDivision(), m_zoom));
    m_timeA = t.a;
    m_timeB = t.b;
    m_timesAbsolute = shown && m_zoom != 1;
    setTimeCursorRanges();
}

void CViewOscillo::setTimeCursorRanges()
{
    const CursorRange range = TimeCursorRange(m_timesAbsolute, positionMs(), VisibleTimeMs(timePerDivision(), m_zoom));
    CZRSLIDER times = slider(TimeCursorSlider);
    for (auto [cursor, time] : {std::pair{9, m_timeA}, std::pair{10, m_timeB}}) {
        std::int64_t low = range.min;
        std::int64_t high = range.max;
        std::int64_t value = TimeCursorValue(time);
        times.ChangeRangeI64(cursor, &low, &high, &value);
    }
    setEditValue(CursorA, model::FormatFixed(m_timeA, 1), m_timeA);
    setEditValue(CursorB, model::FormatFixed(m_timeB, 1), m_timeB);
    setEditValue(CursorAB, model::FormatFixed(m_timeB - m_timeA, 1), m_timeB - m_timeA);
    syncGuideLine(TimeCursorSlider, 9);
    syncGuideLine(TimeCursorSlider, 10);
}

// ---- Guide lines ------------------------------------------------------------------------------

void CViewOscillo::syncGuideLine(int sliderId, int cursor)
{
    CZRSLIDER s = slider(sliderId);
    CZROSCILLO face = scope();
    face.SetGuidLine(cursor, s.GetGraphPos(cursor) - s.GetCursorSize(), m_guideShown[static_cast<std::size_t>(cursor)]);
    if (sliderId == ZeroSlider)
        face.MoveChannelPos(static_cast<short>(cursor), 0, 10000 - s.GetValue(cursor));
}

void CViewOscillo::syncGuideLines()
{
    CZROSCILLO face = scope();
    const plat::BOOL locked = face.LockPaint(plat::TRUE);
    for (int c : {9, 10})
        syncGuideLine(TimeCursorSlider, c);
    for (int c = 1; c <= 4; ++c)
        syncGuideLine(ZeroSlider, c);
    for (int c : {5, 6, 7, 8, 14})
        syncGuideLine(LevelSlider, c);
    syncGuideLine(PositionSlider, 13);
    face.LockPaint(locked);
}

void CViewOscillo::toggleGuideLine(int sliderId, int cursor)
{
    int& shown = m_guideShown[static_cast<std::size_t>(cursor)];
    shown = shown ? 0 : 1;
    syncGuideLine(sliderId, cursor);
}

} // namespace talverin
