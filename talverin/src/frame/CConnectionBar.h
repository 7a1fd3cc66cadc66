// The connection bar ("Connection tool", docked at the top): the Connect and Disconnect buttons
// (1031, 1032, commands of the frame) and the send and receive lamps (1029, 1030). Its window
// handle is the communication library's monitor window: every WM_COMM_MONITOR lands here and is
// relayed to the main window as the program's own messages.
//
// The connection code sets the display state (-1 disconnected, 0 connecting, 1 connected) with
// SetDisplayState and passes GetSafeHwnd() to ZRComm_SetMonitorWnd.
#pragma once

#include "connection/ConnectionHost.h"
#include "frame/OwnerDrawButton.h"

#include <platform/types.h>

#include <QToolBar>

#include <functional>
#include <memory>

class QAction;

namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class CConnectionBar : public QToolBar {
    Q_OBJECT

public:
    static constexpr int IDD = 152;
    static constexpr int IDC_SEND_LAMP = 1029;
    static constexpr int IDC_RECEIVE_LAMP = 1030;
    static constexpr int IDC_CONNECT = 1031;
    static constexpr int IDC_DISCONNECT = 1032;
    static constexpr int kLampMs = 100;

    enum DisplayState {
        kDisconnected = BarState::Disconnected,
        kConnecting = BarState::Connecting,
        kConnected = BarState::Connected
    };

    // mainWindow: where the relayed messages go. operationRunning: true while the start screen or
    // the upload/download dialog runs (a held button is then not drawn pressed).
    CConnectionBar(plat::HWND mainWindow, std::function<bool()> operationRunning, QWidget* parent = nullptr);
    ~CConnectionBar() override;

    plat::HWND GetSafeHwnd() const;
    int GetDisplayState() const { return m_displayState; }
    void SetDisplayState(int state);
    // Repaints the buttons and lamps.
    void Repaint();

    // The actions the buttons follow; the frame binds them to 1031 and 1032.
    QAction* ConnectAction() const { return m_connectAction; }
    QAction* DisconnectAction() const { return m_disconnectAction; }
    OwnerDrawButton* Control(int id) const;

    // WM_COMM_MONITOR (code, value).
    plat::LRESULT OnCommMonitor(plat::WPARAM code, plat::LPARAM value);

private:
    plat::LRESULT windowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);
    void drawButton(OwnerDrawButton& button, const plat::qt::DrawItemInfo& item);
    void drawLamp(OwnerDrawButton& lamp, const plat::qt::DrawItemInfo& item);
    void lampActivity(int bit, OwnerDrawButton* lamp);

    plat::HWND m_mainWindow;
    std::function<bool()> m_operationRunning;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
    int m_displayState = kDisconnected;
    unsigned m_lampFlags = 0; // bit 0 send, bit 1 receive activity not shown yet
    unsigned m_lampsLit = 0;  // the same bits while a lamp shows its colour
    QAction* m_connectAction = nullptr;
    QAction* m_disconnectAction = nullptr;
    OwnerDrawButton* m_connect = nullptr;
    OwnerDrawButton* m_disconnect = nullptr;
    OwnerDrawButton* m_sendLamp = nullptr;
    OwnerDrawButton* m_receiveLamp = nullptr;
};

} // namespace talverin
