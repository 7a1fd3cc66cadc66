// The parameter windows' rules on the sample unit's records: the value a reply gives and how a
// read lands in the record in each window, which statuses are errors, and what a write reads again.
#include "common/WindowPlacement.h"
#include "connection/ConnectionRules.h"
#include "screens/param/ParamReplyRules.h"

#include <zrcomm/zrcomm_api.h>

#include <gtest/gtest.h>

using talverin::ParamWindowKind;

namespace {

constexpr auto S = ParamWindowKind::Screen;
constexpr auto C = ParamWindowKind::CommandWindow;

struct ParamRules : ::testing::Test {
    void SetUp() override { ASSERT_EQ(store.LoadDefinition(TALVERIN_SAMPLE_DATA_DIR "/unit/kvx100.ini"), 1); }
    // Queued, marked, holding a value the reply must replace or keep: "cur/ref text/ref sN mN".
    std::string read(const char* name, const std::string& value, ParamWindowKind kind)
    {
        model::CZRParamData& r = *(std::string(name) == "LBL" ? &label : store.FindParameter(name));
        r.m_status = r.m_dependencyMark = 1;
        if (!r.IsTextValued() || &r == &label)
            r.m_currentValue = r.m_referenceValue = 5;
        r.m_currentText = r.m_referenceText = "old";
        talverin::StoreReadValue(r, value, kind);
        const auto number = [](double v) { return model::IsNoValue(v) ? std::string("-") : std::to_string(int(v * 100)); };
        return number(r.m_currentValue) + "/" + number(r.m_referenceValue) + " " + r.m_currentText + "/" + r.m_referenceText
               + " s" + std::to_string(r.m_status) + " m" + std::to_string(r.m_dependencyMark);
    }

