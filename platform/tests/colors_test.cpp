#include "platform/qt/colors.h"

#include <gtest/gtest.h>

namespace plat {
namespace {

TEST(Colors, ColorRefIsBlueGreenRedFromTheHighByteDown)
{
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x00563412u);
    EXPECT_EQ(GetRValue(0x00563412u), 0x12);
    EXPECT_EQ(GetBValue(0x00563412u), 0x56);
    // 0x00F0F0 is yellow, not cyan; 0xFF0000 is blue.
    EXPECT_EQ(ColorFromColorRef(0x0000F0F0u), QColor(0xF0, 0xF0, 0x00));
    EXPECT_EQ(ColorFromColorRef(0x00FF0000u), QColor(0, 0, 0xFF));
    EXPECT_EQ(ColorRefFromColor(QColor(0xF0, 0xF0, 0x00)), 0x0000F0F0u);
    EXPECT_EQ(ColorRefFromColor(QColor::fromHsv(240, 255, 255)), 0x00FF0000u);
    for (COLORREF c : {0x0u, 0x00FFFFFFu, 0x00402010u})
        EXPECT_EQ(ColorRefFromColor(ColorFromColorRef(c)), c);
}

TEST(Colors, SystemColoursComeFromTheFixedTable)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0x00, 0x78, 0xD7));
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), RGB(0x6D, 0x6D, 0x6D));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(31), 0u);
    EXPECT_EQ(SystemColorRef(COLOR_BTNFACE), 0x8000000Fu);
    EXPECT_EQ(ColorFromColorRef(0x8000000Fu), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(ColorFromColorRef(0x80000005u), QColor(Qt::white));
    EXPECT_EQ(ResolveColorRef(0x8000000Du), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(ResolveColorRef(0x80000040u), 0u); // no such index
    EXPECT_EQ(ResolveColorRef(0x02123456u), 0x00123456u);
}

} // namespace
} // namespace plat
