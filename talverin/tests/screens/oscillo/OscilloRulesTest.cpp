// The oscilloscope screen's pure rules: layout, zoom and scroll arithmetic, cursor ranges, value
// checks, texts, channel rules, the settings summary and the exported panel's lines.
#include "screens/oscillo/OscilloChannelRules.h"
#include "screens/oscillo/OscilloGeometry.h"
#include "screens/oscillo/OscilloLayout.h"
#include "screens/oscillo/OscilloPanel.h"
#include "screens/oscillo/OscilloText.h"
#include "screens/oscillo/OscilloValueChecks.h"
#include "screens/oscillo/SettingsSummary.h"

#include <model/ZRParamData.h>

#include <platform/qt/colors.h>

#include <gtest/gtest.h>

#include <limits>

using namespace talverin;

namespace {

model::CZRParamData* record(const std::string& decimals, const std::string& range, const char* name = "VF")
{
    static std::vector<std::unique_ptr<model::CZRParamData>> kept;
    kept.push_back(std::make_unique<model::CZRParamData>(std::string("WR,") + name + ",1,rpm,0," + decimals +
                                                         ",Label," + range + ",1,1,0,0"));
    return kept.back().get();
}

} // namespace

TEST(OscilloRulesTest, LayoutGluesSlidersToTheSnappedScope)
{
    for (auto [in, out] : {std::pair{400, 401}, {419, 401}, {420, 421}, {421, 421}, {0, 1}, {-50, 1}, {1, 1}})
        EXPECT_EQ(SnapScopeSize(in), out) << in;

    const std::vector<LayoutItem> form = OrderLayoutList({
        {1047, {300, 250, 30, 14}}, {1039, {400, 300, 40, 14}}, {1033, {60, 300, 200, 10}},
        {1241, {20, 300, 30, 10}}, {1101, {240, 250, 20, 16}}, {1105, {320, 250, 20, 16}},
        {1126, {0, 0, 1, 1}}, {1129, {0, 0, 1, 1}}, {1003, {30, 24, 401, 201}}, {1010, {500, 40, 50, 14}},
    });
    ASSERT_EQ(form.front().id, 1003);
    EXPECT_EQ(form[1].id, 1129);
    EXPECT_EQ(form[5].id, 1047); // after the zoom buttons it is placed by

    // Marker at (600, 400): a client of 650 x 430 grows the scope by 50 x 30, snapped.
    const LayoutResult r = LayOutScreen(form, {600, 400}, {650, 430});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.scope, QRect(30, 24, 441, 221));
    EXPECT_EQ(r.dx, 40);
    EXPECT_EQ(r.dy, 20);
    const auto at = [&r](int id) {
        for (const LayoutItem& i : r.placed)
            if (i.id == id)
                return i.rect;
        return QRect();
    };
    EXPECT_EQ(at(1126), QRect(24, 12, 453, 12));
    EXPECT_EQ(at(1129), QRect(471, 18, 12, 233));
    EXPECT_EQ(at(1105), QRect(471 - 20, 245 + 18, 20, 16));
    EXPECT_EQ(at(1101), QRect(471 - 100, 263, 20, 16));
    EXPECT_EQ(at(1047), QRect(371 - 30, 263, 30, 14));
    EXPECT_EQ(at(1033), QRect(60, 320, 240, 10)); // down and wider
    EXPECT_EQ(at(1039), QRect(440, 320, 40, 14)); // right and down
    EXPECT_EQ(at(1241), QRect(20, 320, 30, 10));
    EXPECT_EQ(at(1010), QRect(540, 40, 50, 14));
    // A client smaller than the form leaves the scope at its size; no scope, no layout.
    EXPECT_EQ(LayOutScreen(form, {600, 400}, {1, 1}).scope.size(), QSize(401, 201));
    EXPECT_FALSE(LayOutScreen({{1010, {}}}, {600, 400}, {650, 430}).ok);
}

