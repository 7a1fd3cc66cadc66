#include "talverin/CMainFrame.h"

#include "talverin/AppMessages.h"
#include "talverin/CBusyDlg.h"
#include "talverin/CNewDlg.h"
#include "talverin/CStartDlg.h"
#include "talverin/CTalverinApp.h"
#include "talverin/CTalverinDoc.h"
#include "talverin/CTalverinDocTemplate.h"
#include "talverin/CViewBase.h"
#include "talverin/CommandIds.h"
#include "talverin/ConnectionRules.h"
#include "talverin/HelpWindow.h"
#include "talverin/ParamWindows.h"
#include "talverin/PortMenu.h"
#include "talverin/ReportPrinting.h"
#include "talverin/TerminalRegistration.h"
#include "talverin/WidgetHelpers.h"

#include <model/CommandSupport.h>
#include <platform/clock.h>
#include <platform/language.h>
#include <platform/messages.h>
#include <platform/qt/modal_dialog.h>
#include <platform/qt/pump.h>
#include <platform/qt/window_bridge.h>
#include <platform/sync.h>
#include <zrcomm/zrcomm_api.h>

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>

namespace talverin {

using plat::LPARAM;
using plat::LRESULT;
using plat::WPARAM;

CMainFrame::CMainFrame(CTalverinApp& app, QWidget* parent) : QMainWindow(parent), m_app(app)
{
    setObjectName(QStringLiteral("MainFrame"));
    m_bridge = std::make_unique<plat::qt::WindowBridge>(
        this, [this](plat::HWND, plat::UINT m, WPARAM w, LPARAM l) { return WindowProc(m, w, l); });
    model::SetMainWindow(GetSafeHwnd());

    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("Views"));
    setCentralWidget(m_stack);
    m_reports = std::make_unique<ReportPrinting>(m_app.m_dataFile);

    buildMenus();
    buildSettingMenu();
    addCommands();
    createBars();
    addConnectionHandlers();
    addTransferCommands();
    m_messages.Set(WM_COLLECT_VIEW_DATA, [this](WPARAM, LPARAM) { return onCollectViewData(); });
    m_messages.Set(WM_DATA_RELOADED, [this](WPARAM w, LPARAM) { return onDataReloaded(w); });
    m_messages.Set(WM_GET_CURRENT_VIEW, [this](WPARAM, LPARAM) { return LRESULT{m_currentView}; });
    m_messages.Set(WM_CLOSE, [this](WPARAM, LPARAM) {
        close();
        return LRESULT{0};
    });
    m_messages.Set(WM_DESTROY, [this](WPARAM, LPARAM) {
        DestroyFrame();
        return LRESULT{0};
    });

    RegisterView({VIEW_BLANK, QString(), [](QWidget* p) { return new CViewBase(VIEW_BLANK, p); }});
    RegisterTerminal(*this, m_app.m_dataFile);
    m_paramWindows = std::make_unique<ParamWindows>(*this, m_app);

    statusBar();
    SetStatusText(this, static_cast<const char*>(nullptr));

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size(kInitialWidth, kInitialHeight);
    if (screen)
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, screen->availableGeometry()));
    else
        resize(size);

    SwitchView(IsViewRegistered(VIEW_OSCILLO) ? VIEW_OSCILLO : VIEW_BLANK);
}

CMainFrame::~CMainFrame()
{
    DestroyFrame();
    delete m_help.data();
    m_app.GetDocTemplate().RecentFiles().SetOnChanged({});
    if (model::GetMainWindow() == GetSafeHwnd())
        model::SetMainWindow(nullptr);
}

plat::HWND CMainFrame::GetSafeHwnd() const
{
    return m_bridge->hwnd();
}

LRESULT CMainFrame::WindowProc(plat::UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == plat::WM_COMMAND)
        return m_commands.handleCommandMessage(wParam, lParam) ? 1 : 0;
    LRESULT result = 0;
    m_messages.Dispatch(message, wParam, lParam, result);
    // The program's messages are what moves the connection state the bar buttons follow.
    if (message >= plat::WM_USER && !m_destroyed)
        UpdateBars();
    return result;
}

// ---- Menus ------------------------------------------------------------------------------------

