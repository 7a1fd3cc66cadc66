#include "screens/param/CViewParam.h"

#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "controlhost/FormBuilder.h"

#include <controls/HelpInfo.h>
#include <model/CommandSupport.h>
#include <platform/language.h>
#include <platform/messages.h>
#include <platform/qt/virtual_keys.h>

#include <QKeyEvent>
#include <QResizeEvent>

namespace talverin {

namespace {

QString screenPage()
{
    return plat::IsJapanese() ? QStringLiteral("_RESOURCE/3_8_1_Parameter_edit_screen_j.htm")
                              : QStringLiteral("_RESOURCE/3_8_1_Parameter_edit_screen.htm");
}

} // namespace

CViewParam::CViewParam(model::CDataFile& store, ParamScreenHost host, QWidget* parent)
    : CViewBase(VIEW_PARAM, parent),
      m_store(store),
      m_host(std::move(host)),
      m_traffic(store, ParamWindowKind::Screen,
                ParamTrafficHost{[this](model::CZRParamClass* node) { Control().SetDataChange(node); },
                                 [this] {
                                     if (m_host.markDocumentModified)
                                         m_host.markDocumentModified();
                                 }})
{
    m_traffic.SetWindow(GetSafeHwnd());
    m_sinks = m_traffic.MakeSinkMap(ViewParamEvents(),
                                    [this](const ctl::HelpInfo* info, std::int32_t* handled) { OnCtrlHelp(info, handled); });
    FormBuildResult form = BuildForm(this, 131, &m_sinks);
    if (form.ok() && !form.sites.empty())
        m_site = form.sites.front();
    else
        m_buildError = form.error;

    Messages().Set(WM_COMM_COMMAND, [this](plat::WPARAM w, plat::LPARAM l) {
        m_traffic.OnCommCommand(w, static_cast<CommandId>(l));
        return plat::LRESULT{0};
    });
    Messages().Set(WM_LOCK_STATE_CHANGED, [this](plat::WPARAM w, plat::LPARAM l) { return OnLockStateChanged(w, l); });
    Messages().Set(WM_COMM_STATE_CHANGED, [this](plat::WPARAM w, plat::LPARAM l) { return OnCommStateChanged(w, l); });
}

CViewParam::~CViewParam()
{
    // The control's last events must not reach a screen that is half gone.
    if (m_site)
        m_site->setEventSinkMap(nullptr);
}

// ---- Loading ------------------------------------------------------------------------------------

void CViewParam::LoadParamControl()
{
    m_initialised = true;
    if (!m_site)
        return;
    const CZRPARAM control = Control();
    m_site->setEnabled(false);
    control.SetStrHelpFolder(m_store.m_helpFolder.c_str());
    control.SetShowStyle(kShowStyle);
    if (control.IsCommomMemoryParent())
        control.LoadFile(m_store.m_unitFilePath.c_str(), "Parameter");
    else
        control.LoadFile(nullptr, nullptr);
    control.UpdateTreeIcon(0);
    // Disabled, the control's panes would take no input ever after.
    m_site->setEnabled(true);
}

void CViewParam::ResetParamControl()
{
    Control().InitControl(0);
}

void CViewParam::OnNewDocumentStarting()
{
    ResetParamControl();
}

void CViewParam::OnNewDocumentDone()
{
    LoadParamControl();
}

void CViewParam::OnDataReloaded(bool)
{
    LoadParamControl();
}

void CViewParam::showEvent(QShowEvent* event)
{
    CViewBase::showEvent(event);
    if (!m_initialised)
        LoadParamControl();
    else
        update();
}

void CViewParam::resizeEvent(QResizeEvent* event)
{
    CViewBase::resizeEvent(event);
    const QSize size = event->size();
    if (!m_site || size.width() <= 0 || size.height() <= 0)
        return;
    const QPoint at = m_site->pos();
    m_site->place(QRect(at, QSize(std::max(0, size.width() - 2 * at.x()), std::max(0, size.height() - 2 * at.y()))));
    m_site->update();
}

// ---- Keys and help ------------------------------------------------------------------------------

bool CViewParam::HandleHookKey(const plat::qt::KeyInput& key)
{
    const bool tabReleased = key.vk == plat::qt::VK_TAB && (key.keyData & plat::qt::KEYDATA_RELEASED)
                             && (key.keyData & plat::qt::KEYDATA_PREVIOUS_DOWN);
    if (!tabReleased)
        return false;
    Control().SetNextFocus(plat::qt::GetKeyState(plat::qt::VK_SHIFT) < 0 ? -1 : 1);
    return true;
}

bool CViewParam::focusNextPrevChild(bool)
{
    return true;
}

void CViewParam::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        OnHelp();
        return;
    }
    CViewBase::keyPressEvent(event);
}

void CViewParam::showTopic(const QString& anchor)
{
    if (m_host.showHelp)
        m_host.showHelp(screenPage(), anchor);
}

void CViewParam::OnHelp()
{
    showTopic(QStringLiteral("D_PARAM"));
}

void CViewParam::OnCtrlHelp(const ctl::HelpInfo* info, std::int32_t* handled)
{
    const int id = info ? info->iCtrlId : 0;
    QString anchor;
    if (id == 101 || id == 1003)
        anchor = QStringLiteral("D_PRM_HELP");
    else if (id == 1000)
        anchor = QStringLiteral("D_PRM_TREE");
    else if (id == 1001 || id == 1002)
        anchor = QStringLiteral("D_PRM_LIST");
    if (anchor.isEmpty()) {
        OnHelp();
        return;
    }
    showTopic(anchor);
    if (handled)
        *handled = 1;
}

// ---- Frame messages -----------------------------------------------------------------------------

bool CViewParam::commandWindowChecked() const
{
    return m_host.isCommandWindowChecked && m_host.isCommandWindowChecked();
}

bool CViewParam::OnViewSwitch(bool entered, int)
{
    const plat::HWND frame = model::GetMainWindow();
    if (entered) {
        Control().UpdateTreeIcon(0);
        setEnabled(true);
        // The command window shows the same tree: it is hidden while this screen is current.
        if (commandWindowChecked())
            plat::SendMessage(frame, WM_SHOW_COMMAND_WINDOW, 0, 0);
        return true;
    }
    // An open edit is committed (and written) before the screen goes.
    if (Control().SetDataChange(nullptr) >= 0)
        model::WaitCommandQueue(GetSafeHwnd(), true);
    // A command that never ends must not hold the switch for ever: this wait keeps the limit too.
    model::WaitCommandQueue(GetSafeHwnd(), true);
    setEnabled(false);
    if (commandWindowChecked())
        plat::SendMessage(frame, WM_SHOW_COMMAND_WINDOW, 1, 0);
    return true;
}

plat::LRESULT CViewParam::OnLockStateChanged(plat::WPARAM lockState, plat::LPARAM resumed)
{
    if (lockState != 1 || resumed == 1)
        return 1;
    return m_store.SendParameterData(GetSafeHwnd(), nullptr, 1) == 0 ? 0 : 1;
}

plat::LRESULT CViewParam::OnCommStateChanged(plat::WPARAM wParam, plat::LPARAM lParam)
{
    if (wParam == 0 && lParam == 0 && Control().SetDataChange(nullptr) >= 0)
        model::WaitCommandQueue(GetSafeHwnd(), true);
    return 1;
}

} // namespace talverin
