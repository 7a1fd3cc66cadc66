#include "screens/oscillo/CViewOscillo.h"

#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "common/ScreenSwitchGuard.h"
#include "common/WidgetHelpers.h"
#include "controlhost/FormBuilder.h"
#include "controlhost/ScreenEvents.h"
#include "connection/DriverConnection.h"
#include "screens/ScreenHost.h"
#include "screens/ScreenRegistry.h"
#include "screens/oscillo/OscilloCapture.h"
#include "screens/oscillo/OscilloForm.h"
#include "screens/oscillo/OscilloIds.h"
#include "screens/oscillo/OscilloText.h"
#include "screens/oscillo/SettingsSummary.h"

#include <controls/ZROSCILLOMembers.h>
#include <controls/ZRSLIDERMembers.h>

#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <model/NumberText.h>
#include <model/SharedData.h>
#include <model/ZRParamData.h>

#include <platform/language.h>
#include <platform/messages.h>
#include <platform/timers.h>
#include <platform/qt/colors.h>
#include <platform/qt/virtual_keys.h>

#include <zrcomm/zrcomm.h>

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace talverin {

using namespace OscilloId;

namespace {

QString trv(const char* text)
{
    return QCoreApplication::translate("CViewOscillo", text);
}

constexpr plat::COLORREF kChannelColor[4] = {plat::RGB(255, 255, 0), plat::RGB(255, 128, 128), plat::RGB(128, 255, 128),
                                             plat::RGB(128, 128, 255)};
constexpr plat::COLORREF kCursorColor = plat::RGB(128, 64, 64);
constexpr plat::COLORREF kSettingColor = plat::RGB(192, 224, 192);
constexpr std::uint32_t kHiddenCursor = 0x80000000u;
constexpr std::uint32_t kLockedCursor = 0x40000000u;
constexpr int kAllSliders[] = {1126, 1127, 1128, 1129, 1038, 1036, 1033, 1021, 1022, 1023, 1024};

bool inRange(int id, int first, int last)
{
    return id >= first && id <= last;
}

plat::LONG cursorId(std::uint32_t id, std::uint32_t flags = 0)
{
    return static_cast<plat::LONG>(id | flags);
}

} // namespace

CViewOscillo::CViewOscillo(ScreenHost& host, QWidget* parent) : CViewBase(VIEW_OSCILLO, parent), m_host(host)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_form = new QWidget;
    m_form->setObjectName(QStringLiteral("form"));
    m_form->setFont(font());
    m_scroll->setWidget(m_form);
    layout->addWidget(m_scroll);
    m_scroll->viewport()->installEventFilter(this);

    m_sinks = MakeEventSinkMap(ViewOscilloEvents(),
                               [this](const EventSubscription& e, int id, std::span<const comp::Variant> args) {
                                   onEvent(id, e.eventId, args);
                               });
    buildForm();
    connectWidgets();
    buildMenus();
    addCommands();

    m_arrowHeld = [] {
        using namespace plat::qt;
        for (plat::UINT vk : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT})
            if (GetAsyncKeyState(vk) & 0x8000)
                return true;
        return false;
    };
    m_keyHook = plat::qt::KeyboardHookChain::instance().install(
        this, [this](const plat::qt::KeyInput& key) { return HandleHookKey(key); });
    m_timers = std::make_unique<WindowCaptureTimers>(GetSafeHwnd());
    m_capture = std::make_unique<OscilloCapture>(*this, m_port, *m_timers, store(), GetSafeHwnd());

    Messages().Set(WM_COMM_COMMAND, [this](plat::WPARAM w, plat::LPARAM l) {
        m_capture->OnCommCommand(w, l);
        return plat::LRESULT{0};
    });
    Messages().Set(WM_COMM_STATE_CHANGED,
                   [this](plat::WPARAM w, plat::LPARAM l) { return m_capture->OnCommStateChanged(w, l); });
    Messages().Set(WM_BAUD_CHANGE_STATE,
                   [this](plat::WPARAM w, plat::LPARAM l) { return m_capture->OnBaudChangeState(w, l); });
    Messages().Set(plat::WM_TIMER, [this](plat::WPARAM w, plat::LPARAM) {
        if (w == kLayoutTimer)
            onLayoutTimer();
        else if (w >= CaptureTimer::Poll && w <= CaptureTimer::Restart)
            m_capture->OnTimer(static_cast<unsigned>(w));
        return plat::LRESULT{0};
    });
    Messages().Set(plat::WM_COMMAND, [this](plat::WPARAM w, plat::LPARAM l) {
        return plat::LRESULT{m_commands.handleCommandMessage(w, l) ? 1 : 0};
    });
}