QMenu* CMainFrame::InsertMenu(const QString& title, QMenu* before)
{
    auto* menu = new QMenu(title, this);
    menuBar()->insertMenu(before ? before->menuAction() : nullptr, menu);
    m_commands.attach(menu);
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
    AddCommand(m_fileMenu, ID_FILE_PRINT, tr("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    AddCommand(m_fileMenu, ID_FILE_PRINT_PREVIEW, tr("Print Pre&view"));
    m_fileMenu->addSeparator();
    m_recentSeparator = m_fileMenu->addSeparator();
    AddCommand(m_fileMenu, ID_APP_EXIT, tr("E&xit"));

    m_helpMenu = InsertMenu(tr("Help(&H)"), nullptr);
    m_helpMenu->setObjectName(QStringLiteral("HelpMenu"));
    AddCommand(m_helpMenu, ID_HELP_INDEX, tr("&Topic"));
    AddCommand(m_helpMenu, ID_HELP_FINDER, tr("&Search"));
    m_helpMenu->addSeparator();
    AddCommand(m_helpMenu, ID_APP_ABOUT, tr("&About KVX Talverin..."));

    m_app.GetDocTemplate().RecentFiles().SetOnChanged([this] { rebuildRecentFiles(); });
    rebuildRecentFiles();
}

void CMainFrame::rebuildRecentFiles()
{
    for (QAction* action : m_recentActions)
        delete action;
    m_recentActions.clear();
    const auto& paths = m_app.GetDocTemplate().RecentFiles().Paths();
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

void CMainFrame::addCommands()
{
    plat::qt::CommandTable& t = m_commands;
    auto documentExists = [this](plat::qt::CommandUpdate& u) { u.Enable(m_app.GetDocument() != nullptr); };
    t.add(ID_FILE_NEW, [this] { OnFileNew(); });
    t.add(ID_FILE_OPEN, [this] { m_app.GetDocTemplate().OnFileOpen(); });
    // While connected the driver's data is read into the document first.
    t.add(ID_FILE_SAVE, [this] { if (!HoldCommandWhileConnected(ID_FILE_SAVE)) m_app.GetDocument()->OnFileSave(); },
          documentExists);
    t.add(ID_FILE_SAVE_AS,
          [this] { if (!HoldCommandWhileConnected(ID_FILE_SAVE_AS)) m_app.GetDocument()->OnFileSaveAs(); },
          documentExists);
    t.addRange(
        ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE1 + kRecentFileCount - 1,
        [this](plat::UINT id) { m_app.GetDocTemplate().OnOpenRecentFile(static_cast<int>(id - ID_FILE_MRU_FILE1)); },
        [this](plat::qt::CommandUpdate& u) {
            u.Enable(u.id() - ID_FILE_MRU_FILE1 < m_app.GetDocTemplate().RecentFiles().Paths().size());
        });
    addPrintCommands();
    t.add(ID_APP_EXIT, [this] { plat::PostMessage(GetSafeHwnd(), WM_CLOSE, 0, 0); });
    t.add(ID_HELP_INDEX, [this] { ShowHelp(HelpTopicPage()); });
    t.add(ID_HELP_FINDER, [this] { ShowHelpSearch(); });
    t.add(ID_APP_ABOUT, [this] { m_app.OnAppAbout(); });
}

QMenu* CMainFrame::ViewMenu()
{
    if (!m_viewMenu) {
        m_viewMenu = InsertMenu(tr("View(&V)"), m_settingMenu ? m_settingMenu : m_helpMenu);
        m_viewMenu->setObjectName(QStringLiteral("ViewMenu"));
    }
    return m_viewMenu;
}

// ---- Screens ----------------------------------------------------------------------------------

void CMainFrame::RegisterView(ViewRegistration view)
{
    for (ViewRegistration& existing : m_registrations) {
        if (existing.viewId == view.viewId) {
            existing = std::move(view);
            return;
        }
    }
    m_registrations.push_back(std::move(view));
}

const ViewRegistration* CMainFrame::registration(int viewId) const
{
    for (const ViewRegistration& view : m_registrations) {
        if (view.viewId == viewId)
            return &view;
    }
    return nullptr;
}

bool CMainFrame::IsViewRegistered(int viewId) const
{
    return registration(viewId) != nullptr;
}

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
    for (const ViewRegistration& registered : m_registrations) {
        if (CViewBase* view = GetView(registered.viewId))
            views.push_back(view);
    }
    return views;
}

CViewBase* CMainFrame::makeView(int viewId)
{
    const ViewRegistration* view = registration(viewId);
    CViewBase* made = view && view->create ? view->create(m_stack) : nullptr;
    if (!made)
        return nullptr;
    m_stack->addWidget(made);
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
    if (m_switching || (!IsViewRegistered(viewId) && !GetView(viewId)))
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
        m_pendingView = 0;
        // The steps of a connection still under way keep their phase.
        const int phase = m_connectionPhase;
        if (phase < Phase::Connecting || phase > Phase::ReadingAll) {
            if (IsConnected()) {
                m_connectionPhase = Phase::Connected;
                setTerminalWritable(true);
            } else if (ZRComm_GetCommandCount(-1) < 0) {
                m_connectionPhase = Phase::Idle;
            }
        }
        return true;
    }
    switch (switchConnectionSteps(viewId)) {
    case SwitchStep::Held:
        return true;
    case SwitchStep::Ended:
        return false;
    case SwitchStep::Go:
        break;
    }
    // Only the two editors with pending edits may keep the screen.
    CViewBase* left = GetView(m_currentView);
    const bool mayVeto = m_currentView == VIEW_IO || m_currentView == VIEW_CHANNEL;
    if (left && plat::SendMessage(left->GetSafeHwnd(), WM_VIEW_SWITCH, 0, viewId) == 0 && mayVeto)
        return false;
    if (IsConnected())
        m_connectionPhase = Phase::Connected;
    CViewBase* target = GetView(viewId);
    if (!target)
        target = makeView(viewId);
    if (!target)
        return false;
    model::WaitCommandQueue(GetSafeHwnd());
    for (int attempt = 0; attempt < 300; ++attempt) {
        if (ZRComm_SetCommandMode(GetCommandModeForView(viewId)) != COMM_ERR_COMMANDS_QUEUED)
            break;
        model::WaitCommandQueue(GetSafeHwnd());
        plat::Sleep(100);
    }
    m_stack->setCurrentWidget(target);
    m_currentView = viewId;
    const ViewRegistration* view = registration(viewId);
    m_app.m_viewTitle = view ? view->title : QString();
    m_app.UpdateTitle(std::nullopt, std::nullopt);
    plat::SendMessage(target->GetSafeHwnd(), WM_VIEW_SWITCH, 1, viewId);
    target->setFocus();
    m_pendingView = 0;
    return true;
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
    for (CViewBase* view : GetViews())
        plat::SendMessage(view->GetSafeHwnd(), WM_DATA_RELOADED, wParam, 0);
    emit dataReloaded(wParam != 0);
    return 0;
}

// ---- Help -------------------------------------------------------------------------------------

QString CMainFrame::HelpTopicPage()
{
    return plat::IsJapanese() ? QString::fromUtf8("_RESOURCE/1_1_1_\xE3\x81\xAF\xE3\x81\x98\xE3\x82\x81\xE3\x81\xAB.htm")
                              : QStringLiteral("_RESOURCE/1_1_1_introduction.htm");
}

HelpWindow& CMainFrame::helpWindow()
{
    // A window of its own: the start screen opens help while the frame is disabled.
    if (!m_help)
        m_help = new HelpWindow(nullptr);
    return *m_help;
}

void CMainFrame::ShowHelp(const QString& page, const QString& anchor)
{
    const QString path = QFileInfo(page).isAbsolute()
                           ? page
                           : QDir(QString::fromStdString(m_app.m_helpFolder)).filePath(page);
    helpWindow().ShowPage(path, anchor);
}

void CMainFrame::ShowHelpSearch()
{
    if (!helpWindow().HasPage())
        ShowHelp(HelpTopicPage());
    helpWindow().ShowFind();
}

// ---- Document commands ------------------------------------------------------------------------

void CMainFrame::OnFileNew()
{
    setFocus();
    plat::qt::PumpAllPending();
    CTalverinDoc* doc = m_app.GetDocument();
    if (!doc)
        return;
    const bool wasModified = doc->IsModified();
    if (!doc->SaveModified()) {
        doc->SetModifiedFlag(true);
        return;
    }
    CNewDlg dialog(m_app.m_settingsPath, this);
    if (plat::qt::RunModal(dialog) != QDialog::Accepted) {
        doc->SetModifiedFlag(wasModified);
        return;
    }
    for (CViewBase* view : GetViews())
        view->OnNewDocumentStarting();
    emit newDocumentStarting();

    model::CDataFile& store = m_app.m_dataFile;
    std::string path = dialog.m_unitPath;
    store.MakeAbsolutePath(path);
    store.m_unitName = dialog.m_unitName;
    store.m_unitFilePath = path;
    if (!doc->OnNewDocument())
        return;
    for (CViewBase* view : GetViews())
        view->OnNewDocumentDone();
    emit newDocumentDone();
}

// ---- Closing ----------------------------------------------------------------------------------

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_destroyed) {
        CTalverinDoc* doc = m_app.GetDocument();
        if (doc && !doc->SaveModified()) {
            event->ignore();
            return;
        }
        DestroyFrame();
    }
    event->accept();
}

void CMainFrame::DestroyFrame()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    emit destroying();
    CloseReportViewer();
    delete m_busyDlg.data();
    ZRComm_RemoveCommand(-1);
    ZRComm_Term();
    plat::Sleep(10);
    DestroyStartDialog();
    m_app.m_dataFile.SaveSettings();
    m_portRecord = nullptr; // the records go with the write-back
    m_ports->WriteBack();
    destroyBars();
    m_app.m_dataFile.Close();
    if (m_help)
        m_help->close();
    hide();
    m_app.OnMainFrameDestroyed();
}

} // namespace talverin
