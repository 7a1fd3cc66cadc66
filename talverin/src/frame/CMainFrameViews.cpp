// The frame's screens: the registered ones made on their first switch, the switch itself, the
// menus a screen merges, the tool windows, the keyboard hook, and what the frame passes on to the
// current screen (drops, colour changes, its minimum size, reloads).
#include "frame/CMainFrame.h"

#include "frame/FrameProgram.h"
#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "connection/ConnectionRules.h"
#include "connection/DriverQueue.h"
#include "frame/CDebugDlg.h"
#include "frame/CStartDlg.h"
#include "frame/SwitchWait.h"
#include "screens/CViewBase.h"
#include "screens/TerminalWindowBase.h"
#include "connection/DriverConnection.h"

#include <model/CommandSupport.h>
#include <platform/clock.h>
#include <platform/messages.h>
#include <platform/qt/virtual_keys.h>
#include <zrcomm/zrcomm_api.h>

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStackedWidget>

#include <optional>

namespace talverin {

using plat::LPARAM;
using plat::LRESULT;
using plat::WPARAM;

// ---- Screens ----------------------------------------------------------------------------------

CViewBase* CMainFrame::GetView(int viewId) const
{
    for (const auto& [id, view] : m_views) {
        if (id == viewId)
            return view;
    }
    return nullptr;
}

std::vector<CViewBase*> CMainFrame::GetViews() const
{
    std::vector<CViewBase*> views;
    for (const ScreenEntry& registered : m_screens.Entries()) {
        if (CViewBase* view = GetView(registered.viewId))
            views.push_back(view);
    }
    // Screens put in without a registration come after the registered ones.
    for (const auto& [id, view] : m_views) {
        if (!m_screens.Contains(id))
            views.push_back(view);
    }
    return views;
}

CViewBase* CMainFrame::makeView(int viewId)
{
    const ScreenEntry* entry = m_screens.Find(viewId);
    CViewBase* made = nullptr;
    try {
        made = entry && entry->create ? entry->create(m_stack) : nullptr;
    } catch (...) {
        made = nullptr;
    }
    if (!made) {
        const QString name = entry && !entry->title.isEmpty() ? entry->title : QString::number(viewId);
        AppMessageBox(GetSafeHwnd(), tr("The screen \"%1\" could not be opened.").arg(name), tr("Screen"),
                      plat::MB_OK | plat::MB_ICONWARNING);
        return nullptr;
    }
    m_stack->addWidget(made);
    made->hide();
    m_views.emplace_back(viewId, made);
    return made;
}

void CMainFrame::AddView(CViewBase* view)
{
    if (!view || GetView(view->ViewId()))
        return;
    m_stack->addWidget(view);
    m_views.emplace_back(view->ViewId(), view);
}

bool CMainFrame::SwitchView(int viewId)
{
    if (m_switching || m_destroyed || (!m_screens.Contains(viewId) && !GetView(viewId)))
        return false;
    // Released on every way out: a switch that ends early, or is held for a driver step, must
    // not block the next one.
    m_switching = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{m_switching};

    DestroyStartDialog();
    if (viewId == m_currentView) {
        m_connection->EndHeldSwitch();
        return true;
    }
    // Made before anything changes: a screen that cannot be made leaves everything as it was.
    CViewBase* target = GetView(viewId);
    if (!target && !(target = makeView(viewId)))
        return false;
    // The driver's line is left empty for the screen that follows.
    if (m_currentView == VIEW_OSCILLO && m_terminalWindow && m_connection->GetPendingViewId() == 0)
        CurrentDriverQueue().sendText(m_terminalWindow->GetSafeHwnd(), "\r");
    switch (m_connection->SwitchConnectionSteps(viewId)) {
    case DriverConnection::SwitchStep::Held:
        return true;
    case DriverConnection::SwitchStep::Ended:
        return false;
    case DriverConnection::SwitchStep::Go:
        break;
    }
    // The waits from here on, the left screen's own among them, keep the window painted and
    // may be given up.
    std::optional<SwitchWait> wait(std::in_place, GetSafeHwnd());
    std::optional<model::ScopedQueueWatch> watch(std::in_place, [&wait] { return wait->keepWaiting(); });
    // Only the two editors with pending edits may keep the screen.
    CViewBase* left = GetView(m_currentView);
    const bool mayVeto = m_currentView == VIEW_IO || m_currentView == VIEW_CHANNEL;
    if (left && plat::SendMessage(left->GetSafeHwnd(), WM_VIEW_SWITCH, 0, viewId) == 0 && mayVeto)
        return false;
    if (m_connection->IsConnected())
        m_connection->m_connectionPhase = Phase::Connected;
    bool waited = !wait->cancelled();
    if (waited) {
        emit m_notices.viewSwitching(viewId);
        waited = model::WaitCommandQueue(GetSafeHwnd());
    }
    if (waited) {
        CurrentDriverQueue().setModeWhenDrained(GetSafeHwnd(), GetCommandModeForView(viewId),
                                                [&wait] { return wait->keepWaiting(); });
        waited = !wait->cancelled();
    }
    watch.reset();
    wait.reset();
    if (!waited) {
        // Given up by the user: the left screen is current again, in its own mode; what is
        // queued stays queued.
        emit m_notices.viewSwitching(m_currentView);
        CurrentDriverQueue().setCommandMode(GetCommandModeForView(m_currentView));
        if (left)
            plat::SendMessage(left->GetSafeHwnd(), WM_VIEW_SWITCH, 1, m_currentView);
        m_connection->ClearPendingView();
        return false;
    }
    unmergeMenus();
    mergeMenus(target);
    m_stack->setCurrentWidget(target);
    m_currentView = viewId;
    const ScreenEntry* entry = m_screens.Find(viewId);
    m_app.m_viewTitle = entry ? entry->title : QString();
    m_app.UpdateTitle(m_app.m_viewTitle, std::nullopt);
    plat::SendMessage(target->GetSafeHwnd(), WM_VIEW_SWITCH, 1, viewId);
    target->setFocus();
    m_connection->ClearPendingView();
    applyMinimumSize();
    return true;
}

void CMainFrame::OnScreenCommand(plat::UINT id)
{
    ScreenSwitchGuard::Hold hold = m_app.m_switchGuard.TryTake();
    const ScreenEntry* entry = m_screens.FindByCommand(id);
    if (!hold || !entry)
        return;
    SwitchView(entry->viewId);
    // The radio mark follows the current screen (its update rule), whatever the switch did.
    UpdateBars();
}

LRESULT CMainFrame::onCollectViewData()
{
    for (const int id : {VIEW_CHANNEL, VIEW_IO}) {
        if (CViewBase* view = GetView(id)) {
            if (plat::SendMessage(view->GetSafeHwnd(), WM_COLLECT_VIEW_DATA, 0, 0) == 0)
                return 0;
        }
    }
    return 1;
}

LRESULT CMainFrame::onDataReloaded(WPARAM wParam)
{
    // The samples stay while a switch reads all data.
    const WPARAM keep = wParam != 0 || m_connection->m_connectionPhase == Phase::SwitchReadAll ? 1 : 0;
    setUpdatesEnabled(false);
    emit m_notices.dataReloading();
    // Each screen reloads disabled (and the parameter screen hidden: its tree is rebuilt).
    for (CViewBase* view : GetViews()) {
        // Its own setting: the frame itself is disabled while the read before a save waits.
        const bool enabled = !view->testAttribute(Qt::WA_ForceDisabled);
        const bool hideIt = view->ViewId() == VIEW_PARAM && view->isVisible();
        view->setEnabled(false);
        if (hideIt)
            view->hide();
        plat::SendMessage(view->GetSafeHwnd(), WM_DATA_RELOADED, keep, 0);
        if (hideIt)
            view->show();
        view->setEnabled(enabled);
    }
    emit m_notices.dataReloaded(keep != 0);
    setUpdatesEnabled(true);
    update();
    return 0;
}

// ---- Menu merging -------------------------------------------------------------------------------

void CMainFrame::mergeMenus(CViewBase* view)
{
    const ScreenEntry* entry = m_screens.Find(view->ViewId());
    m_merged.Merge({menuBar(), m_fileMenu, m_printItem, m_editMenu}, *view, entry ? entry->title : QString());
}

void CMainFrame::unmergeMenus()
{
    m_merged.Undo({menuBar(), m_fileMenu, m_printItem, m_editMenu});
}

// ---- Tool windows -------------------------------------------------------------------------------

TerminalWindowBase* CMainFrame::TerminalWindow() const
{
    return m_terminalWindow.data();
}

CDebugDlg* CMainFrame::DebugWindow() const
{
    return m_debugDlg.data();
}

void CMainFrame::createToolWindows()
{
    if (!m_screens.TerminalWindow() || m_terminalWindow)
        return;
    TerminalWindowBase* window = nullptr;
    try {
        window = m_screens.TerminalWindow()(this);
    } catch (...) {
        window = nullptr;
    }
    if (!window)
        return;
    window->setWindowTitle(tr("Terminal window"));
    window->hide();
    m_terminalWindow = window;
    m_connection->SetTerminalWindow(window);
    placeTerminalWindow();
    m_connection->SetTerminalWritable(m_connection->IsConnected());
}

void CMainFrame::ShowTerminalWindow(bool show)
{
    if (!m_terminalWindow)
        return;
    m_terminalWindow->setVisible(show);
    if (show) {
        m_terminalWindow->raise();
        m_terminalWindow->FocusTerminal();
    }
    UpdateBars();
}

void CMainFrame::destroyToolWindows()
{
    unmergeMenus();
    delete m_terminalWindow.data();
    delete m_debugDlg.data();
}

// ---- Keyboard hook ------------------------------------------------------------------------------

void CMainFrame::installHook()
{
    m_hook = plat::qt::KeyboardHookChain::instance().install(
        this, [this](const plat::qt::KeyInput& key) { return KeyboardHookProc(key); });
}

bool CMainFrame::KeyboardHookProc(const plat::qt::KeyInput& key)
{
    if (m_destroyed || IsTransferDialogOpen())
        return false;
    const bool ctrl = key.modifiers.testFlag(Qt::ControlModifier);
    if (ctrl && key.down) {
        int digit = 0;
        if (key.vk >= '1' && key.vk <= '5')
            digit = static_cast<int>(key.vk - '0');
        else if (key.vk >= plat::qt::VK_NUMPAD(1) && key.vk <= plat::qt::VK_NUMPAD(5))
            digit = static_cast<int>(key.vk - plat::qt::VK_NUMPAD0);
        if (digit) {
            // Posted: the update rule decides when it arrives (a disabled screen command is dropped).
            plat::PostMessage(GetSafeHwnd(), plat::WM_COMMAND, ID_VIEW_OSCILLO + static_cast<WPARAM>(digit - 1), 0);
            return true;
        }
    }
    // Keys of the tool windows are theirs: the terminal window's own hook, next in the chain, takes
    // its Ctrl+C and Ctrl+V as Copy and Paste and lets every other key through.
    QWidget* target = qobject_cast<QWidget*>(key.target);
    if (m_terminalWindow && target && target->window() == m_terminalWindow.data())
        return false;
    // The current screen's filter, for keys that go to the frame.
    if (m_appActive && target && (target == this || isAncestorOf(target))) {
        if (CViewBase* view = GetView(m_currentView))
            return runEditKey(*view, key) || view->HandleHookKey(key);
    }
    return false;
}

bool CMainFrame::runEditKey(CViewBase& view, const plat::qt::KeyInput& key)
{
    // The Edit menu's keys run its command when the screen has one of its own, as the items do (a
    // disabled command is dropped, the key with it); elsewhere a text box takes the key itself.
    constexpr Qt::KeyboardModifiers others = Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!key.modifiers.testFlag(Qt::ControlModifier) || (key.modifiers & others))
        return false;
    plat::UINT id = 0;
    switch (key.vk) {
    case 'Z': id = ID_EDIT_UNDO; break;
    case 'X': id = ID_EDIT_CUT; break;
    case 'C': id = ID_EDIT_COPY; break;
    case 'V': id = ID_EDIT_PASTE; break;
    default: return false;
    }
    if (!view.Commands().contains(id))
        return false;
    if (key.down)
        m_commands.execute(id);
    return true;
}