CViewOscillo::~CViewOscillo()
{
    for (unsigned id = kLayoutTimer; id <= CaptureTimer::Restart; ++id)
        plat::KillTimer(GetSafeHwnd(), id);
    // The capture reaches the widgets while it winds down; it goes first.
    m_capture.reset();
}

model::CDataFile& CViewOscillo::store() const
{
    return m_host.Store();
}

// ---- Form -------------------------------------------------------------------------------------

void CViewOscillo::buildForm()
{
    // A control that cannot be made has told the user and left a note in its place.
    BuildForm(m_form, kTemplateId, &m_sinks);
    BuildOscilloForm(m_form);
    for (QWidget* w : m_form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        bool numeric = false;
        const int id = w->objectName().toInt(&numeric);
        if (numeric && id > 0)
            m_items[id] = w;
    }
    static constexpr std::pair<int, int> kLimits[] = {{1039, 20}, {1037, 8}, {1034, 5}, {1226, 20}, {1227, 20},
                                                      {1010, 6},  {1035, 20}};
    for (auto [id, limit] : kLimits)
        if (QLineEdit* e = edit(id))
            e->setMaxLength(limit);
    for (int id = ZeroPosition1; id <= Scale1 + 3; ++id)
        if (QLineEdit* e = edit(id))
            e->setMaxLength(20);
    const QWidget* marker = item(Marker);
    m_formSize = marker ? QSize(marker->x() + 1, marker->y() + 1) : QSize();
    m_form->setMinimumSize(m_formSize);
    m_form->resize(m_formSize);
}

QWidget* CViewOscillo::item(int id) const
{
    auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second.data();
}

QLineEdit* CViewOscillo::edit(int id) const
{
    return qobject_cast<QLineEdit*>(item(id));
}

QPushButton* CViewOscillo::button(int id) const
{
    return qobject_cast<QPushButton*>(item(id));
}

QComboBox* CViewOscillo::combo(int id) const
{
    return qobject_cast<QComboBox*>(item(id));
}

void CViewOscillo::setEditValue(int id, const std::string& text, double value)
{
    if (QLineEdit* e = edit(id)) {
        e->setText(QString::fromStdString(text));
        // The value x 1000 beside the text, as the edit's extra word held it.
        e->setProperty("value1000", static_cast<qlonglong>(value * 1000.0));
    }
}

void CViewOscillo::checkOnly(int first, int last, int id)
{
    for (int i = first; i <= last; ++i)
        if (QPushButton* b = button(i))
            b->setChecked(i == id);
}

int CViewOscillo::checkedAmong(int first, int last) const
{
    for (int i = first; i <= last; ++i)
        if (QPushButton* b = button(i); b && b->isChecked())
            return i;
    return 0;
}

void CViewOscillo::connectWidgets()
{
    for (int id = Zoom1; id <= Zoom1 + 4; ++id)
        if (QPushButton* b = button(id))
            connect(b, &QPushButton::clicked, this, [this, id] { onZoom(id); });
    for (int ch = 1; ch <= 4; ++ch) {
        if (QPushButton* b = button(Show1 + ch - 1))
            connect(b, &QPushButton::clicked, this, [this, ch] { onShowChannel(ch, false); });
        if (QPushButton* b = button(Select1 + ch - 1))
            connect(b, &QPushButton::clicked, this, [this, ch] { onSelectChannel(ch); });
        if (QPushButton* b = button(Trigger1 + ch - 1))
            connect(b, &QPushButton::clicked, this, [this, ch] { onTriggerSource(ch); });
        if (QComboBox* c = combo(Source1 + ch - 1)) {
            connect(c, &QComboBox::activated, this, [this, ch] { onSourceChosen(ch); });
            c->setAcceptDrops(true);
            c->installEventFilter(this);
        }
    }
    for (int id : {EdgeDown, EdgeUp})
        if (QPushButton* b = button(id))
            connect(b, &QPushButton::clicked, this, [this, id] { onSlope(id); });
    for (int id : {Cont, Sing, Auto})
        if (QPushButton* b = button(id))
            connect(b, &QPushButton::clicked, this, [this, id] { onMode(id); });
    if (QPushButton* b = button(Run))
        connect(b, &QPushButton::clicked, this, [this] { m_capture->OnRun(); });
    if (QPushButton* b = button(Stop))
        connect(b, &QPushButton::clicked, this, [this] { m_capture->OnStop(); });
    for (auto& [id, w] : m_items)
        if (qobject_cast<QLineEdit*>(w.data()))
            w->installEventFilter(this);
}

