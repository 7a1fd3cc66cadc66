// The terminal window (dialog 204): a modeless window beside the oscilloscope screen with a
// terminal box 1005 that sends every typed character to the driver, whatever it is, and shows
// what comes back. Each character it sends sets the line-clean flag for a carriage return and
// clears it otherwise, so that the oscilloscope knows whether the driver's line is empty. Made
// with the frame, hidden by Cancel, never destroyed before the frame.
#pragma once

#include "screens/TerminalWindowBase.h"
#include "screens/terminal/CViewTerminal.h"

#include <platform/qt/keyboard_hook.h>


#include <memory>

namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class CTerminalDlg : public TerminalWindowBase {
    Q_OBJECT

public:
    static constexpr int IDD = 204;
    static constexpr int IDC_TERMINAL = 1005;

    explicit CTerminalDlg(TerminalHost host, QWidget* parent = nullptr);
    ~CTerminalDlg() override;

    plat::HWND GetSafeHwnd() const override;
    // Paste, Copy and Cut (57637, 57634, 57635) with their update rules.
    plat::qt::CommandTable& Commands() { return m_commands; }

    void FocusTerminal() override;
    void SetTerminalReadOnly(bool readOnly) override;
    // The keyboard hook, for the frame's chain: Ctrl+C and Ctrl+V pressed in this window are Copy
    // and Paste (run when enabled), not control characters for the driver. True: consumed.
    bool HandleHookKey(const plat::qt::KeyInput& key);

    CZRTERMED Terminal() const { return m_link.Box(); }
    QPlainTextEdit* TerminalEdit() const;
    bool IsPasting() const { return m_link.IsPasting(); }

public slots:
    // Cancel (Escape or the close box): hidden, the frame's menu item unchecked.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    plat::LRESULT WindowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);
    void buildCommands();

    TerminalHost m_host;
    TerminalLink m_link;
    EventSinkMap m_sinks;
    plat::qt::CommandTable m_commands;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
    plat::qt::KeyboardHookHandle m_keyHook;
};

class ScreenHost;

// Registers the terminal screen (view 183, "Terminal", command 32779 / Ctrl+5, the line in
// terminal mode while it is current) and the terminal window made with the frame.
void RegisterTerminalScreen(ScreenHost& host);

} // namespace talverin
