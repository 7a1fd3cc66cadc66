#include "screens/param/CCommandWnd.h"

#include "controlhost/FormBuilder.h"
#include "controlhost/ScreenEvents.h"

#include <platform/language.h>
#include <platform/qt/dialog_units.h>
#include <platform/qt/window_bridge.h>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QResizeEvent>

namespace talverin {

CCommandWnd::CCommandWnd(model::CDataFile& store, CommandWndHost host, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_store(store),
      m_host(std::move(host)),
      m_traffic(store, ParamWindowKind::CommandWindow,
                ParamTrafficHost{[this](model::CZRParamClass* node) { SetDataChange(node); }, {}})
{
    setObjectName(QString::number(IDD));
    setWindowTitle(tr("Command Window"));
    setSizeGripEnabled(false);
    m_bridge = std::make_unique<plat::qt::WindowBridge>(this, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
        if (m == WM_COMM_COMMAND)
            m_traffic.OnCommCommand(w, static_cast<CommandId>(l));
        return plat::LRESULT{0};
    });
    m_traffic.SetWindow(m_bridge->hwnd());
    m_sinks = m_traffic.MakeSinkMap(CommandWndEvents(), [this](const ctl::HelpInfo*, std::int32_t*) { OnHelp(); });

    FormBuildResult form = BuildForm(this, IDD, &m_sinks);
    if (form.ok() && !form.sites.empty())
        m_site = form.sites.front();
    else
        m_buildError = form.error;

    const struct {
        int id;
        bool isDefault;
    } buttons[] = {{IDC_DEFAULT, true}, {IDC_RELOAD, false}, {IDC_CANCEL, false}};
    for (const auto& b : buttons) {
        auto* button = new QPushButton(this);
        button->setObjectName(QString::number(b.id));
        button->setDefault(b.isDefault);
        button->hide();
        const int id = b.id;
        connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    }

    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(plat::qt::MapDialogRect(QRect(0, 0, 165, 238), font()).size().expandedTo(minimumSize()));
    OnCommand(IDC_RELOAD);
}

CCommandWnd::~CCommandWnd()
{
    if (m_site)
        m_site->setEventSinkMap(nullptr);
}

plat::HWND CCommandWnd::GetSafeHwnd() const
{
    return m_bridge->hwnd();
}

bool CCommandWnd::OnCommand(int id)
{
    switch (id) {
    case IDC_DEFAULT:
        return true;
    case IDC_RELOAD:
        ReloadControl();
        return true;
    case IDC_CANCEL:
        hideAsClosed();
        return true;
    default:
        return false;
    }
}

void CCommandWnd::ReloadControl()
{
    const CZRPARAM control = Control();
    control.SetShowStyle(64);
    if (!control.IsCommomMemoryParent())
        control.LoadFile(nullptr, nullptr);
    control.SetStrHelpFolder(m_store.m_helpFolder.c_str());
    control.UpdateTreeIcon(0);
}

// ---- Forwarders ---------------------------------------------------------------------------------

void CCommandWnd::ShowTreeItem(const char* text)
{
    // Shown whether or not the path was found: the tree is the user's to look through.
    Control().ShowTreeItem(0, text);
    if (m_site)
        m_site->show();
}

void CCommandWnd::SetReadOnly(plat::LONG mode)
{
    Control().SetReadOnly(mode);
}

void CCommandWnd::AddEnableCmdType(const char* type)
{
    Control().AddEnableCmdType(type);
}

void CCommandWnd::UpdateTreeIcon()
{
    Control().UpdateTreeIcon(0);
}

void CCommandWnd::SetDataChange(model::CZRParamClass* node)
{
    Control().SetDataChange(node);
}

void CCommandWnd::InitControl()
{
    Control().InitControl(0);
}

void CCommandWnd::OnHelp()
{
    if (!m_host.showHelp)
        return;
    m_host.showHelp(plat::IsJapanese() ? QStringLiteral("_RESOURCE/3_B_1_Command_window_screen_j.htm")
                                       : QStringLiteral("_RESOURCE/3_B_1_Command_window_screen.htm"),
                    QStringLiteral("D_PARAM_BAR"));
}

// ---- Window -------------------------------------------------------------------------------------

void CCommandWnd::hideAsClosed()
{
    hide();
    if (m_host.closed)
        m_host.closed();
}

void CCommandWnd::reject()
{
    hideAsClosed();
}

void CCommandWnd::closeEvent(QCloseEvent* event)
{
    // The window lives as long as the program: closing only hides it.
    event->ignore();
    hideAsClosed();
}

void CCommandWnd::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_site)
        return;
    const QPoint at = m_site->pos();
    const QSize size = event->size();
    m_site->place(QRect(at, QSize(std::max(0, size.width() - at.x()), std::max(0, size.height() - at.y()))));
}

void CCommandWnd::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        OnHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace talverin