// ---- Frame ------------------------------------------------------------------------------------

void RegisterOscilloScreen(ScreenHost& host)
{
    host.Screens().Register({VIEW_OSCILLO, QCoreApplication::translate("CTalverinApp", "Oscilloscope"), ID_VIEW_OSCILLO, 2,
                             [&host](QWidget* parent) { return new CViewOscillo(host, parent); }});
    // Looked up at each call: the screen is made on its first switch and may be gone at the end.
    const auto screen = [&host] { return dynamic_cast<CViewOscillo*>(host.GetView(VIEW_OSCILLO)); };
    host.Connection().Hooks().resetScopeMonitors = [screen](bool all) {
        if (CViewOscillo* view = screen())
            view->ClearChannelRecords(all);
    };
    // Its screen command 32775 (Ctrl+1) is the frame's.
}

bool CViewOscillo::isCurrentScreen() const
{
    const plat::HWND frame = model::GetMainWindow();
    return frame && plat::SendMessage(frame, WM_GET_CURRENT_VIEW, 0, 0) == VIEW_OSCILLO;
}

int CViewOscillo::CaptureState() const
{
    return m_capture->CaptureState();
}

bool CViewOscillo::isEditable() const
{
    const int state = CaptureState();
    return state == Capture::Initial || state == Capture::Idle || state == Capture::NotConnected;
}

QSize CViewOscillo::MinimumClientSize() const
{
    return m_formSize;
}

void CViewOscillo::OnNewDocumentDone()
{
    ResetView();
}

void CViewOscillo::ResetView()
{
    m_setupDone = false;
    if (isCurrentScreen())
        firstActivation();
}

bool CViewOscillo::OnViewSwitch(bool entered, int)
{
    m_currentScreen = entered;
    m_capture->SetCurrentScreen(entered);
    const plat::HWND frame = model::GetMainWindow();
    if (!entered) {
        if (m_capture->Slot(CaptureTag::PositionSet) == kSlotPending)
            m_capture->SendTriggerPosition(CaptureTag::PositionSet);
        setEnabled(false);
        if (frame)
            plat::SendMessage(frame, WM_SHOW_TERMINAL_WINDOW, 0, 0);
        return true;
    }
    if (!m_setupDone)
        firstActivation();
    setEnabled(true);
    if (m_port.isConnected())
        m_capture->OnCommStateChanged(1, -1);
    plat::qt::CommandTable& commands = m_host.Commands();
    if (frame && commands.contains(OscilloCommand::TerminalWindow)
        && commands.state(OscilloCommand::TerminalWindow).checked())
        plat::SendMessage(frame, WM_SHOW_TERMINAL_WINDOW, 1, 0);
    syncGuideLines();
    scope().LockPaint(plat::FALSE);
    m_commands.refresh();
    return true;
}

void CViewOscillo::ClearChannelRecords(bool full)
{
    for (Channel& c : m_channels)
        if (c.record)
            c.record->Clear();
    if (!full)
        return;
    m_capture->ClearSourcesAtRun();
    {
        model::SharedLock lock(store().GetOscilloMutex());
        store().m_oscillo.ClearSamples();
    }
    scope().UpdateOscilloData(nullptr, -1, 0, 0);
}

// ---- First activation -------------------------------------------------------------------------

