// The seven-button preset popup (dialog 207) beside the value editor: +100 +10 +1 Reset -1 -10
// -100 from the top (buttons 2006 ... 2000), captions made from the node's steps. A button sends
// WM_PRESET_STEP (wParam the index, id - 2000; lParam the node) to the target window. A child
// frame of the list that never takes the focus, so the editor keeps it.
#pragma once

#include <platform/types.h>

#include <QFrame>

#include <array>

class QPushButton;

namespace model {
class CZRParamClass;
}

inline constexpr plat::UINT WM_PRESET_STEP = plat::WM_USER + 1;

class CPresetStepDlg : public QFrame {
public:
    explicit CPresetStepDlg(QWidget* parent);

    // The captions (in the language) and the Reset button's state for the node, which the
    // buttons then send. Call under the data mutex.
    void SetParam(const model::CZRParamClass* node, plat::LANGID language);
    void setTarget(plat::HWND target) { m_target = target; }
    const model::CZRParamClass* node() const { return m_node; }
    QPushButton* button(int index) const;
    // Forgets the node (a reload of the host's lists).
    void dropNode() { m_node = nullptr; }

private:
    void pressed(int index);

    std::array<QPushButton*, 7> m_buttons{};
    plat::HWND m_target = nullptr;
    const model::CZRParamClass* m_node = nullptr;
};
