// The command bar ("Command tool", only when the settings file has an [ExtBar] section): five
// buttons (1075-1079) for the [ExtBar] entries 1-5, each sending its driver command text (tags
// 100-104, sent by the frame) and drawn pressed in cyan while that command runs. The frame relays
// each command's events here as WM_COMMAND_TOOL_REPLY (tag, event).
#pragma once

#include "common/StartupRules.h"
#include "connection/ConnectionRules.h"
#include "frame/OwnerDrawButton.h"

#include <platform/types.h>

#include <QToolBar>

#include <array>
#include <cstdint>
#include <memory>

class QAction;

namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class CCommandBar : public QToolBar {
    Q_OBJECT

public:
    static constexpr int IDD = 176;
    static constexpr int IDC_FIRST = 1075;
    static constexpr int kButtonCount = ConnectionTag::CommandBarCount;
    static constexpr plat::WPARAM kFirstTag = ConnectionTag::CommandBar;

    explicit CCommandBar(const std::array<ExtBarEntry, kButtonCount>& entries, QWidget* parent = nullptr);
    ~CCommandBar() override;

    plat::HWND GetSafeHwnd() const;

    // Per button (index 0-4): the last event of its command (0 idle) and the command's id.
    int GetState(int index) const { return m_states[index]; }
    void SetState(int index, int state);
    std::int32_t GetCommandId(int index) const { return m_commandIds[index]; }
    void SetCommandId(int index, std::int32_t id) { m_commandIds[index] = id; }
    // Every button back to idle: when the bar is made and when a disconnection is accepted.
    void ClearStates();
    // True while a command's state means it is still under way (sending, written, reply begins).
    static bool IsRunningState(int state) { return state == 1 || state == 2 || state == 5; }

    bool HasCommand(int index) const { return m_entries[index].hasCommand; }
    const std::string& CommandText(int index) const { return m_entries[index].command; }
    QAction* Action(int index) const { return m_actions[index]; }
    OwnerDrawButton* Button(int index) const { return m_buttons[index]; }

    // Set while a send on the terminal screen runs.
    bool m_busy = false;

    // WM_COMMAND_TOOL_REPLY (tag 100-104, state); other tags are ignored.
    plat::LRESULT OnToolReply(plat::WPARAM tag, plat::LPARAM state);

private:
    void drawButton(OwnerDrawButton& button, const plat::qt::DrawItemInfo& item);

    std::array<ExtBarEntry, kButtonCount> m_entries;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
    std::array<int, kButtonCount> m_states{};
    std::array<std::int32_t, kButtonCount> m_commandIds{};
    std::array<QAction*, kButtonCount> m_actions{};
    std::array<OwnerDrawButton*, kButtonCount> m_buttons{};
};

} // namespace talverin
