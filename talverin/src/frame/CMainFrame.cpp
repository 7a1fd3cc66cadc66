#include "frame/CMainFrame.h"

#include "connection/DriverConnection.h"
#include "common/DocumentAccess.h"
#include "frame/FrameProgram.h"
#include "frame/RecentFileList.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "connection/CBusyDlg.h"
#include "connection/ConnectionRules.h"
#include "frame/CStartDlg.h"
#include "frame/HelpWindow.h"
#include "frame/PortMenu.h"
#include "frame/UpdatePassTrigger.h"
#include "report/ReportPrinting.h"
#include "screens/CViewBase.h"

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
#include <QTimer>

namespace talverin {

using plat::LPARAM;
using plat::LRESULT;
using plat::WPARAM;

CMainFrame::CMainFrame(FrameProgram& app, const std::function<void(CMainFrame&)>& registerScreens, QWidget* parent)
    : QMainWindow(parent), m_app(app)
{
    setObjectName(QStringLiteral("MainFrame"));
    m_bridge = std::make_unique<plat::qt::WindowBridge>(
        this, [this](plat::HWND, plat::UINT m, WPARAM w, LPARAM l) { return WindowProc(m, w, l); });
    model::SetMainWindow(GetSafeHwnd());
    ConnectionHost& host = *this;
    m_connection = std::make_unique<DriverConnection>(host, *this, m_app);

    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("Views"));
    setCentralWidget(m_stack);
    m_reports = std::make_unique<ReportPrinting>(m_app.m_dataFile);

    // The screens first: the menus and the tool bar carry their commands.
    registerScreens(*this);
    buildMenus();
    buildSettingMenu();
    addCommands();
    addViewCommands();
    buildToolBar();
    buildStatusBar();
    createBars();
    m_connection->AddHandlers(m_messages, m_commands);
    addTransferCommands();
    m_messages.Set(WM_COLLECT_VIEW_DATA, [this](WPARAM, LPARAM) { return onCollectViewData(); });
    m_messages.Set(WM_DATA_RELOADED, [this](WPARAM w, LPARAM) { return onDataReloaded(w); });
    m_messages.Set(WM_GET_CURRENT_VIEW, [this](WPARAM, LPARAM) { return LRESULT{m_currentView}; });
    m_messages.Set(WM_SET_STATUS_TEXT, [this](WPARAM w, LPARAM l) { return onSetStatusText(w, l); });
    m_messages.Set(WM_SHOW_TERMINAL_WINDOW, [this](WPARAM w, LPARAM) {
        ShowTerminalWindow(w != 0);
        return LRESULT{0};
    });
    m_messages.Set(WM_CLOSE, [this](WPARAM, LPARAM) {
        close();
        return LRESULT{0};
    });
    m_messages.Set(WM_DESTROY, [this](WPARAM, LPARAM) {
        DestroyFrame();
        return LRESULT{0};
    });

    restorePlacement();
    restoreBarState();
    createToolWindows();
    installHook();
    finishMenus();
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { m_appActive = state == Qt::ApplicationActive; });

    SwitchView(IsViewRegistered(VIEW_OSCILLO) ? VIEW_OSCILLO : VIEW_BLANK);

    // The update pass after anything that may change the states (the menus refresh before they
    // show, commands after they ran); nothing wakes the program for it while nothing happens.
    m_updateTimer = new QTimer(this);
    connect(m_updateTimer, &QTimer::timeout, this, [this] {
        if (!m_destroyed && isVisible())
            UpdateBars();
    });
    new UpdatePassTrigger(m_updateTimer, kUpdateIntervalMs);
}

CMainFrame::~CMainFrame()
{
    DestroyFrame();
    delete m_help.data();
    m_app.RecentFiles().SetOnChanged({});
    if (model::GetMainWindow() == GetSafeHwnd())
        model::SetMainWindow(nullptr);
}

plat::HWND CMainFrame::GetSafeHwnd() const
{
    return m_bridge->hwnd();
}

LRESULT CMainFrame::WindowProc(plat::UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == plat::WM_COMMAND) {
        // The current screen's commands first, as the active view got them.
        const auto id = static_cast<plat::UINT>(wParam & 0xFFFF);
        CViewBase* view = GetView(m_currentView);
        const bool ran = view && view->Commands().contains(id) ? view->Commands().handleCommandMessage(wParam, lParam)
                                                                 : m_commands.handleCommandMessage(wParam, lParam);
        if (ran && !m_destroyed)
            UpdateBars();
        return ran ? 1 : 0;
    }
    LRESULT result = 0;
    m_messages.Dispatch(message, wParam, lParam, result);
    // The program's messages are what moves the connection state the bar buttons follow.
    if (message >= plat::WM_USER && !m_destroyed)
        UpdateBars();
    return result;
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
    const QDir folder(QString::fromStdString(m_app.m_helpFolder));
    const QString path = QFileInfo(page).isAbsolute() ? page : folder.filePath(page);
    // The search covers the pages of the contents of the folder in use now.
    helpWindow().SetContentsPage(folder.filePath(HelpTopicPage()));
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
    DocumentAccess* doc = m_app.GetDocument();
    if (!doc)
        return;
    const bool wasModified = doc->IsModified();
    if (!doc->SaveModified()) {
        doc->SetModifiedFlag(true);
        return;
    }
    std::string unitName;
    std::string unitPath;
    if (!m_app.AskNewDocumentUnit(this, unitName, unitPath)) {
        doc->SetModifiedFlag(wasModified);
        return;
    }
    for (CViewBase* view : GetViews())
        view->OnNewDocumentStarting();
    emit m_notices.newDocumentStarting();

    model::CDataFile& store = m_app.m_dataFile;
    std::string path = unitPath;
    store.MakeAbsolutePath(path);
    store.m_unitName = unitName;
    store.m_unitFilePath = path;
    if (!doc->OnNewDocument())
        return;
    for (CViewBase* view : GetViews())
        view->OnNewDocumentDone();
    emit m_notices.newDocumentDone();
}

// ---- What a screen asks of the program -----------------------------------------------------------

model::CDataFile& CMainFrame::Store()
{
    return m_app.m_dataFile;
}

void CMainFrame::KeepScreenPart(std::unique_ptr<QObject> part)
{
    m_screenParts.push_back(std::move(part));
}

bool CMainFrame::IsDocumentModified() const
{
    const DocumentAccess* doc = m_app.GetDocument();
    return doc && doc->IsModified();
}

void CMainFrame::SetDocumentModified(bool modified)
{
    if (DocumentAccess* doc = m_app.GetDocument())
        doc->SetModifiedFlag(modified);
}

int CMainFrame::LockState() const
{
    return m_app.m_lockState;
}

std::string CMainFrame::ProfileText(std::string_view section, std::string_view key) const
{
    std::string text;
    m_app.GetProfileText(section, key, "", text);
    return text;
}

void CMainFrame::WriteProfileText(std::string_view section, std::string_view key, std::string_view text)
{
    m_app.m_settingsReport.Note(m_app.WriteProfileText(section, key, text) != 0, m_app.m_settingsPath);
}

} // namespace talverin
