// "Communication select port": the port of the upload/download dialog, chosen from the frame's
// port records; "&Set" opens the chosen port's settings dialog over this one.
#pragma once

#include "connection/PortList.h"

#include <platform/types.h>

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

class QComboBox;
class QPushButton;

namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class CPortSelectDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 165;
    static constexpr int IDC_PORT = 1066;
    static constexpr int IDC_SET = 1067;

    // Runs the settings dialog for a record over a parent window: true when OK was pressed.
    using Configure = std::function<bool(PortRecord& record, plat::HWND parent)>;

    // Lists the records and selects the one named portName (without regard to case).
    CPortSelectDlg(const PortList& ports, const std::string& portName, Configure configure,
                   QWidget* parent = nullptr);
    ~CPortSelectDlg() override;

    // After OK: the chosen record and its name.
    PortRecord* m_record = nullptr;
    std::string m_portName;

    QComboBox* Ports() const { return m_ports; }
    QPushButton* SetButton() const { return m_set; }
    plat::HWND GetSafeHwnd() const;
    void OnSet();
    void accept() override;

private:
    PortRecord* selected() const;

    QComboBox* m_ports = nullptr;
    QPushButton* m_set = nullptr;
    QPushButton* m_ok = nullptr;
    Configure m_configure;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
};

} // namespace talverin
