// The test window of the communication library: opens a port by name, shows the connection state
// and the monitor codes, sends commands and shows their replies, sends direct text and shows what
// comes back. It uses nothing but the library's exported functions.
#pragma once

#include <zrcomm/zrcomm_api.h>

#include <platform/qt/window_bridge.h>

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zrconsole {

class ConsoleWindow : public QWidget {
public:
    explicit ConsoleWindow(QWidget* parent = nullptr);
    ~ConsoleWindow() override;

    void setPortName(const QString& name);
    void setBaudRate(plat::DWORD baud) { m_baud = baud; }
    bool openPort(); // false: the status line says why
    void closePort();
    bool isOpen() const { return m_open; }
    CommandId sendCommand(const QString& text); // a CR is added when the text has none
    bool sendText(const QString& text);

    // Called when a driver connects (with its identification) and when a command ends.
    std::function<void(const QString& identification)> onConnected;
    std::function<void(CommandId id, CommandStatus status, const QString& reply)> onCommandEnded;
    // Called when the line failed for good (the device went, or no identification could be read);
    // the port is closed by then and the status line says why.
    std::function<void(const QString& why)> onLineFailed;

    QString statusText() const;

private:
    plat::LRESULT handle(plat::UINT msg, plat::WPARAM w, plat::LPARAM l);
    void monitor(plat::WPARAM code, plat::LPARAM value);
    void commandEvent(plat::WPARAM event, CommandId id);
    void textEvent();
    void editSettings();
    void showStatus(const QString& text);
    void log(const QString& line);
    void refreshConnection();
    void lineFailed();

    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
    plat::DCB m_dcb;
    bool m_haveSettings = false;
    plat::DWORD m_baud = 0;
    bool m_open = false;
    QLineEdit* m_port = nullptr;
    QPushButton* m_openButton = nullptr;
    QLabel* m_status = nullptr;
    QPlainTextEdit* m_monitor = nullptr;
    QLineEdit* m_command = nullptr;
    QPlainTextEdit* m_replies = nullptr;
    QCheckBox* m_terminalMode = nullptr;
    QLineEdit* m_text = nullptr;
    QPlainTextEdit* m_terminal = nullptr;
};

// Names for the codes, for the window and its log.
QString MonitorName(plat::WPARAM code);
QString EventName(plat::WPARAM event);
QString ResultName(CommandStatus status);

} // namespace zrconsole