// ---- Passed on to the current screen --------------------------------------------------------------

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if ((m_currentView == VIEW_CHANNEL || m_currentView == VIEW_TERMINAL) && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        QMainWindow::dragEnterEvent(event);
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    CViewBase* view = GetView(m_currentView);
    if (!view || !(m_currentView == VIEW_CHANNEL || m_currentView == VIEW_TERMINAL) || !event->mimeData()->hasUrls()) {
        QMainWindow::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    view->OnDropFiles(event->mimeData()->urls());
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::PaletteChange || m_destroyed)
        return;
    // The five screens follow the system colours (the blank one has none).
    for (CViewBase* view : GetViews()) {
        if (view->ViewId() != VIEW_BLANK)
            view->OnSysColorChange();
    }
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !m_destroyed) {
        m_activatedOnce = true;
        // The upload/download dialog stays in front of the frame while it runs.
        if (IsTransferDialogVisible()) {
            m_transferDialog->raise();
            m_transferDialog->activateWindow();
        }
    }
    return QMainWindow::event(event);
}

void CMainFrame::applyMinimumSize()
{
    CViewBase* view = GetView(m_currentView);
    const QSize minimum = view ? view->MinimumClientSize() : QSize();
    m_stack->setMinimumSize(minimum.isValid() ? minimum : QSize(0, 0));
    if (isMaximized() || isFullScreen() || !isVisible())
        return;
    // Grown to fit, within the work area of its screen.
    const QSize need = minimumSizeHint().expandedTo(minimumSize());
    if (width() >= need.width() && height() >= need.height())
        return;
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    QRect frame = geometry();
    frame.setSize(frame.size().expandedTo(need));
    if (screen) {
        const QRect area = screen->availableGeometry();
        frame.setWidth(std::min(frame.width(), area.width()));
        frame.setHeight(std::min(frame.height(), area.height()));
        frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() - frame.width() + 1));
        frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() - frame.height() + 1));
    }
    setGeometry(frame);
}

} // namespace talverin
