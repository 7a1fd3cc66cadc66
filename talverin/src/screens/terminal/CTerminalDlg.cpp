#include "screens/terminal/CTerminalDlg.h"

#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "connection/DriverQueue.h"
#include "controlhost/ControlSite.h"
#include "controlhost/FormBuilder.h"
#include "controlhost/ScreenEvents.h"
#include "screens/ScreenHost.h"
#include "screens/ScreenRegistry.h"

#include <controls/ZRTERMEDMembers.h>
#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <platform/language.h>
#include <platform/messages.h>
#include <platform/qt/window_bridge.h>
#include <zrcomm/zrcomm_api.h>

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace talverin {

namespace {

bool Connected()
{
    return CurrentDriverQueue().isConnected();
}

} // namespace

CTerminalDlg::CTerminalDlg(TerminalHost host, QWidget* parent)
    : TerminalWindowBase(parent), m_host(std::move(host)), m_link([this](int ch) {
          if (m_host.setLineClean)
              m_host.setLineClean(ch == '\r');
          return true;
      })
{
    setObjectName(QString::number(IDD));
    setModal(false);
    setWindowTitle(tr("Terminal window"));
    setMinimumSize(kMinimumTrackSize, kMinimumTrackSize);
    m_bridge = std::make_unique<plat::qt::WindowBridge>(
        this, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) { return WindowProc(m, w, l); });
    m_sinks = MakeEventSinkMap(TerminalDlgEvents(), [this](const EventSubscription& e, int, std::span<const comp::Variant> args) {
        if (e.eventId == ctl::zrtermed::KeyEnter)
            m_link.SendChar('\r');
        else if (e.eventId == ctl::zrtermed::OnChar && !args.empty())
            m_link.SendChar(args[0].toI4());
    });
    BuildForm(this, IDD, &m_sinks);
    m_link.Attach(GetSafeHwnd(), ControlSite::find(this, IDC_TERMINAL));
    m_link.Show(tr("Warning: Cannot measure when using terminal window.").toStdString() + "\r\n");
    buildCommands();
    // Taken before the box sees them, which would send them as characters 3 and 22.
    m_keyHook = plat::qt::KeyboardHookChain::instance().install(
        this, [this](const plat::qt::KeyInput& key) { return HandleHookKey(key); });
}

CTerminalDlg::~CTerminalDlg() = default;

plat::HWND CTerminalDlg::GetSafeHwnd() const
{
    return m_bridge->hwnd();
}

QPlainTextEdit* CTerminalDlg::TerminalEdit() const
{
    ControlSite* site = m_link.BoxSite();
    return site && site->control() ? qobject_cast<QPlainTextEdit*>(site->control()->widget()) : nullptr;
}

void CTerminalDlg::buildCommands()
{
    const auto connected = [](plat::qt::CommandUpdate& u) { u.Enable(Connected()); };
    m_commands.add(CViewTerminal::ID_EDIT_PASTE, [this] { m_link.StartPaste(); },
                   [this](plat::qt::CommandUpdate& u) { u.Enable(!m_link.IsPasting() && Connected()); });
    m_commands.add(CViewTerminal::ID_EDIT_COPY, [this] { if (QPlainTextEdit* e = TerminalEdit()) e->copy(); }, connected);
    m_commands.add(CViewTerminal::ID_EDIT_CUT, [this] { if (QPlainTextEdit* e = TerminalEdit()) e->cut(); }, connected);
}

plat::LRESULT CTerminalDlg::WindowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam)
{
    if (message == WM_COMM_TEXT) {
        if (wParam == COMM_EVENT_WRITE_FAILED) {
            m_link.Show(tr("Talverin:Send Timeout.").toStdString() + "\r\n");
            m_link.StopPaste();
            // The frame reports the failure and disconnects.
            plat::PostMessage(model::GetMainWindow(), WM_COMM_ERROR, COMM_EVENT_WRITE_FAILED, comm_error::kDisconnect);
        } else if (wParam == COMM_EVENT_TEXT_RECEIVED) {
            m_link.ShowReceived();
            m_link.PasteStep();
        }
        return 0;
    }
    if (message == plat::WM_COMMAND)
        return m_commands.handleCommandMessage(wParam, lParam) ? 1 : 0;
    return 0;
}

bool CTerminalDlg::HandleHookKey(const plat::qt::KeyInput& key)
{
    constexpr Qt::KeyboardModifiers others = Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;
    if (key.down && key.vk == plat::qt::VK_ESCAPE && !(key.modifiers & (others | Qt::ControlModifier))) {
        // Escape closes the window, as Cancel does; the box would send it as character 27.
        const auto* widget = qobject_cast<const QWidget*>(key.target);
        if (!widget || widget->window() != this)
            return false;
        reject();
        return true;
    }
    if (!key.down || !(key.modifiers & Qt::ControlModifier) || (key.modifiers & others)
        || (key.vk != 'C' && key.vk != 'V'))
        return false;
    const auto* widget = qobject_cast<const QWidget*>(key.target);
    if (!widget || widget->window() != this)
        return false;
    // A disabled command is dropped, as the frame drops a disabled menu command.
    m_commands.execute(key.vk == 'C' ? CViewTerminal::ID_EDIT_COPY : CViewTerminal::ID_EDIT_PASTE);
    return true;
}

void CTerminalDlg::reject()
{
    hide();
    if (m_host.windowHidden)
        m_host.windowHidden();
}

void CTerminalDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (ControlSite* box = m_link.BoxSite()) {
        // The box keeps its top-left corner and reaches the right and bottom edges.
        box->place(QRect(box->pos(), QPoint(width() - 1, height() - 1)));
        FocusTerminal();
    }
}

void CTerminalDlg::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FocusTerminal();
    QDialog::changeEvent(event);
}

void CTerminalDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        if (m_host.showHelp)
            m_host.showHelp(plat::IsJapanese() ? QStringLiteral("_RESOURCE/3_C_1_Terminal_window_screen_j.htm")
                                               : QStringLiteral("_RESOURCE/3_C_1_Terminal_window_screen.htm"),
                            QStringLiteral("D_TERMINA_DLG"));
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTerminalDlg::FocusTerminal()
{
    if (QPlainTextEdit* e = TerminalEdit())
        e->setFocus(Qt::OtherFocusReason);
}

void CTerminalDlg::SetTerminalReadOnly(bool readOnly)
{
    // The frame makes the box read-only when the line goes: no echo will pace a paste any more,
    // and the window hears of the connection from nothing else.
    if (readOnly)
        m_link.StopPaste();
    Terminal().SetReadOnly(readOnly ? plat::TRUE : plat::FALSE);
}

void RegisterTerminalScreen(ScreenHost& host)
{
    auto terminalHost = [&host] {
        TerminalHost terminal;
        terminal.showHelp = [&host](const QString& page, const QString& anchor) { host.ShowHelp(page, anchor); };
        terminal.setLineClean = [&host](bool clean) { host.Store().m_lineClean = clean ? 1 : 0; };
        terminal.windowHidden = [&host] { host.UpdateBars(); };
        return terminal;
    };
    host.Screens().Register({VIEW_TERMINAL, QCoreApplication::translate("talverin::CMainFrame", "Terminal"),
                             ID_VIEW_TERMINAL, 1,
                             [terminalHost](QWidget* parent) { return new CViewTerminal(terminalHost(), parent); }});
    // The terminal window, made with the frame.
    host.Screens().SetTerminalWindow(
        [terminalHost](QWidget* parent) { return new CTerminalDlg(terminalHost(), parent); });
}

} // namespace talverin