void CViewOscillo::firstActivation()
{
    const bool firstTime = m_layout.empty();
    if (firstTime) {
        enableControl(Run, false);
        enableControl(Stop, false);
        checkOnly(Trigger1, Trigger1 + 3, Trigger1);
        checkOnly(EdgeDown, EdgeUp, EdgeDown);
        checkOnly(Cont, Auto, Cont);
    }
    m_form->setAcceptDrops(true);
    setUpScope();
    setUpSliders();
    m_triggerPosition = 50.0;
    for (int id : {CursorA, CursorB, CursorAB, ReadoutA, ReadoutA + 1, ReadoutA + 2})
        if (QLineEdit* e = edit(id))
            e->clear();
    m_guideShown.fill(0);
    m_zoom = m_previousZoom = 1;
    m_scrollValue = 0;
    m_timesAbsolute = false;
    checkOnly(Zoom1, Zoom1 + 4, Zoom1);

    // A and B at a quarter and three quarters of the record, in 0.1 ms.
    const std::int64_t record = static_cast<std::int64_t>(TruncateSetting(timePerDivision() * 10)) * 20;
    m_timeA = static_cast<double>(record / 4) / 10.0;
    m_timeB = static_cast<double>(record / 4 * 3) / 10.0;
    CZRSLIDER times = slider(TimeCursorSlider);
    times.AddCursor(9, static_cast<plat::LONG>(record / 4), 0, static_cast<plat::LONG>(record), 255);
    times.AddCursor(10, static_cast<plat::LONG>(record / 4 * 3), 0, static_cast<plat::LONG>(record), 255);
    times.ShowRange(plat::TRUE, 9, 10);
    setEditValue(CursorA, model::FormatFixed(m_timeA, 1), m_timeA);
    setEditValue(CursorB, model::FormatFixed(m_timeB, 1), m_timeB);
    setEditValue(CursorAB, model::FormatFixed(m_timeB - m_timeA, 1), m_timeB - m_timeA);

    setEditValue(TriggerPosition, "50.0", 50.0);
    setEditValue(Level, "0.00", 0.0);
    setUpSources();
    for (int ch = 1; ch <= 4; ++ch) {
        channel(ch).record.reset();
        channel(ch).scale = {};
    }
    m_capture->ClearSourcesAtRun();
    for (int ch = 1; ch <= 4; ++ch) {
        disableChannel(ch);
        const std::int64_t zero = slider(ZeroSlider).GetValue(ch);
        setEditValue(ZeroPosition1 + ch - 1, model::FormatFixed(static_cast<double>(10000 - zero) * 0.01, 2),
                     static_cast<double>(10000 - zero) * 0.01);
        const std::int64_t scale = slider(ScaleSlider1 + ch - 1).GetValue(1);
        setEditValue(Scale1 + ch - 1, model::FormatFixed(static_cast<double>(scale), 2), static_cast<double>(scale));
        if (QPushButton* b = button(Show1 + ch - 1))
            b->setChecked(false);
        if (QPushButton* b = button(Select1 + ch - 1))
            b->setChecked(false);
        if (QPushButton* b = button(Trigger1 + ch - 1))
            b->setText(QStringLiteral("CH%1").arg(ch));
    }
    refreshReadouts();
    checkOnly(Trigger1, Trigger1 + 3, Trigger1);
    syncGuideLines();
    m_setupDone = true;
    if (firstTime)
        buildLayoutList();
    m_capture->UpdateCaptureControls();
    m_commands.refresh();
}

void CViewOscillo::setUpScope()
{
    CZROSCILLO s = scope();
    const auto color = [this](const char* key, const char* fallback) {
        return static_cast<plat::LONG>(
            ParseColorTriple(store().GetProfileString("Oscillo", key, fallback, store().m_settingsPath)));
    };
    s.SetGraphColorNormalLine(color("NormalLineColor", "64,64,64"));
    s.SetZoomLineColor(color("ZoomLineColor", "32,32,64"));
    s.SetBackColor(color("BackColor", "0,0,64"));
    s.LockPaint(plat::TRUE);
    for (short ch = 1; ch <= 4; ++ch)
        s.SetChannelData(ch, 1.0f, 40 * ch, static_cast<plat::LONG>(kChannelColor[ch - 1]));
    for (int id = 1; id <= 8; ++id)
        s.AddGuideLine(id, plat::TRUE, static_cast<plat::LONG>(kChannelColor[(id - 1) % 4]), 40 * ((id - 1) % 4 + 1),
                       plat::FALSE);
    s.AddGuideLine(9, plat::FALSE, 255, 0, plat::FALSE);
    s.AddGuideLine(10, plat::FALSE, 255, 0, plat::FALSE);
    s.AddGuideLine(13, plat::FALSE, 128, 0, plat::FALSE);
    s.AddGuideLine(14, plat::TRUE, 128, 0, plat::FALSE);
    for (short ch = 1; ch <= 4; ++ch)
        s.ShowChannel(ch, plat::TRUE);
    s.SetHorzZoom(100, 0);
    s.ScrollPosition(0, 0);
    s.LockPaint(plat::FALSE);
}

