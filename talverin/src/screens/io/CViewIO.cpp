#include "screens/io/CViewIO.h"

#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "common/WidgetHelpers.h"
#include "controlhost/CZRCN2.h"
#include "controlhost/FormBuilder.h"
#include "controlhost/ScreenEvents.h"
#include "screens/ScreenHost.h"
#include "screens/ScreenRegistry.h"
#include "screens/io/IoReplies.h"

#include <component/log.h>
#include <controls/ZRCN2Members.h>
#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <model/SharedData.h>
#include <model/ZRParamData.h>

#include <platform/clock.h>
#include <platform/language.h>
#include <platform/messages.h>
#include <platform/qt/colors.h>
#include <platform/qt/dialog_units.h>
#include <platform/qt/fonts.h>
#include <zrcomm/zrcomm_api.h>

#include <QApplication>
#include <QCursor>
#include <QDragMoveEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cstring>

namespace talverin {

namespace {

constexpr int kWaitForEnterSteps = 1000;
constexpr plat::DWORD kWaitForEnterStepMs = 10;

// The legend: the badge colours of "IO0" and the value-box colours of "IO1", under each column.
struct LegendEntry {
    int offset; // dialog units from the column's left edge
    plat::COLORREF colour;
    const char* label;
};
constexpr LegendEntry kLegend[] = {
    {0, io::kBadgeOff, QT_TRANSLATE_NOOP("talverin::CViewIO", "Signal OFF")},
    {40, io::kBadgeOn, QT_TRANSLATE_NOOP("talverin::CViewIO", "Signal ON")},
    {80, io::kValueOff, QT_TRANSLATE_NOOP("talverin::CViewIO", "Function OFF")},
    {122, io::kValueOn, QT_TRANSLATE_NOOP("talverin::CViewIO", "Function ON")},
};
constexpr int kColumnWidth = 170;
constexpr int kLegendTop = 7 + 25 * 13 + 4;

} // namespace

void RegisterIoScreen(ScreenHost& host)
{
    host.Screens().Register({VIEW_IO, QCoreApplication::translate("CTalverinApp", "Edit control I/O"), ID_VIEW_IO, 0,
                             [&host](QWidget* parent) { return new CViewIO(host, parent); }});
}

CViewIO::CViewIO(ScreenHost& host, QWidget* parent) : CViewBase(VIEW_IO, parent), m_host(host)
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

    m_sinks = MakeEventSinkMap(ViewIOEvents(),
                               [this](const EventSubscription& e, int id, std::span<const comp::Variant> args) {
                                   onRowEvent(id, e.eventId, args);
                               });
    buildForm();
    buildLegend();
    addCommands();

    m_keyHook = plat::qt::KeyboardHookChain::instance().install(
        this, [this](const plat::qt::KeyInput& key) { return KeyFilter(key); });
    m_form->setAcceptDrops(true);
    m_form->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && m_form->isAncestorOf(now))
            m_lastFocus = now;
    });

    Messages().Set(WM_COMM_COMMAND, [this](plat::WPARAM w, plat::LPARAM l) { return OnCommCommand(w, l); });
    Messages().Set(WM_COMM_STATE_CHANGED, [this](plat::WPARAM w, plat::LPARAM l) { return OnCommStateChanged(w, l); });
    Messages().Set(WM_LOCK_STATE_CHANGED, [this](plat::WPARAM w, plat::LPARAM l) { return OnLockStateChanged(w, l); });
    Messages().Set(plat::WM_TIMER, [this](plat::WPARAM w, plat::LPARAM) {
        if (w == kMonitorTimer)
            OnMonitorTimer();
        return plat::LRESULT{0};
    });
}

CViewIO::~CViewIO()
{
    plat::KillTimer(GetSafeHwnd(), kMonitorTimer);
}

CZRCN2 CViewIO::Row(int pin) const
{
    return CZRCN2(m_form, kFirstRow + pin);
}

void CViewIO::buildForm()
{
    // Rows that cannot be made have told the user and left a note in their place.
    BuildForm(m_form, kTemplateId, &m_sinks);
}