TEST(OscilloRulesTest, ZoomAndScrollArithmetic)
{
    // TIME 10, zoom 2, width 401, v 200: 49.875 shown cut as 49.8.
    EXPECT_EQ(OneDecimal(*ScrollPositionMs(10, 200, 2, 401)), "49.8");
    EXPECT_FALSE(ScrollPositionMs(10, 200, 2, 0));
    EXPECT_EQ(RerangePositionSlider(1, 401, 400, 50), (SliderSetting{100, 0}));
    EXPECT_EQ(RerangePositionSlider(4, 401, 401, 200), (SliderSetting{1203, 600}));
    EXPECT_EQ(RerangePositionSlider(2, 401, 0, 30), (SliderSetting{401, 30})); // old maximum 0: kept

    for (auto [zoom, max] : {std::pair{1, 1000000}, {2, 500000}, {4, 250000}, {8, 125000}, {16, 62500}})
        EXPECT_EQ(TriggerCursorMax(zoom), max);
    EXPECT_EQ(*VisibleTriggerRange(401, 802, 2), (CursorRange{500000, 1000000}));
    EXPECT_EQ(*VisibleTriggerRange(800, 802, 2), (CursorRange{500000, 1000000})); // kept inside
    EXPECT_FALSE(VisibleTriggerRange(10, 0, 2)); // not painted yet

    EXPECT_NEAR(*TriggerPercentFromCursor(206, 0, 6, 400, 1, true), 50.05, 1e-9);
    EXPECT_EQ(*TriggerPercentFromCursor(2000, 0, 6, 400, 1, false), 100.0);
    EXPECT_FALSE(TriggerPercentFromCursor(1, 0, 6, 0, 1, true));

    EXPECT_EQ(TriggerCursorOnScreen(25, std::nullopt, 4), (TriggerCursorView{{0, 250000}, 250000, true})); // not painted yet

    EXPECT_DOUBLE_EQ(RescalePosition(3.3, 10, 20), 6.6);
    EXPECT_DOUBLE_EQ(RescalePosition(3.3, 0, 20), 3.3);
}

TEST(OscilloRulesTest, TimeCursorsAbsoluteAndRelative)
{
    const double visible = VisibleTimeMs(10, 4); // 50 ms
    EXPECT_EQ(TimeCursorRange(false, 30, visible), (CursorRange{0, 500}));
    EXPECT_EQ(TimeCursorRange(true, 30, visible), (CursorRange{300, 800}));
    EXPECT_EQ(*ScrolledTimeCursorRange(visible, 100, 400), (CursorRange{125, 625}));
    EXPECT_FALSE(ScrolledTimeCursorRange(visible, 100, 0));
    EXPECT_EQ(TimeCursorValue(0.3), 3);
    EXPECT_EQ(TimeCursorValue(std::numeric_limits<double>::infinity()), std::numeric_limits<std::int64_t>::max());

    const TimeCursorPair kept{5, 15};
    EXPECT_EQ(ShiftTimeCursors(kept, 30, true), (TimeCursorPair{35, 45}));
    EXPECT_EQ(ShiftTimeCursors({35, 45}, 30, false), kept);
    EXPECT_EQ(RescaleTimeCursors(kept, kept, true, 100, 50), kept);                 // guide shown: times stay
    EXPECT_EQ(RescaleTimeCursors(kept, kept, false, 100, 50), (TimeCursorPair{2.5, 7.5})); // pixels stay
    EXPECT_EQ(RescaleTimeCursors(kept, {8, 15}, false, 100, 200), (TimeCursorPair{16, 30})); // edit moved
}

