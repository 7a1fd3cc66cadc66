// The step panel of the channel editor (dialog 207): seven buttons stacked top to bottom, 2006
// "+100", 2005 "+10", 2004 "+1", 2003 "Reset", 2002 "-1", 2001 "-10", 2000 "-100", whose captions
// become the parameter's steps. A press sends WM_PRESET_STEP (button index = id - 2000, the
// record) to the owner window. The panel never takes the focus, so the cell editor keeps it.
#pragma once

#include <platform/types.h>

#include <QWidget>

#include <array>

class QPushButton;

namespace model {
class CZRParamData;
}

namespace talverin {

class CPresetStepDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDialogId = 207;
    static constexpr int kFirstButton = 2000;

    CPresetStepDlg(plat::HWND owner, QWidget* parent);

    // Keeps the record and shows its steps on the buttons; Reset is disabled for a parameter that
    // can be written but not read.
    void SetParam(model::CZRParamData* record);
    model::CZRParamData* param() const { return m_record; }

    // The button of an index 0-6 (id - 2000).
    QPushButton* button(int index) const;
    // Presses a button as a click would (nothing for a disabled one).
    void press(int index);

private:
    void onButton(int index);

    plat::HWND m_owner;
    model::CZRParamData* m_record = nullptr;
    std::array<QPushButton*, 7> m_buttons{};
};

} // namespace talverin