void CViewIO::buildLegend()
{
    const QFont base = m_form->font();
    QFont glyphs = base;
    // Any language but Japanese draws the dot in the symbol face (its substitute here).
    if (plat::GetLanguage() != plat::LANG_JAPANESE)
        glyphs.setFamily(plat::qt::SubstituteFont(QStringLiteral("Wingdings")));
    for (int column = 0; column < 2; ++column) {
        const int left = 7 + column * kColumnWidth;
        for (int i = 0; i < 4; ++i) {
            const LegendEntry& e = kLegend[i];
            auto* dot = new QLabel(QString::fromUtf8("\xE2\x97\x8F"), m_form); // "●"
            dot->setObjectName(QString::number(kLegendFirst + column * 4 + i));
            dot->setFont(glyphs);
            QPalette pal = dot->palette();
            pal.setColor(QPalette::WindowText, plat::ColorFromColorRef(e.colour));
            dot->setPalette(pal);
            dot->setGeometry(plat::qt::MapDialogRect(QRect(left + e.offset, kLegendTop, 8, 10), base));
            auto* label = new QLabel(tr(e.label), m_form);
            label->setGeometry(plat::qt::MapDialogRect(QRect(left + e.offset + 9, kLegendTop, 34, 10), base));
        }
    }
    m_extent = new QLabel(m_form);
    m_extent->setObjectName(QString::number(kExtentStatic));
    m_extent->setGeometry(plat::qt::MapDialogRect(QRect(330, kLegendTop + 12, 7, 4), base));
}