TEST(OscilloRulesTest, LevelCursorPlacement)
{
    // Two decimals (F 100), zero at +50 %, scale 2, level 1.5, zero pixel 100, usable 200.
    EXPECT_EQ(PlaceLevelCursor({50, 2, 100, false, 2, 1.5, 100, 200}), (LevelCursorSetting{1000, -3000, 150, 93}));
    // No decimals: e 1.75; yes/no: 0; scale 0 counts as 1.
    EXPECT_EQ(PlaceLevelCursor({0, 0, 1, false, 0, 2, 50, 100}), (LevelCursorSetting{11, -11, 2, 40}));
    EXPECT_EQ(PlaceLevelCursor({0, 1, 100, true, 0, 1, 50, 100}), (LevelCursorSetting{1000, -1000, 100, 45}));
    // Extreme inputs saturate instead of overflowing.
    const auto huge = PlaceLevelCursor({0, 1e300, 100, false, 2, 1e300, 0, 100});
    EXPECT_EQ(huge.top, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(huge.bottom, std::numeric_limits<std::int64_t>::min());
}

TEST(OscilloRulesTest, ValueChecks)
{
    struct Case {
        const char* text;
        ValueCheck::Error time, res;
    } cases[] = {
        {"0.05", ValueCheck::Time, ValueCheck::Resolution}, {"0.1", ValueCheck::None, ValueCheck::Resolution},
        {"500", ValueCheck::None, ValueCheck::Resolution},  {"500.1", ValueCheck::Time, ValueCheck::Resolution},
        {"204.9", ValueCheck::None, ValueCheck::None},      {"1", ValueCheck::None, ValueCheck::None},
        {"abc", ValueCheck::Time, ValueCheck::Resolution},  {"1e400", ValueCheck::Time, ValueCheck::Resolution},
        {"205", ValueCheck::None, ValueCheck::Resolution},  {"-3", ValueCheck::Time, ValueCheck::Resolution},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckTimeText(c.text).error, c.time) << c.text;
        EXPECT_EQ(CheckResolutionText(c.text).error, c.res) << c.text;
    }
    EXPECT_EQ(CheckResolutionText("204.9").value, 204);

    // POS: TIME 10 (T 200), zoom 4, width 400: 0 ... 150.
    const ValueCheck pos = CheckPositionText("75", 10, 4, 400);
    EXPECT_TRUE(pos.accepted());
    EXPECT_EQ(pos.pixel, 600);
    EXPECT_EQ(CheckPositionText("150.1", 10, 4, 400).error, ValueCheck::Position);
    EXPECT_EQ(CheckPositionText("150.1", 10, 4, 400).high, 150);
    EXPECT_EQ(CheckPositionText("-1", 10, 4, 400).error, ValueCheck::Position);
    EXPECT_EQ(CheckPositionText("1", 0, 4, 400).error, ValueCheck::Unchecked);

    EXPECT_TRUE(CheckCursorText("200", 10).accepted());
    EXPECT_EQ(CheckCursorText("200.1", 10).error, ValueCheck::Cursor);
    EXPECT_TRUE(CheckCursorText("-5", 0.01).accepted()); // T truncates to 0: anything

    EXPECT_EQ(TriggerPositionFromText("150"), 100.0);
    EXPECT_EQ(TriggerPositionFromText("abc"), 0.0);
    EXPECT_EQ(ChannelPositionFromText("-250"), -100.0);
    EXPECT_EQ(ZeroCursorValue(60.7), 4000);
}

TEST(OscilloRulesTest, TextRules)
{
    EXPECT_EQ(OneDecimal(-0.05), "-0.0");
    EXPECT_EQ(CutDecimals("12", 1), "12");
    EXPECT_EQ(ParseColorTriple("1,2,3"), plat::RGB(1, 2, 3));
    for (const char* bad : {"10,20", "", "1,2,3,4"})
        EXPECT_EQ(ParseColorTriple(bad), plat::RGB(64, 64, 64)) << bad;
    EXPECT_EQ(ParseColorTriple("300,-1,x"), plat::RGB(255, 0, 0));

    EXPECT_EQ(NormaliseScaleText(" 000050 "), "50");
    EXPECT_EQ(NormaliseScaleText("00050"), "050");
    EXPECT_EQ(NormaliseLevelText("0005"), "05");
    EXPECT_EQ(NormaliseLevelText("1x"), "0");
    EXPECT_EQ(NormaliseLevelText(""), "");

    struct Fit {
        const char* text;
        LevelFormat format;
        const char* fitted;
    } fits[] = {{"5", {false, 2}, "5.00"}, {"5.123", {false, 2}, "5.12"}, {"5.7", {false, 0}, "5"},
                {"5", {false, 0}, "5"},     {"-1.9", {true, 0}, "-1"},     {"", {false, 1}, ".0"}};
    for (const Fit& f : fits)
        EXPECT_EQ(FitLevelText(f.text, f.format), f.fitted) << f.text;

    EXPECT_EQ(ReadoutText(40, 1), "40.");
    EXPECT_EQ(ReadoutText(40, 10), "40.0");
    EXPECT_EQ(ReadoutText(-4.567, 100), "-4.56");

    EXPECT_EQ(AlignRight(" 12 ", 6), "    12");
    EXPECT_EQ(AlignRight("12345678901", 10), "12345678901");
    EXPECT_EQ(AlignLeft("ab", 4), "ab  ");
    EXPECT_EQ(AlignCentre("VFB", 10), "    VFB   ");
    EXPECT_EQ(AlignCentre("ABCDEFGHIJK", 10), "ABCDEFGHIJK");
}

