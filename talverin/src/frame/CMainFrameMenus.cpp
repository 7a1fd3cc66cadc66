// The frame's menu bar, tool bar and status bar, and the update rules of its commands.
#include "frame/CMainFrame.h"

#include "frame/FrameProgram.h"
#include "common/DocumentAccess.h"
#include "frame/RecentFileList.h"
#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "common/WidgetHelpers.h"
#include "frame/CCommandBar.h"
#include "frame/CConnectionBar.h"
#include "frame/CDebugDlg.h"
#include "screens/CViewBase.h"
#include "screens/TerminalWindowBase.h"
#include "connection/DriverConnection.h"

#include <platform/message_box.h>
#include <platform/messages.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QToolBar>

namespace talverin {

using plat::LPARAM;
using plat::LRESULT;
using plat::WPARAM;
using plat::qt::CommandUpdate;

namespace {

// The focused text widget the base Edit items work on (null: none).
QWidget* focusedText()
{
    QWidget* focus = QApplication::focusWidget();
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QPlainTextEdit*>(focus) || qobject_cast<QTextEdit*>(focus))
        return focus;
    return nullptr;
}

bool textReadOnly(QWidget* w)
{
    if (auto* line = qobject_cast<QLineEdit*>(w))
        return line->isReadOnly();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        return plain->isReadOnly();
    if (auto* rich = qobject_cast<QTextEdit*>(w))
        return rich->isReadOnly();
    return true;
}

bool textHasSelection(QWidget* w)
{
    if (auto* line = qobject_cast<QLineEdit*>(w))
        return line->hasSelectedText();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        return plain->textCursor().hasSelection();
    if (auto* rich = qobject_cast<QTextEdit*>(w))
        return rich->textCursor().hasSelection();
    return false;
}

void runTextEdit(QWidget* w, plat::UINT id)
{
    auto apply = [id](auto* edit) {
        switch (id) {
        case ID_EDIT_UNDO: edit->undo(); break;
        case ID_EDIT_CUT: edit->cut(); break;
        case ID_EDIT_COPY: edit->copy(); break;
        case ID_EDIT_PASTE: edit->paste(); break;
        default: break;
        }
    };
    if (auto* line = qobject_cast<QLineEdit*>(w))
        apply(line);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        apply(plain);
    else if (auto* rich = qobject_cast<QTextEdit*>(w))
        apply(rich);
}

} // namespace

// ---- Menus ------------------------------------------------------------------------------------

QMenu* CMainFrame::InsertMenu(const QString& title, QMenu* before)
{
    auto* menu = new QMenu(title, this);
    menuBar()->insertMenu(before ? before->menuAction() : nullptr, menu);
    m_commands.attach(menu);
    // Merged items belong to the current screen's table.
    connect(menu, &QMenu::aboutToShow, this, [this] { refreshScreenCommands(); });
    return menu;
}

QAction* CMainFrame::AddCommand(QMenu* menu, plat::UINT id, const QString& text, const QKeySequence& shortcut,
                                QAction* before)
{
    auto* action = new QAction(text, menu);
    action->setObjectName(QString::number(id));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        addAction(action); // the shortcut works with the menu closed
    }
    menu->insertAction(before, action);
    m_commands.bind(id, action);
    return action;
}