    model::CDataFile store;
    model::CZRParamData label{"WR,LBL,0,,0,2,Label,*,,,0,0"}; // numeric, also takes free text
};

TEST_F(ParamRules, RepliesAndResults)
{
    const struct { const char *name, *reply, *value, *screen, *window; } cases[] = {
        {"SPD", "SPD120", "120", "12000/12000 old/old s0 m0", "12000/12000 old/old s0 m1"},
        {"SPD", "SPD120;rpm\rSPDX", "120", "12000/12000 old/old s0 m0", "12000/12000 old/old s0 m1"},
        {"SPD", "SPDX\rSPD-7;lo\r", "-7", "-700/-700 old/old s0 m0", "-700/-700 old/old s0 m1"},
        {"SPD", "SPD120\rSPD130", "120", "12000/12000 old/old s0 m0", "12000/12000 old/old s0 m1"},
        // No value for the name: nothing stored, the read still ends.
        {"SPD", "", "", "500/500 old/old s0 m0", "500/500 old/old s0 m1"},
        {"GAIN", "G", "", "500/500 old/old s0 m0", "500/500 old/old s0 m1"},
        {"SPD", "ACC50", "", "500/500 old/old s0 m0", "500/500 old/old s0 m1"},
        {"MODE", "ERROR\rMODE", "", "-/- old/old s0 m0", "-/- old/old s0 m1"},
        // Text records; free text on a numeric record: with '*' the screen makes it text-valued
        // (reference too), the window keeps the numbers; without '*' the screen keeps the number.
        {"MODE", "MODEABC", "ABC", "-/- ABC/ABC s0 m0", "-/- ABC/ABC s0 m1"},
        {"LBL", "LBLABC", "ABC", "-/- ABC/ABC s0 m0", "500/500 ABC/ABC s0 m1"},
        {"SPD", "SPDX", "X", "500/500 old/old s0 m0", "500/500 X/X s0 m1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " <" + c.reply + ">");
        const std::string value = talverin::ChooseReadValue(c.name, c.reply);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(read(c.name, value, S), c.screen);
        EXPECT_EQ(read(c.name, value, C), c.window);
    }
    const std::string value = talverin::ChooseReadValue("MODE", "MODE" + std::string(1020, 'Q'));
    EXPECT_EQ(read("MODE", value, S), "-/- " + std::string(63, 'Q') + "/" + std::string(63, 'Q') + " s0 m0");

    // state, driver error, library error, shown by the screen, shown by the window
    const std::tuple<std::uint32_t, bool, bool, bool, bool> results[] = {
        {0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {COMM_REPLY_UNKNOWN_COMMAND, 1, 0, 1, 1}, {COMM_REPLY_READ_ONLY, 1, 0, 1, 1},
        {COMM_REPLY_READ_ONLY + 1, 0, 0, 1, 1}, {COMM_ERR_NO_COMMAND, 0, 1, 1, 1}, {CMD_REPLY_TIMEOUT, 0, 0, 1, 1},
        {CMD_INVALID_DATA, 0, 0, 0, 1}};
    for (const auto& [command, names] : {std::pair{"?SPD\r", true}, {"SPD120\r", true}, {"?SPDX\r", false}, {"?SP\r", false},
                                         {"ACC5\r", false}, {"", false}})
        EXPECT_EQ(talverin::CommandNamesParameter(command, "SPD"), names) << command;
    for (const auto& [state, driver, library, screen, window] : results) {
        SCOPED_TRACE(::testing::Message() << std::hex << state);
        EXPECT_EQ(talverin::IsDriverErrorResult(state), driver);
        EXPECT_EQ(talverin::IsLibraryError(state), library);
        EXPECT_EQ(talverin::ShowsCommandError(static_cast<int>(state), S), screen);
        EXPECT_EQ(talverin::ShowsCommandError(static_cast<int>(state), C), window);
    }
}

TEST_F(ParamRules, WritesAndTheirDependents)
{
    const auto names = [](const talverin::DependentReads& reads) {
        std::string out;
        for (const auto* n : reads.nodes)
            out += n->m_record->m_name + " ";
        return out;
    };
    const auto* tree = store.GetTreeList();
    model::CZRParamData& gain = *store.FindParameter("GAIN");
    model::CZRParamData& mode = *store.FindParameter("MODE");
    // "*": every other readable parameter in tree order (not RESET, not MODE in any case).
    mode.m_name = "mode";
    EXPECT_EQ(names(talverin::ChooseDependents(mode, tree, S)), "SPD ACC GAIN DIR OFS SW MM EXTRA VF TRQ ALM ");
    // Its own re-read outstanding: the screen only ends the mark; the window reads anyway.
    gain.m_dependencyMark = 1;
    EXPECT_TRUE(talverin::ChooseDependents(gain, tree, S).clearMarkOnly);
    EXPECT_EQ(names(talverin::ChooseDependents(gain, tree, C)), "SPD ACC ");

    // The written value becomes the reference (the texts too where the window keeps them).
    mode.m_currentText = label.m_currentText = "new";
    for (const auto& [kind, r] : {std::pair{S, &mode}, {S, &label}, {C, &mode}, {C, &label}}) {
        r->m_treeUseCount = 3;
        talverin::StoreWrittenValue(*r, kind);
        EXPECT_FALSE(r->IsChanged() || r->m_treeUseCount || r->m_status);
    }
    EXPECT_EQ(mode.m_referenceText + label.m_referenceText, "new");
}

} // namespace

TEST(WindowPlacementText, ReadsOnlyTenNumbersAndComesBackOnScreen)
{
    const auto rect = [](const std::string& text) {
        const auto p = talverin::ParseWindowPlacement(text);
        return p ? QString("%1 %2,%3 %4x%5").arg(p->showCmd).arg(p->normalRect.x()).arg(p->normalRect.y())
                       .arg(p->normalRect.width()).arg(p->normalRect.height())
                 : QString("-");
    };
    const char* cases[][2] = {{"0,1,-1,-1,-1,-1,10,20,330,420", "1 10,20 320x400"}, {" 0x2 , 3,-1,-1,-1,-1,-50,0,10,10;x", "3 -50,0 60x10"},
        {"", "-"}, {"0,1,-1,-1,-1,-1,10,20,330", "-"}, {"0,1,-1,-1,-1,-1,10,20,330,a", "-"}, {"0;1;-1;-1;-1;-1;1;2;3;4", "-"},
        {"0,1,-1,-1,-1,-1,10,20,99999999999,420", "-"}, {"0,1,-1,-1,-1,-1,10,20,5,420", "-"}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(rect(text), expected) << text;
    EXPECT_EQ(rect(talverin::FormatWindowPlacement({0, 0, {}, {}, QRect(3, 4, 100, 50)})), "0 3,4 100x50");
    EXPECT_EQ(talverin::FitOnScreen(QRect(5000, -300, 200, 100), QRect(0, 0, 800, 600)), QRect(600, 0, 200, 100));
    EXPECT_EQ(talverin::FitOnScreen(QRect(-10, 10, 2000, 100), QRect(0, 0, 800, 600)), QRect(0, 10, 800, 100));
}