void CViewIO::firstActivation()
{
    m_firstActivation = false;
    // The form keeps the largest extent it has seen.
    const QPoint corner = m_extent->geometry().bottomRight() + QPoint(1, 1);
    m_extentSeen = m_extentSeen.expandedTo(QSize(corner.x(), corner.y()));
    m_form->resize(m_extentSeen);
    for (int pin = 2; pin <= 24; pin += 2) {
        if (Row(pin).isValid() && Row(pin).GetViewMode() == 1) {
            if (QWidget* w = Row(pin).site()->control()->widget())
                w->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
}

void CViewIO::focusInEvent(QFocusEvent* event)
{
    CViewBase::focusInEvent(event);
    // The screen itself holds no focus: it goes back to the row that had it.
    if (m_lastFocus && m_lastFocus->isEnabled())
        m_lastFocus->setFocus(event->reason());
}

// ---- Entering, leaving, reloading ---------------------------------------------------------------

bool CViewIO::OnViewSwitch(bool entered, int)
{
    if (!entered) {
        m_menuFlag = false;
        LeaveHandling();
        return true;
    }
    if (m_firstActivation)
        firstActivation();
    m_menuFlag = true;
    if (IsLocked())
        m_refresh = true;
    loadRows();
    m_state = io::kStateElectrical;
    if (IsConnected() && !m_refresh)
        OnCommStateChanged(1, -1);
    m_refresh = false;
    showPinError(focusedPin());
    plat::SetTimer(GetSafeHwnd(), kMonitorTimer, kMonitorPeriodMs);
    return true;
}

void CViewIO::loadRows()
{
    for (int pin = 1; pin <= kPinCount; ++pin) {
        CZRCN2 row = Row(pin);
        if (!row.isValid())
            continue;
        std::string line;
        std::uint32_t mask = 0;
        int error = 0;
        bool found = false;
        {
            model::SharedLock lock(Store().GetDataMutex());
            if (const model::CN2PinRecord* r = Store().GetPinRecord(pin)) {
                found = true;
                line = r->Format(1);
                mask = r->m_disabled;
                error = r->m_reserved2;
            }
        }
        if (!found) {
            // An unassigned pin: nothing of an earlier document or read may stay in the row, and
            // an empty row is its unchanged state.
            row.Import(",,,", plat::FALSE);
            row.SetModifyFlg(plat::FALSE);
            m_lastSent[static_cast<std::size_t>(pin)] = RowSetting(pin);
            continue;
        }
        if (row.GetViewMode() == 1) {
            row.Import(line.c_str(), plat::TRUE);
            row.SetModifyFlg(plat::FALSE);
        }
        row.DisableControl(static_cast<plat::LONG>(mask));
        if (error == 0)
            row.SetStatus(static_cast<plat::LONG>(static_cast<std::uint32_t>(row.GetState()) & ~io::kRowError));
        m_lastSent[static_cast<std::size_t>(pin)] = RowSetting(pin);
    }
}

bool CViewIO::OnCollectViewData()
{
    for (int pin = 1; pin <= kPinCount; ++pin) {
        if (Row(pin).isValid() && Row(pin).GetViewMode() == 1)
            StoreRow(pin);
    }
    return true;
}

void CViewIO::OnDataReloaded(bool)
{
    loadRows();
}

void CViewIO::OnNewDocumentDone()
{
    loadRows();
}

// ---- Events of the rows ---------------------------------------------------------------------------

void CViewIO::onRowEvent(int controlId, comp::DISPID eventId, std::span<const comp::Variant> args)
{
    namespace ev = ctl::zrcn2;
    const int pin = controlId - kFirstRow;
    if (pin < 1 || pin > kPinCount)
        return;
    switch (eventId) {
    case ev::RButtonDown:
        onContextMenu(controlId);
        break;
    case ev::ABGCClick: {
        if (args.size() < 4)
            return;
        const std::string logic = io::ToggleLogic(args[1].toString(), IsInputPin(pin));
        if (char* buffer = static_cast<char*>(args[2].toUnknown()))
            std::snprintf(buffer, 64, "%s", logic.c_str());
        if (std::int32_t* accept = args[3].toPtrBool())
            *accept = 1;
        break;
    }
    case ev::Change: {
        const std::int32_t code = args.size() > 1 ? args[1].toI4() : 0;
        // After the screen was left its rows were stored already; a late deactivation sends nothing.
        if (!m_menuFlag || !(code == 255 || code == 1 || (code & 0x40)))
            return;
        SendPinSetting(pin);
        markDocumentModified();
        break;
    }
    case ev::CtrlHelp:
        showHelp(IsInputPin(pin) ? "D_IO_INPUT" : "D_IO_OUTPUT");
        if (args.size() > 2 && args[2].toPtrBool())
            *args[2].toPtrBool() = 1;
        break;
    case ev::ShowToolBars:
        showPinError(pin);
        break;
    default:
        break;
    }
}

void CViewIO::showPinError(int pin)
{
    std::uint32_t code = 0;
    if (pin >= 1 && pin <= kPinCount) {
        model::SharedLock lock(Store().GetDataMutex());
        if (const model::CN2PinRecord* r = Store().GetPinRecord(pin))
            code = static_cast<std::uint32_t>(r->m_reserved2);
    }
    if (code != 0)
        SetStatusText(this, QString::fromStdString(model::GetCommErrorText(code, plat::GetLanguage())));
    else
        SetStatusText(this, static_cast<const char*>(nullptr));
}

void CViewIO::showHelp(const char* anchor)
{
    const QString page = plat::IsJapanese() ? QStringLiteral("_RESOURCE/3_7_1_Control_I_O_edit_screen_j.htm")
                                            : QStringLiteral("_RESOURCE/3_7_1_Control_I_O_edit_screen.htm");
    m_host.ShowHelp(page, QString::fromLatin1(anchor));
}

void CViewIO::markDocumentModified()
{
    m_host.SetDocumentModified(true);
}

int CViewIO::focusedPin() const
{
    for (QWidget* w = QApplication::focusWidget(); w && w != m_form; w = w->parentWidget()) {
        if (auto* site = dynamic_cast<ControlSite*>(w)) {
            const int pin = site->controlId() - kFirstRow;
            return pin >= 1 && pin <= kPinCount ? pin : 0;
        }
    }
    return 0;
}

// ---- Menus -------------------------------------------------------------------------------------------

void CViewIO::addCommands()
{
    auto menuMask = [this] {
        const int pin = m_menuRow - kFirstRow;
        model::SharedLock lock(Store().GetDataMutex());
        const model::CN2PinRecord* r = pin >= 1 && pin <= kPinCount ? Store().GetPinRecord(pin) : nullptr;
        return r ? r->m_disabled : 0u;
    };
    m_commands.add(ID_IO_LOGIC_A, [this] { onLogicCommand("A"); });
    m_commands.add(ID_IO_LOGIC_B, [this] { onLogicCommand("B"); });
    m_commands.add(ID_IO_LOGIC_POSITIVE, [this] { onLogicCommand("P"); });
    m_commands.add(ID_IO_LOGIC_NEGATIVE, [this] { onLogicCommand("N"); });
    m_commands.add(ID_IO_RESET, [this] { onResetCommand(); },
                   [this, menuMask](plat::qt::CommandUpdate& u) { u.Enable(io::MenuRules(menuMask(), IsConnected()).reset); });
    m_commands.add(ID_IO_REFRESH, [this] { onRefreshCommand(); },
                   [this](plat::qt::CommandUpdate& u) { u.Enable(IsConnected()); });
    m_commands.add(ID_IO_COMMAND_WINDOW, [this] { onCommandWindow(); });
}

void CViewIO::onContextMenu(int controlId)
{
    const int pin = controlId - kFirstRow;
    CZRCN2 row = Row(pin);
    if (!row.isValid())
        return;
    std::uint32_t mask = 0;
    {
        model::SharedLock lock(Store().GetDataMutex());
        if (const model::CN2PinRecord* r = Store().GetPinRecord(pin))
            mask = r->m_disabled;
    }
    const bool input = IsInputPin(pin);
    QMenu menu;
    menu.setObjectName(QString::number(input ? 203 : 151));
    QMenu* logic = menu.addMenu(input ? tr("Polarity") : tr("Output logic"));
    auto bindItem = [this](QMenu* m, plat::UINT id, const QString& text) {
        QAction* a = m->addAction(text);
        a->setObjectName(QString::number(id));
        m_commands.bind(id, a);
    };
    if (input) {
        bindItem(logic, ID_IO_LOGIC_A, tr("&A"));
        bindItem(logic, ID_IO_LOGIC_B, tr("&B"));
    } else {
        bindItem(logic, ID_IO_LOGIC_POSITIVE, tr("&Positive"));
        bindItem(logic, ID_IO_LOGIC_NEGATIVE, tr("&Negative"));
    }
    logic->setEnabled(io::MenuRules(mask, IsConnected()).logic);
    bindItem(&menu, ID_IO_REFRESH, tr("Refresh(&U)"));
    bindItem(&menu, ID_IO_RESET, tr("Reset(&D)"));
    menu.addSeparator();
    bindItem(&menu, ID_IO_COMMAND_WINDOW, tr("Command &Window\tCtrl+W"));

    QWidget* rowWidget = row.site()->control() ? row.site()->control()->widget() : row.site();
    rowWidget->setFocus(Qt::OtherFocusReason);
    QPoint at = QCursor::pos();
    const QRect rowRect(rowWidget->mapToGlobal(QPoint(0, 0)), rowWidget->size());
    if (!rowRect.contains(at))
        at = QPoint(rowRect.right(), rowRect.center().y());

    m_menuRow = controlId;
    const bool wasArmed = m_menuFlag;
    m_menuFlag = false;
    const QPointer<CViewIO> self(this);
    m_commands.trackPopupMenu(menu, at);
    if (!self)
        return;
    rowWidget->update();
    // An Enter that chose the item must not reach the rows, where it would become Tabs.
    for (int i = 0; i < kWaitForEnterSteps && plat::qt::GetAsyncKeyState(plat::qt::VK_RETURN) < 0; ++i)
        plat::Sleep(kWaitForEnterStepMs);
    plat::qt::FlushPendingKeyInput();
    m_menuFlag = wasArmed && IsCurrentView();
}

void CViewIO::onLogicCommand(const char* logic)
{
    const int pin = m_menuRow - kFirstRow;
    CZRCN2 row = Row(pin);
    if (!row.isValid())
        return;
    if (row.GetSetten() != logic) {
        row.SetSetten(logic);
        SendPinSetting(pin);
        // A new logic is an edit of the document like any other.
        markDocumentModified();
    }
    if (QWidget* w = row.site()->control() ? row.site()->control()->widget() : nullptr)
        w->setFocus(Qt::OtherFocusReason);
}

void CViewIO::onResetCommand()
{
    const int pin = m_menuRow - kFirstRow;
    CZRCN2 row = Row(pin);
    if (!row.isValid())
        return;
    const auto& defaults = Store().m_pinDefaultTexts;
    const std::size_t slot = static_cast<std::size_t>(pin - 1);
    const std::string line = slot < defaults.size() ? defaults[slot] : std::string(",,,");
    row.Import(line.c_str(), plat::FALSE);
    row.SetModifyFlg(plat::TRUE);
    SendPinSetting(pin);
    markDocumentModified();
}

void CViewIO::onRefreshCommand()
{
    QueryPin(m_menuRow - kFirstRow);
    markDocumentModified();
}

void CViewIO::onCommandWindow()
{
    const int pin = m_menuRow - kFirstRow;
    CZRCN2 row = Row(pin);
    if (!row.isValid())
        return;
    const QString path = QStringLiteral("%1\\%2\\%3")
                             .arg(tr("Control I/O"), IsInputPin(pin) ? tr("Input") : tr("Output"),
                                  QString::fromStdString(row.GetName()));
    const std::string text = path.toStdString();
    plat::SendMessage(model::GetMainWindow(), WM_SHOW_COMMAND_WINDOW, 1, reinterpret_cast<plat::LPARAM>(text.c_str()));
}

// ---- Keys, mouse, drops ---------------------------------------------------------------------------

bool CViewIO::KeyFilter(const plat::qt::KeyInput& key)
{
    if (!m_menuFlag || key.vk != plat::qt::VK_RETURN)
        return false;
    auto* target = qobject_cast<QWidget*>(key.target);
    if (!target || !m_form->isAncestorOf(target))
        return false;
    bool inRow = false;
    for (QWidget* w = target; w && w != m_form; w = w->parentWidget())
        inRow = inRow || dynamic_cast<ControlSite*>(w) != nullptr;
    if (!inRow)
        return false;
    if (key.down) {
        plat::qt::SendKeyEvent(target, plat::qt::VK_TAB, true);
        plat::qt::SendKeyEvent(target, plat::qt::VK_TAB, false);
    }
    return true;
}

void CViewIO::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        showHelp("D_IO");
        event->accept();
        return;
    }
    CViewBase::keyPressEvent(event);
}

