// The pin row's rules without a window: changed state, baseline, SetData, the pin line both ways,
// layout, colours and the Tab walk.
#include <zrcn2/PinRowColors.h>
#include <zrcn2/PinRowLayout.h>
#include <zrcn2/PinRowModel.h>
#include <zrcn2/TabWalk.h>

#include <gtest/gtest.h>

using namespace zrcn2;
using Box = PinRowModel::Box;

namespace {

PinRowModel rowWithBaseline(const char* setten, const char* name, const char* data)
{
    PinRowModel m;
    m.setNumber(30);
    m.setAll(setten, name, data, 0, false);
    return m;
}

} // namespace

TEST(PinRowModelTest, ChangedStateComparesTheFunctionWithoutCaseAndTheRestExactly)
{
    struct Case {
        const char* setten;
        const char* nameBox;
        const char* dataBox;
        bool changed;
    } cases[] = {
        {"A", "abc", "abc", false}, {"A", "ABC", "abc", false}, {"A", "abd", "abc", true},
        {"A", "abc", "ABC", true},  {"B", "abc", "abc", true},  {"a", "abc", "abc", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.setten) + "/" + c.nameBox + "/" + c.dataBox);
        PinRowModel m = rowWithBaseline("A", "abc", "abc");
        m.setSetten(c.setten);
        m.setBoxText(Box::Name, c.nameBox);
        m.setBoxText(Box::Data, c.dataBox);
        EXPECT_EQ(m.refreshModified(), c.changed);
        EXPECT_EQ(m.modified(), c.changed);
        // A badge-only row is never changed.
        m.setViewMode(0);
        EXPECT_FALSE(m.changed());
    }
}

TEST(PinRowModelTest, BaselineMovesOnlyWithFalseAndSetDataIgnoresCaseOnlyChanges)
{
    PinRowModel m = rowWithBaseline("A", "abc", "1");
    m.setBoxText(Box::Data, "2");
    EXPECT_TRUE(m.setModifyFlg(true)); // differs: repaint, but the baseline stays
    EXPECT_EQ(m.baselineData(), "1");
    EXPECT_EQ(m.data(), "2");
    EXPECT_TRUE(m.changed());
    EXPECT_TRUE(m.setModifyFlg(false));
    EXPECT_EQ(m.baselineData(), "2");
    EXPECT_FALSE(m.changed());
    EXPECT_FALSE(m.setModifyFlg(false)); // nothing differs any more
    // The status word is part of the baseline.
    m.setStatus(kStatusError);
    EXPECT_TRUE(m.setModifyFlg(false));
    EXPECT_EQ(m.baselineStatus(), kStatusError);

    // Same texts ignoring case, same status, same changed state: nothing happens.
    EXPECT_FALSE(m.setAll("a", "ABC", "2", kStatusError, false));
    EXPECT_EQ(m.setten(), "A");
    // Anything else is stored and the boxes follow.
    bool differed = false;
    EXPECT_TRUE(m.setAll("B", "x", "2", kStatusError, false, &differed));
    EXPECT_TRUE(differed);
    EXPECT_EQ(m.nameBox(), "x");
    EXPECT_EQ(m.baselineSetten(), "B");
    EXPECT_TRUE(m.setAll("B", "x", "2", kStatusError, true)); // modify flag differs from the state
}

TEST(PinRowModelTest, TheBaselineStepReadsAtMost63BytesAndKeepsCharactersWhole)
{
    PinRowModel m = rowWithBaseline("A", "", "");
    m.setBoxText(Box::Name, std::string(70, 'F'));
    m.setModifyFlg(false);
    EXPECT_EQ(m.name().size(), 63u);
    // A three-byte character across the limit is dropped whole.
    EXPECT_EQ(ClipText(std::string(62, 'x') + "\xE3\x81\x82", 63), std::string(62, 'x'));
    EXPECT_EQ(ClipText("\xE3\x81\x82", 3), "\xE3\x81\x82");
}

TEST(PinRowModelTest, PinLineBothWays)
{
    PinRowModel m;
    m.importLine("30,2,0,5,1,1f", true);
    EXPECT_EQ(m.number(), 30);
    EXPECT_EQ(m.setten(), "P");
    EXPECT_EQ(m.name(), "5");
    EXPECT_EQ(m.dataBox(), "1");
    EXPECT_EQ(m.status(), 0x1Fu);
    EXPECT_EQ(m.baselineSetten(), ""); // the baseline is not touched
    EXPECT_EQ(m.exportLine(true), "30,2,P,5,1,1f");
    EXPECT_EQ(m.exportLine(false), "P,5,1,1f");

    // Without numbers the row keeps its pin; a line without fields empties the texts.
    m.importLine(",,,", false);
    EXPECT_EQ(m.number(), 30);
    EXPECT_EQ(m.exportLine(true), "30,2,,,,0");
    m.importLine("", true);
    EXPECT_EQ(m.number(), 30);

    // A changed row with status 0 exports 0 and is pending afterwards.
    PinRowModel c = rowWithBaseline("A", "1", "0");
    c.setNumber(10); // a pin without an I/O number exports -1
    c.setBoxText(Box::Data, "5");
    EXPECT_EQ(c.exportLine(true), "10,-1,A,1,5,0");
    EXPECT_EQ(c.status(), kStatusChanged);
}

