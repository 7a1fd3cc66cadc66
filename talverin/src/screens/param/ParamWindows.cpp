#include "screens/param/ParamWindows.h"

#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "common/MessageMap.h"
#include "common/WindowPlacement.h"
#include "connection/DriverConnection.h"
#include "screens/FrameNotices.h"
#include "screens/ScreenHost.h"
#include "screens/ScreenRegistry.h"
#include "screens/param/CViewParam.h"

#include <platform/qt/command_table.h>
#include <platform/qt/virtual_keys.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

namespace talverin {

namespace {

// The command window's read-only mode on the terminal screen: the line carries direct text, so
// nothing may be read or written from the window.
constexpr plat::LONG kFullyReadOnly = static_cast<plat::LONG>(0x80000000u);

} // namespace

void RegisterParamScreen(ScreenHost& host)
{
    host.KeepScreenPart(std::make_unique<ParamWindows>(host));
}

ParamWindows::ParamWindows(ScreenHost& frame) : m_frame(frame)
{
    // The screen command 32777 (Ctrl+3) and the View menu's items are the frame's.
    frame.Screens().Register({VIEW_PARAM, QCoreApplication::translate("talverin::CMainFrame", "Edit parameter"),
                              ID_VIEW_PARAM, 0, [this](QWidget* parent) { return makeScreen(parent); }});

    plat::qt::CommandTable& commands = frame.Commands();
    commands.add(ID_COMMAND_WINDOW, [this] { ToggleCommandWindow(); }, [this](plat::qt::CommandUpdate& u) {
        // The screen shows the same tree: the window is not offered beside it.
        u.Enable(m_frame.GetCurrentViewId() != VIEW_PARAM);
        u.SetCheck(m_checked);
    });

    frame.Messages().Set(WM_SHOW_COMMAND_WINDOW, [this](plat::WPARAM w, plat::LPARAM l) {
        ShowCommandWindow(w != 0, reinterpret_cast<const char*>(l));
        return plat::LRESULT{1};
    });

    // The screen drops and reloads its rows through its own New hooks and WM_DATA_RELOADED.
    FrameNotices& notices = frame.Notices();
    connect(&notices, &FrameNotices::newDocumentStarting, this, [this] {
        if (m_window)
            m_window->InitControl();
    });
    connect(&notices, &FrameNotices::dataLoading, this, &ParamWindows::beforeLoad);
    connect(&notices, &FrameNotices::newDocumentDone, this, &ParamWindows::afterLoad);
    connect(&notices, &FrameNotices::dataReloading, this, &ParamWindows::beforeReload);
    connect(&notices, &FrameNotices::dataReloaded, this, &ParamWindows::afterReload);
    connect(&notices, &FrameNotices::viewSwitching, this, &ParamWindows::prepareForScreen);
    connect(&notices, &FrameNotices::destroying, this, [this] {
        savePlacement();
        m_frame.Connection().SetCommandWindow(nullptr);
        m_window.reset();
    });

    m_hook = plat::qt::KeyboardHookChain::instance().install(
        this, [this](const plat::qt::KeyInput& key) { return filterKey(key); });
}

ParamWindows::~ParamWindows() = default;

CViewParam* ParamWindows::Screen() const
{
    // Null also for a screen registered in its place.
    return dynamic_cast<CViewParam*>(m_frame.GetView(VIEW_PARAM));
}

CViewParam* ParamWindows::makeScreen(QWidget* parent)
{
    ParamScreenHost host;
    host.markDocumentModified = [this] { m_frame.SetDocumentModified(true); };
    host.showHelp = [this](const QString& page, const QString& anchor) { m_frame.ShowHelp(page, anchor); };
    host.isCommandWindowChecked = [this] { return m_checked; };
    auto* screen = new CViewParam(m_frame.Store(), std::move(host), parent);
    if (!screen->BuildError().isEmpty())
        qWarning("Edit parameter: %s", qPrintable(screen->BuildError()));
    return screen;
}

// ---- Command window -----------------------------------------------------------------------------

CCommandWnd& ParamWindows::commandWindow()
{
    if (m_window)
        return *m_window;
    CommandWndHost host;
    host.showHelp = [this](const QString& page, const QString& anchor) { m_frame.ShowHelp(page, anchor); };
    host.closed = [this] {
        m_checked = false;
        m_frame.UpdateBars();
    };
    m_window = std::make_unique<CCommandWnd>(m_frame.Store(), std::move(host), &m_frame.FrameWindow());
    if (!m_window->BuildError().isEmpty())
        qWarning("Command Window: %s", qPrintable(m_window->BuildError()));
    const std::string saved = m_frame.ProfileText("Setting", kPlacementKey);
    if (const auto placement = ParseWindowPlacement(saved)) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        QRect rect = placement->normalRect;
        rect.setSize(rect.size().expandedTo(m_window->minimumSize()));
        m_window->setGeometry(screen ? FitOnScreen(rect, screen->availableGeometry()) : rect);
    }
    m_frame.Connection().SetCommandWindow(m_window.get());
    return *m_window;
}