TEST(OscilloRulesTest, ChannelScaleAndStep)
{
    const ChannelScale integer = ChannelScaleFor(*record("0", "-3000-3000"));
    EXPECT_EQ(integer.factor, 1);
    EXPECT_EQ(integer.max, 3000);
    EXPECT_EQ(integer.defaultText, "750");
    const ChannelScale decimals = ChannelScaleFor(*record("2", "0-100"));
    EXPECT_EQ(decimals.factor, 100);
    EXPECT_EQ(decimals.min, -10000);
    EXPECT_EQ(decimals.defaultText, "25.00");
    const ChannelScale yesNo = ChannelScaleFor(*record("0", "0/1"));
    EXPECT_EQ(yesNo.factor, 100);
    EXPECT_EQ(yesNo.max, 100);
    EXPECT_EQ(yesNo.defaultText, "1.00");
    EXPECT_EQ(ChannelScaleFor(*record("0", "*")).max, kUnboundedScale);
    EXPECT_EQ(ChannelScaleFor(*record("0", "0-2")).defaultText, "1"); // at least 1

    EXPECT_EQ(FitScaleValue(99999, decimals).text, "100.00");
    EXPECT_EQ(FitScaleValue(2.5, integer).text, "2");

    EXPECT_FALSE(GetChannelStep(*record("0", "*")));
    EXPECT_EQ(*GetChannelStep(*record("0", "0-3000")), 1.0);
    EXPECT_EQ(*GetChannelStep(*record("2", "0-10")), 0.01);
    EXPECT_EQ(*GetChannelStep(*record("0", "(-10)-0")), 1.0); // interval at 0: plus one step
    EXPECT_EQ(*GetChannelStep(*record("0", "0")), 0.0);
    EXPECT_FALSE(GetChannelStep(*record("1", "(-10)-(-5)")));
    EXPECT_EQ(DefaultScaleFromStep(*record("0", "*")), "1");
    EXPECT_EQ(DefaultScaleFromStep(*record("0", "0/1")), "1.00");
    EXPECT_EQ(DefaultScaleFromStep(*record("3", "(-10)-(-5)")), "0.001");
    EXPECT_EQ(DefaultScaleFromStep(*record("2", "0-10")), "0.01");
}

