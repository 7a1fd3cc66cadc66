// The frame's bars, its Setting menu with the ports, the start screen and the command bar's sends.
#include "frame/CMainFrame.h"

#include "connection/DriverConnection.h"
#include "connection/DriverQueue.h"
#include "frame/FrameProgram.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "frame/CCommandBar.h"
#include "frame/CConnectionBar.h"
#include "frame/CStartDlg.h"
#include "frame/PortMenu.h"
#include "frame/StartScreenRules.h"
#include "screens/CViewBase.h"

#include <model/CommandSupport.h>
#include <platform/clock.h>
#include <platform/messages.h>
#include <zrcomm/zrcomm_api.h>

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace talverin {

using plat::LPARAM;
using plat::LRESULT;
using plat::WPARAM;

void CMainFrame::buildSettingMenu()
{
    m_settingMenu = InsertMenu(tr("Setting(&C)"), m_helpMenu);
    m_settingMenu->setObjectName(QStringLiteral("SettingMenu"));
    m_connectItem = AddCommand(m_settingMenu, ID_CONNECT, tr("Connect"));
    AddCommand(m_settingMenu, ID_DISCONNECT, tr("Disconnect"));
    m_settingMenu->addSeparator();
    QMenu* ports = m_settingMenu->addMenu(tr("Communication setting"));
    ports->setObjectName(QStringLiteral("PortMenu"));
    QMenu* lock = m_settingMenu->addMenu(tr("Password lock"));
    lock->setObjectName(QStringLiteral("LockMenu"));
    // One radio pair; the connection code's update rules keep its check.
    auto* lockGroup = new QActionGroup(lock);
    for (const plat::UINT id : {ID_LOCK_ENABLE, ID_LOCK_DISABLE}) {
        QAction* item = AddCommand(lock, id, id == ID_LOCK_ENABLE ? tr("Enable") : tr("Disable"));
        item->setCheckable(true);
        item->setChecked(id == ID_LOCK_DISABLE);
        lockGroup->addAction(item);
    }
    m_ports = std::make_unique<PortMenu>(
        m_commands,
        [this](QMenu* menu, plat::UINT id, const QString& text, QAction* before) {
            return AddCommand(menu, id, text, {}, before);
        },
        [this] { return !IsTransferDialogVisible() && !m_connection->IsConnected(); }, GetSafeHwnd(), m_app.m_dataFile,
        m_app.m_settingsPath, ports, m_connectItem);
}

void CMainFrame::createBars()
{
    m_connectionBar = new CConnectionBar(GetSafeHwnd(), [this] { return m_app.m_transferRunning != 0; }, this);
    addToolBar(Qt::TopToolBarArea, m_connectionBar);
    m_commands.bind(IDC_BAR_CONNECT, m_connectionBar->ConnectAction());
    m_commands.bind(IDC_BAR_DISCONNECT, m_connectionBar->DisconnectAction());
    if (m_app.m_extBarPresent) {
        m_commandBar = new CCommandBar(m_app.m_extBar, this);
        // A row of its own: beside the tool and connection bars a 710-pixel frame has room for
        // one button; a saved layout, restored after this, still puts the bar where the user left it.
        addToolBarBreak(Qt::TopToolBarArea);
        addToolBar(Qt::TopToolBarArea, m_commandBar);
        for (int i = 0; i < CCommandBar::kButtonCount; ++i)
            m_commands.bind(IDC_COMMAND_FIRST + i, m_commandBar->Action(i));
    }
    addBarCommands();
    m_ports->Build();

    m_messages.Set(WM_SHOW_START_DIALOG, [this](WPARAM, LPARAM) {
        ShowStartDialog();
        return LRESULT{0};
    });
    m_messages.Set(WM_START_CHOICE, [this](WPARAM, LPARAM l) { return onStartChoice(l); });
    m_messages.Set(WM_COMMAND_TOOL_REPLY, [this](WPARAM w, LPARAM l) { return OnCommandToolReply(w, l); });
    UpdateBars();
}

void CMainFrame::addBarCommands()
{
    // Each button stands for a menu command; greyed while that command has no handler.
    auto barUsable = [this] { return !m_connection->m_baudChangeBusy && !IsTransferDialogOpen(); };
    m_commands.add(
        IDC_BAR_CONNECT, [this] { plat::PostMessage(GetSafeHwnd(), plat::WM_COMMAND, ID_CONNECT, 0); },
        [this, barUsable](plat::qt::CommandUpdate& u) {
            u.Enable(m_commands.contains(ID_CONNECT) && barUsable() && m_connection->m_connectionPhase == Phase::Idle);
        });
    m_commands.add(
        IDC_BAR_DISCONNECT, [this] { plat::PostMessage(GetSafeHwnd(), plat::WM_COMMAND, ID_DISCONNECT, 0); },
        [this, barUsable](plat::qt::CommandUpdate& u) {
            const Phase phase = m_connection->m_connectionPhase;
            u.Enable(m_commands.contains(ID_DISCONNECT) && barUsable() && phase != Phase::Idle &&
                     phase != Phase::Closing && phase != Phase::Disconnecting);
        });
    if (!m_commandBar)
        return;
    m_commands.addRange(
        IDC_COMMAND_FIRST, IDC_COMMAND_LAST, [this](plat::UINT id) { OnCommandBarCommand(id); },
        [this](plat::qt::CommandUpdate& u) {
            u.Enable(commandBarButtonEnabled(static_cast<int>(u.id() - IDC_COMMAND_FIRST)));
        });
}

bool CMainFrame::commandBarButtonEnabled(int index) const
{
    // Hidden behind an open upload/download dialog, the buttons keep what they show.
    if (IsTransferDialogOpen() && !IsTransferDialogVisible())
        return m_commandBar->Action(index)->isEnabled();
    return m_commandBar->HasCommand(index) && m_connectionBar->GetDisplayState() == CConnectionBar::kConnected &&
           !m_connection->m_baudChangeBusy && !IsTransferDialogOpen() && !m_switching && !IsHoldingStep(m_connection->m_connectionPhase);
}

void CMainFrame::destroyBars()
{
    delete m_commandBar;
    m_commandBar = nullptr;
    delete m_connectionBar;
    m_connectionBar = nullptr;
}

bool CMainFrame::IsTransferDialogVisible() const
{
    return m_transferDialog && m_transferDialog->isVisible();
}

void CMainFrame::UpdateBars()
{
    m_commands.refresh();
}

// ---- What the connection asks of the bars and ports ------------------------------------------------

plat::UINT CMainFrame::CheckedPortId() const
{
    return m_ports->CheckedId();
}

PortRecord* CMainFrame::CheckedPortRecord()
{
    return m_ports->List().Find(m_ports->CheckedName().toStdString());
}

plat::HWND CMainFrame::MonitorWindow() const
{
    return m_connectionBar->GetSafeHwnd();
}

void CMainFrame::SetBarState(int state)
{
    if (m_connectionBar)
        m_connectionBar->SetDisplayState(state);
}

void CMainFrame::RepaintBar()
{
    if (m_connectionBar)
        m_connectionBar->Repaint();
}

plat::HWND CMainFrame::CommandBarHandle() const
{
    return m_commandBar ? m_commandBar->GetSafeHwnd() : nullptr;
}

void CMainFrame::ClearCommandBar()
{
    if (m_commandBar)
        m_commandBar->ClearStates();
}

QWidget* CMainFrame::TransferDialog() const
{
    return m_transferDialog.data();
}

// ---- Start screen ------------------------------------------------------------------------------

void CMainFrame::ShowStartDialog()
{
    if (m_destroyed)
        return;
    if (!m_startDlg)
        m_startDlg = std::make_unique<CStartDlg>(
            m_app, *this, [this](const QString& page, const QString& anchor) { ShowHelp(page, anchor); });
    m_startDlg->Open();
}

void CMainFrame::DestroyStartDialog()
{
    if (!m_startDlg)
        return;
    m_startDlg->Dismiss();
    m_startDlg.reset();
    setEnabled(true);
}

LRESULT CMainFrame::onStartChoice(LPARAM choice)
{
    if (const plat::UINT command = StartChoiceCommand(choice))
        plat::PostMessage(GetSafeHwnd(), plat::WM_COMMAND, command, 0);
    DestroyStartDialog();
    setEnabled(true);
    return 0;
}

// ---- Command bar -------------------------------------------------------------------------------

void CMainFrame::OnCommandBarCommand(plat::UINT id)
{
    ScreenSwitchGuard::Hold hold = m_app.m_switchGuard.TryTake();
    if (!hold || !m_commandBar)
        return;
    const int index = static_cast<int>(id - IDC_COMMAND_FIRST);
    const std::string text = m_commandBar->CommandText(index);
    const auto tag = static_cast<std::intptr_t>(CCommandBar::kFirstTag + index);
    CCommandBar& bar = *m_commandBar;
    const bool terminal = m_currentView == VIEW_TERMINAL;
    if (!terminal) {
        bar.m_busy = false;
        bar.SetState(index, 0);
        const CommandId command = CurrentDriverQueue().sendTopLevelCommandText(GetSafeHwnd(), text, tag);
        bar.SetCommandId(index, command);
        bar.SetState(index, command ? 1 : 0);
        plat::Sleep(10);
    } else {
        // The terminal writes direct text: the command waits for command mode, then the
        // terminal gets its mode back once the queue has drained.
        CViewBase* screen = GetView(VIEW_TERMINAL);
        if (screen)
            screen->setEnabled(false);
        bar.setEnabled(false);
        bar.m_busy = true;
        DriverQueue& queue = CurrentDriverQueue();
        queue.setCommandMode(0);
        plat::Sleep(10);
        const CommandId command = queue.sendTopLevelCommandText(GetSafeHwnd(), text, tag);
        bar.SetCommandId(index, command);
        if (command) {
            bar.SetState(index, 1);
            model::WaitCommandQueue(GetSafeHwnd());
            // Bounded, and never once the line is lost or the port closed: the mode cannot
            // change then and the terminal would stay disabled.
            queue.setModeWhenDrained(GetSafeHwnd(), 1);
        }
        if (m_commandBar) {
            bar.SetState(index, 0);
            bar.setEnabled(true);
            bar.m_busy = false;
        }
        if (screen && GetView(VIEW_TERMINAL) == screen)
            screen->setEnabled(true);
    }
    if (!terminal) {
        if (CViewBase* view = GetView(m_currentView))
            view->setFocus();
    }
    plat::Sleep(10);
}

LRESULT CMainFrame::OnCommandToolReply(WPARAM tag, LPARAM value)
{
    const auto counts = static_cast<std::uint32_t>(value);
    if (tag != 0 || !m_commandBar || counts == 0 || (counts & 0xFFFF) == (counts >> 16))
        return 0;
    // Records were removed: buttons whose command went are idle again.
    for (int i = 0; i < CCommandBar::kButtonCount; ++i) {
        if (CCommandBar::IsRunningState(m_commandBar->GetState(i)) &&
            CurrentDriverQueue().commandState(m_commandBar->GetCommandId(i)) == COMM_ERR_NO_COMMAND)
            plat::SendMessage(m_commandBar->GetSafeHwnd(), WM_COMMAND_TOOL_REPLY,
                              CCommandBar::kFirstTag + static_cast<WPARAM>(i), 0);
    }
    return 0;
}

} // namespace talverin
