// The capture's reply parsers: data replies into rows, settings replies onto the screen.
#include "CaptureFakes.h"

#include "screens/oscillo/CaptureDataParser.h"
#include "screens/oscillo/OscilloCapture.h"

#include <model/DataFile.h>
#include <model/ZRParamData.h>

#include <gtest/gtest.h>

using namespace capture_test;

namespace {

constexpr double G = model::kNoValue;

TEST(CaptureRows, ParsedFromEveryLineEndAndGarbageIntoConsistentRows)
{
    struct Case {
        const char* name;
        std::string reply;
        int count;
        bool header;
        std::vector<std::array<double, 4>> rows;
    };
    std::string many = "H\r";
    std::vector<std::array<double, 4>> first22;
    for (int i = 0; i < 30; ++i) {
        many += std::to_string(i) + ",1,2,3\r";
        if (i < 22)
            first22.push_back({double(i), 1, 2, 3});
    }
    const std::vector<Case> cases{
        {"gaps and one blank skipped", "HDR\r1.5,,,\r 2.0, 3.0,4,5", 200, true, {{1.5, G, G, G}, {2, 3, 4, 5}}},
        {"no CR at all", "1,2,3,4\n5,6,7,8", 200, false, {}},
        {"CR LF, a line without comma", "H\r\nEND\r\n1,2\r\n", 200, true, {{1, 2, G, G}}},
        {"LF lines after the header", "H\r1,2,3,4\n5,6,7,8\n", 200, true, {{1, 2, 3, 4}, {5, 6, 7, 8}}},
        {"a short line borrows nothing", "H\r1,2\r3,4,5,6\r", 200, true, {{1, 2, G, G}, {3, 4, 5, 6}}},
        {"110 % of 20 samples", many, 20, true, first22},
        {"no samples asked", "H\r1,2,3,4\r", 0, true, {}},
        {"binary and huge", std::string("H\r\x01\xff,1e999,-7,0\r,,,\r", 20), 200, true, {{0, 1.7976931348623157e308, -7, 0}, {G, G, G, G}}},
    };
    for (const Case& c : cases) {
        std::vector<model::CaptureSample> rows{{}};
        const CaptureRows parsed = ParseCaptureRows(c.reply, c.count, rows);
        EXPECT_EQ(parsed.hasHeader, c.header) << c.name;
        ASSERT_EQ(rows.size(), c.rows.size()) << c.name;
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (int ch = 0; ch < 4; ++ch) {
                const double want = c.rows[r][ch];
                if (want == G)
                    EXPECT_TRUE(model::IsNoValue(rows[r].m_value[ch])) << c.name << " row " << r << " ch " << ch;
                else
                    EXPECT_EQ(rows[r].m_value[ch], want) << c.name << " row " << r << " ch " << ch;
            }
    }
    std::vector<model::CaptureSample> rows;
    EXPECT_EQ(ParseCaptureRows("HDR\r\n1,2,3,4", 200, rows).header, "HDR");
}

TEST(CaptureRows, DrawModeTwoKeepsWholeDivisionsPlusTwo)
{
    const std::vector<std::array<int, 4>> cases{
        // stored, samples, draw mode, kept
        {203, 200, 2, 202}, {205, 200, 2, 202}, {201, 200, 2, 201}, {202, 200, 2, 202},
        {200, 200, 2, 200}, {210, 200, 2, 210}, {205, 200, 1, 205}, {205, 200, 0, 205}, {7, 10, 2, 7}, {0, 0, 2, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeptCaptureRows(c[0], c[1], c[2]), c[3]) << c[0] << " of " << c[1] << " mode " << c[2];
}

// ApplySettingReply against the recording screen. `queued` lists the commands it queues.
TEST(SettingReplies, AppliedByNameLineByLine)
{
    struct Case {
        int tag;
        std::optional<std::string> reply;
        std::uint32_t result;
        std::vector<std::string> log;
        std::map<int, std::string> texts;
        std::vector<std::string> queued;
        std::function<void(RecordingScreen&, FakePort&, OscilloCapture&)> before = {};
        std::function<void(RecordingScreen&)> check = {};
    };
    using namespace OscilloId;
    const std::vector<Case> cases{
        {49, std::nullopt, 0x4000000b, {}, {}, {}},
        {49, "", 0, {}, {}, {}},
        {45, "", 0, {"zero 2"}, {{Level, "12.5"}}, {},
         [](RecordingScreen&, FakePort& p, OscilloCapture&) { std::uint32_t e; p.queueCommand(nullptr, "WLB12.5\r", 45, "", &e); }},
        {40, "WVAVF", 0, {"source 1 VF"}, {}, {"WVAVF\r#40"}, [](RecordingScreen& s, FakePort&, OscilloCapture&) { s.sourceChanges = true; }},
        {40, "WVAVF\r\nWLA0", 0, {"source 1 VF", "level 1 0"}, {}, {}},
        {43, "?WVD?", 0x4000000c, {"nosource 4"}, {}, {}},
        {58, "WLA 1.5;", 0, {"range 1035"}, {{Level, "1.5"}}, {}},
        {59, "WLB7", 0, {}, {{Level, "0.00"}}, {}},
        {54, "WHR1001", 0, {}, {{Resolution, "50"}}, {},
         {}, [](RecordingScreen& s) { EXPECT_EQ((s.slider[{ResolutionSlider, 1}]), 50); }},
        {54, "WHR1001", 0, {}, {{Resolution, "10"}}, {},
         [](RecordingScreen&, FakePort&, OscilloCapture& c) { c.SendRecordResolution(49); }},
        {53, "WHL2.0", 0, {}, {{Time, "0.1"}}, {}, {}, [](RecordingScreen& s) { EXPECT_EQ((s.slider[{TimeSlider, 1}]), 1); }},
        {53, "WHL0.0", 0, {}, {{Time, "0.1"}}, {}},
        {53, "WHL9998.0", 0, {}, {{Time, "499.9"}}, {}, {}, [](RecordingScreen& s) { EXPECT_EQ((s.slider[{TimeSlider, 1}]), 4999); }},
        {48, "WHL2.0", 0, {}, {{Time, "10.0"}}, {}},
        {55, "WTCB", 0, {"scale 2"}, {}, {"?WLB\r#59"},
         [](RecordingScreen& s, FakePort&, OscilloCapture&) { s.selection[Source1 + 1] = 1; },
         [](RecordingScreen& s) { EXPECT_TRUE(s.isChecked(Trigger1 + 1) && !s.isChecked(Trigger1)); }},
        {55, "WTCC", 0, {}, {}, {"?WLA\r#58"}}, // no source on C: the trigger stays
        {57, "WTH25.04", 0, {"range 1010"}, {{TriggerPosition, "25.0"}}, {}},
        {51, "WTV0", 0, {}, {}, {}, {}, [](RecordingScreen& s) { EXPECT_TRUE(s.isChecked(EdgeUp) && !s.isChecked(EdgeDown)); }},
        {51, "WTV7", 0, {}, {}, {}, {}, [](RecordingScreen& s) { EXPECT_TRUE(s.isChecked(EdgeDown) && !s.isChecked(EdgeUp)); }},
        {51, "garbage\x01\r?\r;;", 0, {}, {}, {}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        RecordingScreen screen;
        FakePort port;
        FakeTimers timers;
        model::CDataFile store;
        OscilloCapture capture(screen, port, timers, store, nullptr);
        capture.OnCommStateChanged(1, -2);
        if (c.before)
            c.before(screen, port, capture);
        const std::size_t first = port.cmds.size();
        const std::int32_t id = port.cmds.empty() ? 0 : port.cmds[0].id;
        EXPECT_EQ(capture.ApplySettingReply(id, c.tag, c.reply ? &*c.reply : nullptr), c.result) << "case " << i;
        EXPECT_EQ(screen.log, c.log) << "case " << i;
        for (const auto& [control, want] : c.texts)
            EXPECT_EQ(screen.controlText(control), want) << "case " << i << " control " << control;
        EXPECT_EQ(port.texts(first), c.queued) << "case " << i;
        if (c.check)
            c.check(screen);
    }
}

} // namespace