TEST(OscilloRulesTest, SourceMatching)
{
    const std::vector<std::string> list = {"", "VFB", "TRQ", "vfb2"};
    struct Case {
        const char* reply;
        SourceMatch match;
    } cases[] = {
        {"TRQ\r", {SourceMatch::Select, 2, {}}}, {"VFB12", {SourceMatch::Select, 1, {}}},
        {"VFB-3", {SourceMatch::Select, 1, {}}}, {"vfb", {SourceMatch::Add, 0, "vfb"}}, // with case
        {"ABC", {SourceMatch::Add, 0, "ABC"}},   {"-1", {}}, {"", {}}, {"12", {SourceMatch::Add, 0, "12"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchSourceReply(list, c.reply), c.match) << c.reply;

    EXPECT_EQ(MatchDroppedSource(list, "x,vfb"), 1); // drops without case
    EXPECT_EQ(MatchDroppedSource(list, "x,TRQ,more"), 2);
    for (const char* none : {"VFB", "x,NONE", "x,", ""})
        EXPECT_FALSE(MatchDroppedSource(list, none)) << none;
}

TEST(OscilloRulesTest, SettingsSummaryRoundTripAndHistory)
{
    SettingsSummaryFields f{"10.0", "50", "50.0", "0.00", {"VF", "", "TQ", ""}, 3, true, CaptureMode::Sing};
    const std::string text = FormatSettingsSummary(f);
    EXPECT_EQ(text, "T=10.0,R=50,TP=50.0,TL=0.00,CH1=VF,*CH3=TQ,SLOPE=DOWN,SING");
    ViewRecordRestore r = ParseViewRecord(text);
    EXPECT_EQ(*r.time, "10.0");
    EXPECT_EQ(*r.resolution, "50");
    EXPECT_EQ(*r.triggerPosition, "50.0");
    EXPECT_EQ(*r.triggerLevel, "0.00");
    EXPECT_TRUE(r.channels[0].present && !r.channels[0].trigger);
    EXPECT_FALSE(r.channels[1].present);
    EXPECT_TRUE(r.channels[2].present && r.channels[2].trigger);
    EXPECT_EQ(r.channels[2].source, "TQ");
    EXPECT_EQ(*r.slopeDown, true);
    EXPECT_EQ(r.mode, CaptureMode::Sing);

    // No sources, UP, no mode; an old entry without R= finds TP in field 1; missing fields.
    r = ParseViewRecord(FormatSettingsSummary({"1.0", "5", "0.0", "", {}, 0, false, CaptureMode::None}));
    EXPECT_EQ(*r.slopeDown, false);
    EXPECT_EQ(r.mode, CaptureMode::None);
    r = ParseViewRecord("T=2.0,TP=30.0,CH1=VF(rpm),AUTO");
    EXPECT_FALSE(r.resolution);
    EXPECT_EQ(*r.triggerPosition, "30.0");
    EXPECT_EQ(r.channels[0].source, "VF");
    EXPECT_FALSE(r.slopeDown);
    r = ParseViewRecord("T=");
    EXPECT_EQ(*r.time, "");
    EXPECT_FALSE(r.triggerPosition);
    EXPECT_FALSE(ParseViewRecord("not recorded.").time);

    std::vector<std::string> history;
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(AddToViewHistory(history, "T=" + std::to_string(i)), 0);
    EXPECT_EQ(history.size(), 8u);
    EXPECT_EQ(history.front(), "T=9");
    EXPECT_EQ(AddToViewHistory(history, "T=5"), 4);
    EXPECT_TRUE(IsViewRecordAvailable("T=1", true));
    EXPECT_FALSE(IsViewRecordAvailable("T=1", false));
    EXPECT_FALSE(IsViewRecordAvailable("not recorded.", true));
}

TEST(OscilloRulesTest, PanelLinesForOneState)
{
    PanelValues v;
    v.date = "2024/01/02 03:04:05";
    v.cursorA = "0.5";
    v.cursorB = "1.5";
    v.cursorAB = "1.0";
    v.readoutA = "40.";
    v.activeChannel = 2;
    v.triggerPosition = "50.0";
    v.triggerLevel = "-1.25";
    v.unit = "rpm";
    v.sources = {"VF", "ABCDEF", "", "LONGNAME"};
    v.triggerChannel = 1;
    v.slopeDown = false;
    v.mode = CaptureMode::Auto;
    v.time = "10.0";
    const std::vector<PanelLine> lines = PanelLines(v);
    ASSERT_EQ(lines.size(), kPanelLineCount);
    EXPECT_EQ(lines[0].text, "DATE: 2024/01/02 03:04:05                     ");
    EXPECT_EQ(lines[2].text, "  CURSOR              TRIGGER                    ");
    EXPECT_TRUE(lines[3].spacer);
    EXPECT_EQ(lines[6].text, "  A           0.5          50.0%  *VF     DOWN   ");
    EXPECT_EQ(lines[7].text, "  B           1.5         -1.25rpm ABCDE *UP     ");
    EXPECT_EQ(lines[8].text, "  AtoB        1.0                  CH3    CONT   ");
    EXPECT_EQ(lines[9].text, "        Vertical                   LONGNAME  SING   ");
    EXPECT_EQ(lines[10].text, "  A(2)        40.                        *AUTO   ");
    EXPECT_EQ(lines[18].text, "           CH1      *CH2       CH3       CH4     ");
    EXPECT_EQ(lines[22].text, "  SRC      VF      ABCDEF             LONGNAME   ");
    EXPECT_EQ(lines[28].text, "  TIME(ms)        10.0                           ");

    v.unit = "kgf-m";
    v.activeChannel = 0;
    v.slopeDown.reset();
    const std::vector<PanelLine> other = PanelLines(v);
    EXPECT_EQ(other[7].text.substr(20, 16), "      -1.25    A");
    EXPECT_EQ(other[8].text.substr(20, 14), "         kgf-m");
    EXPECT_EQ(other[10].text.substr(0, 7), "  A    ");
    EXPECT_EQ(other[6].text.substr(40, 8), "  DOWN  ");
}