void CViewOscillo::setUpSliders()
{
    const auto face = static_cast<plat::LONG>(plat::GetSysColor(plat::COLOR_BTNFACE));
    for (int id : kAllSliders) {
        CZRSLIDER s = slider(id);
        s.SetRangeBar(1);
        s.SetBorderStyle(0);
        s.SetBackColor(face);
        s.LockPosition(plat::TRUE);
        const bool allArrows = id == 1033 || id == 1036 || id == 1038 || inRange(id, 1021, 1024);
        s.SetArrow(allArrows ? 255 : id == 1126 ? 32 : id == 1127 ? 64 : id == 1128 ? 16 : 128);
    }
    CZRSLIDER zero = slider(ZeroSlider);
    CZRSLIDER level = slider(LevelSlider);
    for (int ch = 1; ch <= 4; ++ch) {
        const auto color = static_cast<plat::LONG>(kChannelColor[ch - 1]);
        zero.AddCursor(ch, 4000 * ch, 0, 20000, color);
        level.AddCursor(cursorId(4 + ch, kHiddenCursor), 4000 * ch, 0, 20000, color);
        CZRSLIDER scale = slider(ScaleSlider1 + ch - 1);
        scale.AddCursor(1, 100, 0, 10000, color);
        scale.Enabled(plat::FALSE);
    }
    level.AddCursor(cursorId(14, kLockedCursor), 4000, 0, 20000, static_cast<plat::LONG>(kCursorColor));
    slider(PositionSlider).AddCursor(13, 500000, 0, 1000000, static_cast<plat::LONG>(kCursorColor));

    CZRSLIDER time = slider(TimeSlider);
    time.AddCursor(1, 1, 1, 5000, static_cast<plat::LONG>(kSettingColor));
    time.AddCursor(cursorId(2, kHiddenCursor | kLockedCursor), 1, 1, 5000, static_cast<plat::LONG>(kSettingColor));
    setEditValue(Time, "0.1", 0.1);
    m_positionTime = 0.1;
    m_timeBase = 0.1;
    CZRSLIDER res = slider(ResolutionSlider);
    res.AddCursor(1, 50, 1, 204, static_cast<plat::LONG>(kSettingColor));
    res.AddCursor(cursorId(2, kHiddenCursor | kLockedCursor), 50, 1, 204, static_cast<plat::LONG>(kSettingColor));
    setControlText(Resolution, "50");
    slider(PositionScroll).AddCursor(1, 0, 0, 1000, static_cast<plat::LONG>(kSettingColor));
    setEditValue(HorizontalPosition, "0.0", 0.0);
    for (int id : {Time, Resolution, TriggerPosition, Level})
        m_savedText[id] = controlText(id);
}

void CViewOscillo::setUpSources()
{
    // The unit file's [WV] lines, as far as 0x6000 bytes of them go.
    std::vector<QString> sources;
    std::size_t bytes = 0;
    for (const std::string& line : store().m_waveSources) {
        bytes += line.size() + 1;
        if (bytes > 0x6000)
            break;
        sources.push_back(QString::fromStdString(line));
    }
    for (int ch = 1; ch <= 4; ++ch) {
        QComboBox* c = combo(Source1 + ch - 1);
        if (!c)
            continue;
        const QSignalBlocker quiet(c);
        c->clear();
        c->addItem(QString());
        for (const QString& s : sources)
            c->addItem(s);
        c->setCurrentIndex(0);
    }
}

// ---- Events -----------------------------------------------------------------------------------

