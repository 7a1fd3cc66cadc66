// The channel editor's step panel and row painting, offscreen.
#include "screens/channel/CPresetStepDlg.h"

#include "common/AppMessages.h"
#include "screens/channel/ChannelRowDelegate.h"

#include <model/ZRParamData.h>
#include <platform/messages.h>
#include <platform/qt/colors.h>
#include <platform/qt/window_bridge.h>

#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

using namespace talverin;

TEST(ChannelWidgetsGui, StepPanelCaptionsAndPresses)
{
    QWidget owner;
    std::vector<std::pair<plat::WPARAM, plat::LPARAM>> steps;
    plat::qt::WindowBridge bridge(&owner, [&](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
        if (m == WM_PRESET_STEP)
            steps.emplace_back(w, l);
        return plat::LRESULT{0};
    });
    CPresetStepDlg panel(bridge.hwnd(), &owner);
    model::CZRParamData spd("W,SPD,0,rpm,100,0,Speed,0-3000,,10,100,0");
    panel.SetParam(&spd);
    QStringList captions;
    for (int id = 2006; id >= 2000; --id)
        captions << panel.findChild<QPushButton*>(QString::number(id))->text();
    EXPECT_EQ(captions.join(' '), "100 10 1 Reset -1 -10 -100");
    EXPECT_FALSE(panel.button(3)->isEnabled());
    EXPECT_LT(panel.button(6)->y(), panel.button(0)->y());
    EXPECT_EQ(panel.button(6)->focusPolicy(), Qt::NoFocus);

    panel.press(3); // disabled: nothing
    panel.press(5);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].first, 5u);
    EXPECT_EQ(steps[0].second, reinterpret_cast<plat::LPARAM>(&spd));
}

TEST(ChannelWidgetsGui, RowPaintFollowsSelectionFocusAndVerdict)
{
    const QColor red = QColor::fromRgb(kRejectedRowColor);
    const auto sys = [](int i) { return plat::ColorFromColorRef(plat::GetSysColor(i)); };
    struct { RowPaintState s; QColor background; bool marker; } cases[] = {
        {{true, true, true, false, false, true}, sys(plat::COLOR_HIGHLIGHT), true},
        {{true, false, false, false, false, true}, sys(plat::COLOR_BTNFACE), false},
        {{false, true, true, false, false, false}, red, false},   // rejected
        {{false, true, false, false, true, false}, red, false},   // empty command above the last row
        {{false, true, false, true, true, false}, sys(plat::COLOR_WINDOW), false}, // the blank last row
    };
    for (const auto& c : cases) {
        const RowPaint p = ChooseRowPaint(c.s);
        EXPECT_EQ(p.background, c.background);
        EXPECT_EQ(p.marker, c.marker);
        EXPECT_EQ(p.editCell.isValid(), c.s.focusedRow);
    }
    EXPECT_EQ(ChooseRowPaint({true, true}).text, sys(plat::COLOR_HIGHLIGHTTEXT));
}