void CViewIO::mousePressEvent(QMouseEvent* event)
{
    // A right click on the screen itself opens nothing.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    CViewBase::mousePressEvent(event);
}

int CViewIO::pinAt(const QPoint& formPos) const
{
    for (QWidget* w = m_form->childAt(formPos); w && w != m_form; w = w->parentWidget()) {
        if (auto* site = dynamic_cast<ControlSite*>(w)) {
            const int pin = site->controlId() - kFirstRow;
            return pin >= 1 && pin <= kPinCount ? pin : 0;
        }
    }
    return 0;
}

bool CViewIO::dropAllowed(int pin, const QMimeData* data, bool entering) const
{
    if (pin == 0 || !data || !data->hasText())
        return false;
    std::uint32_t mask = 0;
    {
        model::SharedLock lock(Store().GetDataMutex());
        if (const model::CN2PinRecord* r = Store().GetPinRecord(pin))
            mask = r->m_disabled;
    }
    if (entering)
        return mask == 0;
    if ((mask & model::CN2PinRecord::kDisableFunction) || Row(pin).GetViewMode() != 1)
        return false;
    const std::string line = data->text().section(QLatin1Char('\n'), 0, 0).trimmed().toStdString();
    std::string letters, name, label;
    model::CZRParamData::ReadKeyFields(line, letters, name, label);
    return io::DropAccepts(letters, IsInputPin(pin));
}