void CViewOscillo::onEvent(int controlId, comp::DISPID eventId, std::span<const comp::Variant> args)
{
    namespace sl = ctl::zrslider;
    if (controlId == Scope) {
        onNotify(args.empty() ? 0 : args[0].toI4());
        return;
    }
    if (inRange(controlId, ScaleSlider1, ScaleSlider1 + 3)) {
        // A range entry: the control id, then the event's own arguments.
        if (eventId == sl::OnChanging && args.size() >= 3)
            onScaleSlider(controlId - ScaleSlider1 + 1, args[2].toI4());
        return;
    }
    if (args.size() < 2)
        return;
    const int cursor = args[0].toI4() & 0xFFFF;
    const std::int64_t value = args[1].toI4();
    const bool changing = eventId == sl::OnChanging;
    const bool changed = eventId == sl::OnChanged;
    const bool doubleClick = eventId == sl::OnSliderDblClk;
    switch (controlId) {
    case TimeCursorSlider:
        if (changing && (cursor == 9 || cursor == 10))
            onTimeCursor(cursor, value);
        else if (doubleClick && (cursor == 9 || cursor == 10))
            onTimeCursorDoubleClick(cursor);
        break;
    case ZeroSlider:
        if (changing && inRange(cursor, 1, 4))
            onZeroCursor(cursor, value);
        else if (doubleClick && inRange(cursor, 1, 4))
            toggleGuideLine(ZeroSlider, cursor);
        break;
    case PositionSlider:
        if (cursor != 13)
            break;
        if (changing)
            onTriggerCursor(value);
        else if (changed)
            m_capture->SendTriggerPosition(CaptureTag::PositionSet);
        else if (doubleClick)
            toggleGuideLine(PositionSlider, 13);
        break;
    case LevelSlider:
        if (changing && cursor == 14) {
            onLevelCursor(value);
        } else if (changing && inRange(cursor, 5, 8)) {
            syncGuideLine(LevelSlider, cursor);
            refreshReadouts();
        } else if (changed && cursor == 14) {
            onLevelCursorEnded();
        } else if (doubleClick && (cursor == 14 || inRange(cursor, 5, 8))) {
            toggleGuideLine(LevelSlider, cursor);
        }
        break;
    case ResolutionSlider:
        if (changing && cursor == 1)
            onResolutionSlider(value);
        else if (changed && cursor == 1)
            m_capture->SendRecordResolution(CaptureTag::ResolutionSet);
        break;
    case TimeSlider:
        if (changing && cursor == 1)
            onTimeSlider(value);
        else if (changed && cursor == 1)
            m_capture->SendRecordTime(CaptureTag::TimeSet);
        break;
    case PositionScroll:
        if (changing && cursor == 1)
            onScroll(value);
        else if (changed && cursor == 1)
            onScrollEnded();
        break;
    default: break;
    }
}

void CViewOscillo::onNotify(int code)
{
    if (code == 8)
        SetStatusText(this, trv("Memory low.  Some channels cannot be displayed."));
    else if (code == 0)
        SetStatusText(this, QStringLiteral(""));
}

void CViewOscillo::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && !m_items.empty()) {
        const auto face = static_cast<plat::LONG>(plat::GetSysColor(plat::COLOR_BTNFACE));
        for (int id : kAllSliders)
            slider(id).SetBackColor(face);
    }
    CViewBase::changeEvent(event);
}

void CViewOscillo::focusInEvent(QFocusEvent* event)
{
    if (ControlSite* site = scope().site())
        site->setFocus();
    CViewBase::focusInEvent(event);
}

// ---- Keys and help ----------------------------------------------------------------------------

bool CViewOscillo::HandleHookKey(const plat::qt::KeyInput& key)
{
    if (key.vk != plat::qt::VK_RETURN)
        return false;
    auto* target = qobject_cast<QWidget*>(key.target);
    if (!target || target->parentWidget() != m_form)
        return false;
    bool numeric = false;
    const int id = target->objectName().toInt(&numeric);
    if (!numeric || !IsEnterToTabEdit(id))
        return false;
    if (key.down) {
        plat::qt::SendKeyEvent(target, plat::qt::VK_TAB, true);
        plat::qt::SendKeyEvent(target, plat::qt::VK_TAB, false);
    }
    return true;
}

void CViewOscillo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        showHelpFor(QApplication::focusWidget());
        event->accept();
        return;
    }
    CViewBase::keyPressEvent(event);
}

void CViewOscillo::showHelpFor(QWidget* widget)
{
    int id = 0;
    for (QWidget* w = widget; w && w != m_form; w = w->parentWidget())
        if (w->parentWidget() == m_form)
            id = w->objectName().toInt();
    const QString page = plat::IsJapanese() ? QStringLiteral("_RESOURCE/3_6_1_Oscilloscope_screen_j.htm")
                                            : QStringLiteral("_RESOURCE/3_6_1_Oscilloscope_screen.htm");
    m_host.ShowHelp(page, QString::fromLatin1(HelpAnchorForControl(id)));
}

} // namespace talverin
