// The parameter windows' rules on the sample unit's records: the value a reply gives and how a
// read lands in the record in each window, which statuses are errors, and what a write reads again.
#include "talverin/ParamReplyRules.h"

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
    std::string names(const talverin::DependentReads& reads)
    {
        std::string out;
        for (const auto* n : reads.nodes)
            out += n->m_record->m_name + " ";
        return out;
    }

    model::CDataFile store;
    model::CZRParamData label{"WR,LBL,0,,0,2,Label,*,,,0,0"}; // numeric, also takes free text
};

TEST_F(ParamRules, ReplyValueAndHowEachWindowStoresIt)
{
    struct Case {
        const char *name, *reply, *value, *screen, *window;
    } cases[] = {
        {"SPD", "SPD120", "120", "12000/12000 old/old s0 m0", "12000/12000 old/old s0 m1"},
        {"SPD", "SPD120;rpm\rSPDX", "120", "12000/12000 old/old s0 m0", "12000/12000 old/old s0 m1"},
        {"SPD", "SPDX\rSPD-7;lo\r", "-7", "-700/-700 old/old s0 m0", "-700/-700 old/old s0 m1"},
        {"GAIN", "GAIN1.50\r", "1.50", "150/150 old/old s0 m0", "150/150 old/old s0 m1"},
        {"SPD", "SPD120\rSPD130", "120", "12000/12000 old/old s0 m0", "12000/12000 old/old s0 m1"},
        {"SPD", "SPD+3", "+3", "300/300 old/old s0 m0", "300/300 old/old s0 m1"},
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
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " <" + c.reply + ">");
        const std::string value = talverin::ChooseReadValue(c.name, c.reply);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(read(c.name, value, S), c.screen);
        EXPECT_EQ(read(c.name, value, C), c.window);
    }
    const std::string value = talverin::ChooseReadValue("MODE", "MODE" + std::string(1020, 'Q'));
    EXPECT_EQ(read("MODE", value, S), "-/- " + std::string(63, 'Q') + "/" + std::string(63, 'Q') + " s0 m0");
}

TEST_F(ParamRules, ErrorResults)
{
    // state, driver error, library error, shown by the screen, shown by the window
    const std::tuple<std::uint32_t, bool, bool, bool, bool> cases[] = {
        {0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {COMM_REPLY_UNKNOWN_COMMAND, 1, 0, 1, 1}, {COMM_REPLY_READ_ONLY, 1, 0, 1, 1},
        {COMM_REPLY_READ_ONLY + 1, 0, 0, 1, 1}, {COMM_ERR_NO_COMMAND, 0, 1, 1, 1}, {CMD_REPLY_TIMEOUT, 0, 0, 1, 1},
        {CMD_INVALID_DATA, 0, 0, 0, 1}};
    for (const auto& [state, driver, library, screen, window] : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << state);
        EXPECT_EQ(talverin::IsDriverErrorReply(state), driver);
        EXPECT_EQ(talverin::IsLibraryError(state), library);
        EXPECT_EQ(talverin::ShowsCommandError(static_cast<int>(state), S), screen);
        EXPECT_EQ(talverin::ShowsCommandError(static_cast<int>(state), C), window);
    }
}

TEST_F(ParamRules, WritesAndTheirDependents)
{
    const auto* tree = store.GetTreeList();
    model::CZRParamData& gain = *store.FindParameter("GAIN");
    model::CZRParamData& mode = *store.FindParameter("MODE");
    EXPECT_EQ(names(talverin::ChooseDependents(gain, tree, S)), "SPD ACC ");
    // "*": every other readable parameter in tree order (not RESET, not MODE in any case).
    mode.m_name = "mode";
    const auto all = talverin::ChooseDependents(mode, tree, S);
    EXPECT_TRUE(all.everyParameter);
    EXPECT_EQ(names(all), "SPD ACC GAIN DIR OFS SW MM EXTRA VF TRQ ALM ");
    // Its own re-read outstanding: the screen only ends the mark; the window reads anyway.
    gain.m_dependencyMark = 1;
    EXPECT_TRUE(talverin::ChooseDependents(gain, tree, S).clearMarkOnly);
    EXPECT_EQ(names(talverin::ChooseDependents(gain, tree, C)), "SPD ACC ");
    EXPECT_EQ(names(talverin::ChooseDependents(*store.FindParameter("SPD"), tree, S)), "");

    // The written value becomes the reference (texts: the screen's for text values, the
    // window's for records with a default text).
    mode.m_currentText = "MANUAL";
    gain.m_currentValue = 2;
    label.m_currentText = "x";
    for (const auto kind : {S, C}) {
        for (model::CZRParamData* r : {&gain, &mode, &label}) {
            r->m_treeUseCount = 3;
            talverin::StoreWrittenValue(*r, kind);
            EXPECT_FALSE(r->IsChanged()) << r->m_name;
            EXPECT_EQ(r->m_treeUseCount + r->m_status, 0);
        }
        EXPECT_EQ(mode.m_referenceText, "MANUAL");
        EXPECT_NE(label.m_referenceText, "x");
    }
}

} // namespace