TEST(PinRowModelTest, LeavingABoxAndDeactivatingStoreTheBoxes)
{
    PinRowModel m = rowWithBaseline("A", "abc", "1");
    m.setBoxText(Box::Name, "abc");
    EXPECT_FALSE(m.leaveBox(Box::Name));
    m.setBoxText(Box::Name, "ABC"); // case counts here, not in the changed state
    EXPECT_TRUE(m.leaveBox(Box::Name));
    EXPECT_EQ(m.name(), "ABC");
    EXPECT_FALSE(m.deactivate());
    m.setBoxText(Box::Data, std::string(200, '9'));
    EXPECT_TRUE(m.deactivate());
    EXPECT_EQ(m.data().size(), kLeaveTextMax);
}

TEST(PinRowLayoutTest, HeightThirtyAndTheCutToAMultipleOfThree)
{
    for (const auto& [height, cut] : {std::pair<int, int>{31, 30}, {32, 30}, {30, 30}, {0, 0}})
        EXPECT_EQ(CutRowHeight(height), cut);

    const PinRowLayout l = PinRowLayout::compute(30, 60, 96);
    EXPECT_EQ(l.badgeSize, 28);
    EXPECT_EQ(l.editFontHeight, 24);
    EXPECT_EQ(l.numberFontHeight, 21);
    EXPECT_EQ(l.buttonFontHeight, 28);
    EXPECT_EQ(l.button, QRect(31, 1, 26, 28));
    EXPECT_EQ(l.nameBox, QRect(57, 1, 64, 28)); // 2H - 3 .. a + 2H + 1
    EXPECT_EQ(l.dataBox, QRect(121, 1, 100, 28)); // .. + b + 4
    EXPECT_EQ(BadgeEllipse(l, false), QRect(1, 1, 26, 26));
    EXPECT_EQ(BadgeEllipse(l, true), QRect(3, 3, 26, 26));
}

TEST(PinRowColorsTest, BadgeTextAndFrameColours)
{
    EXPECT_EQ(BadgeColor(0xF0F0F0, 0, false, false), 0xF0F0F0u);
    EXPECT_EQ(BadgeColor(0xF0F0F0, kStatusChanged, false, false), kChangedBadgeColor);
    EXPECT_EQ(BadgeColor(0xF0F0F0, 0, true, false), kChangedBadgeColor);
    EXPECT_EQ(BadgeColor(0xF0F0F0, kStatusChanged | kStatusError, false, false), 0xF0F0F0u);
    EXPECT_EQ(BadgeColor(0xF0F0F0, 0, false, true), 0xFFFFFFu);
    EXPECT_EQ(NumberColor(kStatusError), kErrorTextColor);
    EXPECT_EQ(NumberColor(kStatusFunctionWrong), kNumberColor);

    const std::uint32_t refused = kStatusError | kStatusFunctionWrong;
    EXPECT_EQ(BoxTextColor(true, refused, 0x123456), kErrorTextColor);
    EXPECT_EQ(BoxTextColor(false, refused, 0x123456), 0x123456u);
    EXPECT_EQ(BoxTextColor(false, kStatusValueWrong, 0x123456), 0x123456u); // no error bit

    // Red from red: a pure red gives red shades, not blue ones.
    const SunkenShades red = SunkenFrameShades(0x0000C8);
    EXPECT_EQ(red.dark, 0x000064u);
    EXPECT_EQ(red.light, 0x0000FAu);
    EXPECT_EQ(SunkenFrameShades(0xFFFFFF).light, 0xFFFFFFu); // capped at 255
}

TEST(TabWalkTest, ForwardBackwardAndSkippingDisabledChildren)
{
    const EnabledParts all{true, true, true};
    const EnabledParts noName{true, false, true};
    const EnabledParts none{false, false, false};
    struct Case {
        RowPart from;
        bool backward;
        EnabledParts enabled;
        RowPart to;
    } cases[] = {
        {RowPart::None, false, all, RowPart::Button}, {RowPart::None, true, all, RowPart::Data},
        {RowPart::Button, false, all, RowPart::Name}, {RowPart::Data, false, all, RowPart::None},
        {RowPart::Button, false, noName, RowPart::Data}, {RowPart::Data, true, noName, RowPart::Button},
        {RowPart::Button, true, all, RowPart::None},  {RowPart::None, false, none, RowPart::None},
        {RowPart::None, false, {false, false, true}, RowPart::Data},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.from) * 10 + c.backward);
        EXPECT_EQ(NextTabStop(c.from, c.backward, c.enabled), c.to);
    }
    EXPECT_EQ(FocusTarget({false, true, true}), RowPart::Name);
}