void CMainFrame::buildMenus()
{
    m_fileMenu = InsertMenu(tr("File(&F)"), nullptr);
    m_fileMenu->setObjectName(QStringLiteral("FileMenu"));
    AddCommand(m_fileMenu, ID_FILE_NEW, tr("&New..."), QKeySequence(Qt::CTRL | Qt::Key_N));
    AddCommand(m_fileMenu, ID_FILE_OPEN, tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    AddCommand(m_fileMenu, ID_FILE_SAVE, tr("&Save"));
    AddCommand(m_fileMenu, ID_FILE_SAVE_AS, tr("Save &As..."));
    m_fileMenu->addSeparator();
    AddCommand(m_fileMenu, ID_UPLOAD, tr("&Upload (Driver -> PC)"));
    AddCommand(m_fileMenu, ID_DOWNLOAD, tr("&DownLoad (PC -> Driver)"));
    m_fileMenu->addSeparator();
    m_printItem = AddCommand(m_fileMenu, ID_FILE_PRINT, tr("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    AddCommand(m_fileMenu, ID_FILE_PRINT_PREVIEW, tr("Print Pre&view"));
    m_fileMenu->addSeparator();
    m_recentSeparator = m_fileMenu->addSeparator();
    AddCommand(m_fileMenu, ID_START_OLD_VERSION, tr("Start Talverin Ver1"));
    m_fileMenu->addSeparator();
    AddCommand(m_fileMenu, ID_APP_EXIT, tr("E&xit"));

    buildEditMenu();
    buildViewMenu();

    m_helpMenu = InsertMenu(tr("Help(&H)"), nullptr);
    m_helpMenu->setObjectName(QStringLiteral("HelpMenu"));
    AddCommand(m_helpMenu, ID_HELP_INDEX, tr("&Topic"));
    AddCommand(m_helpMenu, ID_HELP_FINDER, tr("&Search"));
    m_helpMenu->addSeparator();
    AddCommand(m_helpMenu, ID_APP_ABOUT, tr("&About KVX Talverin..."));

    m_app.RecentFiles().SetOnChanged([this] { rebuildRecentFiles(); });
    rebuildRecentFiles();
}

void CMainFrame::buildEditMenu()
{
    // Exactly five base items: a screen's items are appended after them and taken out again.
    m_editMenu = InsertMenu(tr("Edit(&E)"), nullptr);
    m_editMenu->setObjectName(QStringLiteral("EditMenu"));
    AddCommand(m_editMenu, ID_EDIT_UNDO, tr("&Undo\tCtrl+Z"));
    m_editMenu->addSeparator();
    AddCommand(m_editMenu, ID_EDIT_CUT, tr("Cu&t\tCtrl+X"));
    AddCommand(m_editMenu, ID_EDIT_COPY, tr("&Copy\tCtrl+C"));
    AddCommand(m_editMenu, ID_EDIT_PASTE, tr("&Paste\tCtrl+V"));
}

void CMainFrame::buildViewMenu()
{
    m_viewMenu = InsertMenu(tr("View(&V)"), nullptr);
    m_viewMenu->setObjectName(QStringLiteral("ViewMenu"));
    AddCommand(m_viewMenu, ID_VIEW_CONNECTION_BAR, tr("Connection tool"));
    AddCommand(m_viewMenu, ID_VIEW_COMMAND_BAR, tr("Command tool"));
    m_viewMenu->addSeparator();
    // Ctrl+1-5 are the keyboard hook's: the captions only show them.
    const std::pair<plat::UINT, QString> screens[] = {
        {ID_VIEW_OSCILLO, tr("Oscilloscope\tCtrl+1")},         {ID_VIEW_IO, tr("Edit control I/O\tCtrl+2")},
        {ID_VIEW_PARAM, tr("Edit parameter\tCtrl+3")},         {ID_VIEW_CHANNEL, tr("Edit channel programs\tCtrl+4")},
        {ID_VIEW_TERMINAL, tr("Terminal\tCtrl+5")},
    };
    for (const auto& [id, text] : screens)
        AddCommand(m_viewMenu, id, text);
    m_viewMenu->addSeparator();
    AddCommand(m_viewMenu, ID_COMMAND_WINDOW, tr("Command Window"), QKeySequence(Qt::CTRL | Qt::Key_W));
    AddCommand(m_viewMenu, ID_TERMINAL_WINDOW, tr("Terminal Window"), QKeySequence(Qt::CTRL | Qt::Key_M));
    AddCommand(m_viewMenu, ID_DEBUG_WINDOW, tr("Debug Window"));
}

void CMainFrame::buildToolBar()
{
    m_toolBar = new QToolBar(tr("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("128"));
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    QStyle* style = m_toolBar->style();
    auto button = [this](plat::UINT id, const QIcon& icon, const QString& text) {
        QAction* action = m_toolBar->addAction(icon, text);
        action->setObjectName(QString::number(id));
        action->setToolTip(text);
        m_commands.bind(id, action);
    };
    button(ID_FILE_NEW, style->standardIcon(QStyle::SP_FileIcon), tr("New"));
    button(ID_FILE_OPEN, style->standardIcon(QStyle::SP_DialogOpenButton), tr("Open"));
    button(ID_FILE_SAVE, style->standardIcon(QStyle::SP_DialogSaveButton), tr("Save"));
    button(ID_FILE_PRINT, style->standardIcon(QStyle::SP_FileDialogDetailedView), tr("Print"));
    m_toolBar->addSeparator();
    button(ID_CONNECT, style->standardIcon(QStyle::SP_MediaPlay), tr("Connect"));
    button(ID_DISCONNECT, style->standardIcon(QStyle::SP_MediaStop), tr("Disconnect"));
    m_toolBar->addSeparator();
    const std::pair<plat::UINT, QString> screens[] = {
        {ID_VIEW_OSCILLO, tr("Oscilloscope")}, {ID_VIEW_IO, tr("Edit control I/O")},
        {ID_VIEW_PARAM, tr("Edit parameter")}, {ID_VIEW_CHANNEL, tr("Edit channel programs")},
        {ID_VIEW_TERMINAL, tr("Terminal")},
    };
    // Captioned with the digits of Ctrl+1-5, the screens' names as tips.
    // Their own radio group: one group with the View menu's items would keep only one of the
    // two marks.
    auto* group = new QActionGroup(m_toolBar);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    int digit = 1;
    for (const auto& [id, text] : screens) {
        button(id, QIcon(), QString::number(digit++));
        m_toolBar->actions().back()->setToolTip(text);
        group->addAction(m_toolBar->actions().back());
    }
    m_commands.attach(m_toolBar);
}

void CMainFrame::buildStatusBar()
{
    m_messagePane = new QLabel(this);
    m_messagePane->setObjectName(QStringLiteral("MessagePane"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(m_messagePane, 1);
    m_messagePane->setText(QCoreApplication::translate("SetStatusText", "For Help, press F1"));
}

LRESULT CMainFrame::onSetStatusText(WPARAM pane, LPARAM record)
{
    if (pane != 0 || !m_messagePane)
        return 0;
    const auto* status = reinterpret_cast<const StatusTextRecord*>(record);
    m_messagePane->setText(status && status->text ? QString::fromUtf8(status->text)
                                                  : QCoreApplication::translate("SetStatusText", "For Help, press F1"));
    return 1;
}

void CMainFrame::finishMenus()
{
    // Items that do not apply to this installation go from the menu.
    auto removeItem = [this](plat::UINT id) {
        for (QMenu* menu : {m_fileMenu, m_viewMenu}) {
            for (QAction* action : menu->actions()) {
                if (plat::qt::CommandTable::commandOf(action) == id)
                    delete action;
            }
        }
    };
    if (m_app.m_dataFile.m_debug != 1)
        removeItem(ID_DEBUG_WINDOW);
    if (!m_commandBar)
        removeItem(ID_VIEW_COMMAND_BAR);
    if (!m_app.m_oldProgramVersion.empty()) {
        for (QAction* action : m_fileMenu->actions()) {
            if (plat::qt::CommandTable::commandOf(action) == ID_START_OLD_VERSION)
                action->setText(tr("Start Talverin Ver%1").arg(QString::fromStdString(m_app.m_oldProgramVersion)));
        }
    }
}

void CMainFrame::rebuildRecentFiles()
{
    for (QAction* action : m_recentActions)
        delete action;
    m_recentActions.clear();
    const auto& paths = m_app.RecentFiles().Paths();
    if (paths.empty()) {
        m_recentActions.push_back(AddCommand(m_fileMenu, ID_FILE_MRU_FILE1, tr("Recent File"), {}, m_recentSeparator));
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        QString path = QString::fromStdString(paths[i]);
        path.replace(QLatin1Char('&'), QLatin1String("&&"));
        const auto id = static_cast<plat::UINT>(ID_FILE_MRU_FILE1 + i);
        m_recentActions.push_back(
            AddCommand(m_fileMenu, id, QStringLiteral("&%1 %2").arg(i + 1).arg(path), {}, m_recentSeparator));
    }
    m_commands.refresh(m_fileMenu);
}

// ---- Update rules -------------------------------------------------------------------------------

FrameSnapshot CMainFrame::Snapshot() const
{
    FrameSnapshot s;
    s.startScreenOpen = m_startDlg != nullptr;
    s.phase = m_connection->m_connectionPhase;
    s.currentView = m_currentView;
    s.transferOpen = IsTransferDialogOpen();
    s.transferVisible = IsTransferDialogVisible();
    s.switching = m_switching || m_app.m_switchGuard.IsBusy();
    if (CViewBase* scope = GetView(VIEW_OSCILLO)) {
        s.oscilloExists = true;
        s.captureState = scope->CaptureState();
    }
    s.debugFlag = m_app.m_dataFile.m_debug == 1;
    s.oldVersionFound = !m_app.m_oldProgramPath.empty();
    s.terminalWindowExists = m_terminalWindow;
    s.terminalWindowVisible = m_terminalWindow && m_terminalWindow->isVisible();
    s.connectionBarVisible = m_connectionBar && !m_connectionBar->isHidden();
    s.commandBarVisible = m_commandBar && !m_commandBar->isHidden();
    for (const ScreenEntry& entry : m_screens.Entries()) {
        if (entry.command)
            s.screenCommands.push_back(entry.command);
    }
    if (const ScreenEntry* current = m_screens.Find(m_currentView))
        s.currentScreenCommand = current->command;
    return s;
}

plat::qt::CommandTable::UpdateRule CMainFrame::CommandRule()
{
    return [this](CommandUpdate& u) {
        const FrameCommandState state = FrameCommandRule(u.id(), Snapshot());
        u.Enable(state.enabled);
        if (state.radio)
            u.SetRadio(state.check == 1);
        else if (state.check >= 0)
            u.SetCheck(state.check);
    };
}

void CMainFrame::refreshScreenCommands()
{
    if (CViewBase* view = GetView(m_currentView))
        view->Commands().refresh();
}

bool CMainFrame::openRefused()
{
    QString text;
    if (m_currentView == VIEW_TERMINAL)
        text = tr("You cannot read data on terminal edit screen");
    else if (m_connection->m_connectionPhase != 0)
        text = tr("Connecting to driver unit.\nDisconnect and then Re-try.");
    if (text.isEmpty())
        return false;
    AppMessageBox(GetSafeHwnd(), text, tr("Open"), plat::MB_OK | plat::MB_ICONWARNING);
    return true;
}

void CMainFrame::addCommands()
{
    plat::qt::CommandTable& t = m_commands;
    const auto rule = CommandRule();
    auto saveRule = [this, rule](CommandUpdate& u) {
        rule(u);
        if (!m_app.GetDocument())
            u.Enable(false);
    };
    t.add(ID_FILE_NEW, [this] { OnFileNew(); }, rule);
    t.add(ID_FILE_OPEN, [this] { if (!openRefused()) m_app.OnFileOpen(); }, rule);
    // While connected the driver's data is read into the document first.
    t.add(ID_FILE_SAVE, [this] { if (!m_connection->HoldCommandWhileConnected(ID_FILE_SAVE)) m_app.GetDocument()->OnFileSave(); },
          saveRule);
    t.add(ID_FILE_SAVE_AS,
          [this] { if (!m_connection->HoldCommandWhileConnected(ID_FILE_SAVE_AS)) m_app.GetDocument()->OnFileSaveAs(); },
          saveRule);
    t.addRange(
        ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE1 + kRecentFileCount - 1,
        [this](plat::UINT id) {
            if (!openRefused())
                m_app.OnOpenRecentFile(static_cast<int>(id - ID_FILE_MRU_FILE1));
        },
        [this](CommandUpdate& u) {
            u.Enable(u.id() - ID_FILE_MRU_FILE1 < m_app.RecentFiles().Paths().size());
        });
    addPrintCommands();
    t.add(ID_APP_EXIT, [this] { plat::PostMessage(GetSafeHwnd(), WM_CLOSE, 0, 0); });
    t.add(ID_HELP_INDEX, [this] { ShowHelp(HelpTopicPage()); });
    t.add(ID_HELP_FINDER, [this] { ShowHelpSearch(); });
    t.add(ID_APP_ABOUT, [this] { m_app.OnAppAbout(); });

    // The base Edit items: the current screen's own command when it has one, else the focused
    // text box.
    for (const plat::UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}) {
        t.add(
            id,
            [this, id] {
                CViewBase* view = GetView(m_currentView);
                if (view && view->Commands().contains(id))
                    view->Commands().execute(id);
                else if (QWidget* text = focusedText())
                    runTextEdit(text, id);
            },
            [this, id](CommandUpdate& u) {
                CViewBase* view = GetView(m_currentView);
                if (view && view->Commands().contains(id)) {
                    u.Enable(view->Commands().isEnabled(id));
                    return;
                }
                QWidget* text = focusedText();
                const bool writable = text && !textReadOnly(text);
                switch (id) {
                case ID_EDIT_UNDO: u.Enable(writable); break;
                case ID_EDIT_CUT: u.Enable(writable && textHasSelection(text)); break;
                case ID_EDIT_COPY: u.Enable(text && textHasSelection(text)); break;
                default: u.Enable(writable); break;
                }
            });
    }
}

void CMainFrame::addViewCommands()
{
    plat::qt::CommandTable& t = m_commands;
    const auto rule = CommandRule();
    t.addRange(ID_VIEW_OSCILLO, ID_VIEW_TERMINAL, [this](plat::UINT id) { OnScreenCommand(id); }, rule);
    t.add(ID_VIEW_CONNECTION_BAR, [this] {
        if (m_connectionBar)
            m_connectionBar->setVisible(m_connectionBar->isHidden());
    }, rule);
    t.add(ID_VIEW_COMMAND_BAR, [this] {
        if (m_commandBar)
            m_commandBar->setVisible(m_commandBar->isHidden());
    }, rule);
    t.add(ID_TERMINAL_WINDOW, [this] { ShowTerminalWindow(!(m_terminalWindow && m_terminalWindow->isVisible())); },
          rule);
    t.add(ID_DEBUG_WINDOW, [this] {
        // Made once, modeless.
        if (!m_debugDlg)
            m_debugDlg = new CDebugDlg(this);
        m_debugDlg->show();
        m_debugDlg->raise();
        m_debugDlg->activateWindow();
    });
}

} // namespace talverin
