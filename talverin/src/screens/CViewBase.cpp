#include "screens/CViewBase.h"

#include "common/AppMessages.h"

#include <platform/qt/command_table.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/qt/window_bridge.h>

namespace talverin {

CViewBase::CViewBase(int viewId, QWidget* parent) : QWidget(parent), m_viewId(viewId)
{
    setObjectName(QString::number(viewId));
    m_bridge = std::make_unique<plat::qt::WindowBridge>(
        this, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) { return WindowProc(m, w, l); });
}

CViewBase::~CViewBase() = default;

plat::HWND CViewBase::GetSafeHwnd() const
{
    return m_bridge->hwnd();
}

bool CViewBase::OnViewSwitch(bool, int)
{
    return true;
}

bool CViewBase::OnCollectViewData()
{
    return true;
}

void CViewBase::OnDataReloaded(bool) {}

void CViewBase::OnNewDocumentStarting() {}

void CViewBase::OnNewDocumentDone() {}

int CViewBase::WriteBack(int)
{
    return 0;
}

void CViewBase::OnPortClosed() {}

QSize CViewBase::MinimumClientSize() const
{
    return {};
}

bool CViewBase::HandleHookKey(const plat::qt::KeyInput&)
{
    return false;
}

plat::qt::CommandTable& CViewBase::Commands()
{
    if (!m_noCommands)
        m_noCommands = std::make_unique<plat::qt::CommandTable>();
    return *m_noCommands;
}

QMenu* CViewBase::FunctionMenu() const
{
    return nullptr;
}

QMenu* CViewBase::ExecuteMenu() const
{
    return nullptr;
}

QMenu* CViewBase::ExportMenu() const
{
    return nullptr;
}

QMenu* CViewBase::PopupMenu() const
{
    return nullptr;
}

const QList<QAction*>& CViewBase::MenuActions() const
{
    static const QList<QAction*> none;
    return none;
}

void CViewBase::OnDropFiles(const QList<QUrl>&) {}

void CViewBase::OnSysColorChange()
{
    update();
}

int CViewBase::CaptureState() const
{
    return 0;
}

int CViewBase::CurrentChannel() const
{
    return -1;
}

plat::LRESULT CViewBase::WindowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam)
{
    switch (message) {
    case WM_VIEW_SWITCH:
        return OnViewSwitch(wParam != 0, static_cast<int>(lParam)) ? 1 : 0;
    case WM_COLLECT_VIEW_DATA:
        return OnCollectViewData() ? 1 : 0;
    case WM_DATA_RELOADED:
        OnDataReloaded(wParam != 0);
        return 0;
    default:
        break;
    }
    plat::LRESULT result = 0;
    m_messages.Dispatch(message, wParam, lParam, result);
    return result;
}

} // namespace talverin