void CViewIO::drop(int pin, const QMimeData* data)
{
    CZRCN2 row = Row(pin);
    std::uint32_t mask = 0;
    {
        model::SharedLock lock(Store().GetDataMutex());
        if (const model::CN2PinRecord* r = Store().GetPinRecord(pin))
            mask = r->m_disabled;
    }
    const std::string line = data->text().section(QLatin1Char('\n'), 0, 0).trimmed().toStdString();
    model::CZRParamData parameter(line);
    if (!(mask & model::CN2PinRecord::kDisableFunction))
        row.SetName(parameter.m_name.c_str());
    if (!(mask & model::CN2PinRecord::kDisableValue)) {
        const std::string value = parameter.GetValueText();
        row.SetData(value.empty() ? "0" : value.c_str());
    }
    SendPinSetting(pin);
    // A drop changes the pins as typing does: the document must offer to save them.
    markDocumentModified();
}

bool CViewIO::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_form)
        return CViewBase::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto* e = static_cast<QDragEnterEvent*>(event);
        if (!e->mimeData()->hasText())
            return false;
        // Taken so that moves follow; whether a row takes it is told per position.
        e->setDropAction(dropAllowed(pinAt(e->position().toPoint()), e->mimeData(), true) ? Qt::CopyAction
                                                                                            : Qt::IgnoreAction);
        e->accept();
        return true;
    }
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        if (dropAllowed(pinAt(e->position().toPoint()), e->mimeData(), false)) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const int pin = pinAt(e->position().toPoint());
        if (!dropAllowed(pin, e->mimeData(), false)) {
            e->ignore();
            return true;
        }
        e->setDropAction(Qt::CopyAction);
        e->accept();
        drop(pin, e->mimeData());
        return true;
    }
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
            return true;
        break;
    default:
        break;
    }
    return CViewBase::eventFilter(watched, event);
}

} // namespace talverin
