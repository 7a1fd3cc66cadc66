// The command window (dialog 180): a tool window beside the screens with the parameter editor
// control 1234 over the same tree as the parameter screen, for reading and writing parameters
// and running commands while another screen is current. The main frame creates it once, shows and
// hides it; closing it only hides it. Its three hidden buttons stay as commands: 1001 (default:
// Enter ends nothing), 1002 (reload the control) and 2 (cancel: hides it as closing does).
#pragma once

#include "controlhost/CZRPARAM.h"
#include "controlhost/EventSinkMap.h"
#include "screens/param/ParamTraffic.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

namespace ctl {
struct HelpInfo;
}

namespace plat::qt {
class WindowBridge;
}

namespace talverin {

// What the window needs of the program around it.
struct CommandWndHost {
    std::function<void(const QString& page, const QString& anchor)> showHelp;
    // The window was closed (hidden): the frame unchecks its Command Window item.
    std::function<void()> closed;
};

class CCommandWnd : public QDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 180;
    static constexpr int IDC_PARAM = 1234;
    enum Command : int { IDC_DEFAULT = 1001, IDC_RELOAD = 1002, IDC_CANCEL = 2 };
    static constexpr int kMinimumWidth = 320;
    static constexpr int kMinimumHeight = 380;

    CCommandWnd(model::CDataFile& store, CommandWndHost host, QWidget* parent = nullptr);
    ~CCommandWnd() override;

    plat::HWND GetSafeHwnd() const;
    const QString& BuildError() const { return m_buildError; }

    // Runs one of the window's commands (the hidden buttons'); false for another id.
    bool OnCommand(int id);
    // Command 1002: fills the control from the data store again.
    void ReloadControl();

    // ---- Forwarders the main frame calls, each on the control ---------------------------------

    void ShowTreeItem(const char* text);
    void SetReadOnly(plat::LONG mode);
    void AddEnableCmdType(const char* type);
    void UpdateTreeIcon();
    void SetDataChange(model::CZRParamClass* node);
    // Before a New or a load: the control drops every row (the store frees their nodes).
    void InitControl();

    // The control's CtrlHelp and WM_HELP: the window's topic (the flag stays unset).
    void OnHelp();

    CZRPARAM Control() const { return CZRPARAM(m_site); }
    ParamTraffic& Traffic() { return m_traffic; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void hideAsClosed();

    model::CDataFile& m_store;
    CommandWndHost m_host;
    ParamTraffic m_traffic;
    EventSinkMap m_sinks;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
    ControlSite* m_site = nullptr;
    QString m_buildError;
};

} // namespace talverin