void ParamWindows::ToggleCommandWindow()
{
    m_checked = !m_checked;
    ShowCommandWindow(m_checked, nullptr);
}

void ParamWindows::ShowCommandWindow(bool show, const char* text)
{
    // Nothing is made once the frame is going.
    if (!show || m_frame.IsDestroyed()) {
        if (m_window)
            m_window->hide();
        return;
    }
    CCommandWnd& window = commandWindow();
    m_checked = true;
    if (text)
        window.ShowTreeItem(text);
    window.show();
    window.raise();
    m_frame.UpdateBars();
}

void ParamWindows::savePlacement()
{
    if (!m_window)
        return;
    WindowPlacement placement;
    placement.showCmd = m_window->isVisible() ? SW_SHOWNORMAL : 0;
    placement.minPosition = placement.maxPosition = QPoint(-1, -1);
    placement.normalRect = m_window->geometry();
    m_frame.WriteProfileText("Setting", kPlacementKey, FormatWindowPlacement(placement));
}

// ---- Loads --------------------------------------------------------------------------------------

void ParamWindows::beforeLoad()
{
    if (CViewParam* screen = Screen())
        screen->ResetParamControl();
    if (m_window)
        m_window->InitControl();
}

void ParamWindows::afterLoad()
{
    if (m_window)
        m_window->OnCommand(CCommandWnd::IDC_RELOAD);
}

void ParamWindows::beforeReload()
{
    // The window waits, its control hidden, while the screens reload the store.
    m_reloading = m_window != nullptr;
    if (!m_window)
        return;
    QWidget* control = m_window->findChild<QWidget*>(QString::number(CCommandWnd::IDC_PARAM));
    m_reloadEnabled = m_window->isEnabled();
    m_reloadControlShown = control && control->isVisible();
    m_window->setEnabled(false);
    if (control)
        control->hide();
}

void ParamWindows::afterReload(bool)
{
    if (m_reloading && m_window) {
        QWidget* control = m_window->findChild<QWidget*>(QString::number(CCommandWnd::IDC_PARAM));
        if (control && m_reloadControlShown)
            control->show();
        m_window->setEnabled(m_reloadEnabled);
    }
    m_reloading = false;
    afterLoad();
}

// ---- Screen switches ----------------------------------------------------------------------------

void ParamWindows::prepareForScreen(int target)
{
    CCommandWnd* window = m_window.get();
    if (!window)
        return;
    switch (target) {
    case VIEW_OSCILLO:
        window->SetReadOnly(0);
        break;
    case VIEW_IO:
        window->SetReadOnly(0);
        window->AddEnableCmdType("I");
        window->AddEnableCmdType("O");
        break;
    case VIEW_TERMINAL:
        window->SetReadOnly(kFullyReadOnly);
        break;
    case VIEW_CHANNEL:
        if (window->isVisible())
            window->ReloadControl();
        break;
    default: // the parameter screen has the same tree; the blank screen none
        window->hide();
        break;
    }
}

// ---- Keys ---------------------------------------------------------------------------------------

bool ParamWindows::filterKey(const plat::qt::KeyInput& key)
{
    // Only keys for the frame's own window while the screen is current: a box or a tool window
    // keeps its Tab.
    CViewParam* screen = m_frame.GetCurrentViewId() == VIEW_PARAM ? Screen() : nullptr;
    const auto* target = qobject_cast<const QWidget*>(key.target);
    if (!screen || !target || target->window() != &m_frame.FrameWindow() || m_frame.IsTransferDialogOpen())
        return false;
    return screen->HandleHookKey(key);
}

} // namespace talverin
