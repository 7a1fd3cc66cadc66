#include "DocumentTestSupport.h"
#include "../../bench/GeneratedUnit.h"

#include "model/ReportFill.h"

#include <platform/profile.h>

#include <gtest/gtest.h>

#include <map>

using model::FillReportDate;
using model::ReplaceLeftoverTokens;
using model::ReplaceReportToken;
using model::ReportText;
using model::test::DocumentStore;
using model::test::ReadBytes;
using model::test::SamplePath;
using model::test::WriteBytes;

namespace {

class Report : public DocumentStore {
protected:
    // The parameter and I/O reports' fill as the print code runs it: parameters, date, leftovers.
    std::string fillParameters(const std::string& text, std::size_t capacity = ReportText::kUnlimited)
    {
        ReportText report{text, capacity};
        EXPECT_EQ(store.WriteParameterReport(report), 0);
        EXPECT_EQ(FillReportDate(report), 0);
        EXPECT_EQ(ReplaceLeftoverTokens(report, "-"), 0);
        return report.text;
    }
    std::string fillChannel(const std::string& text, int channel)
    {
        ReportText report{text, ReportText::kUnlimited};
        EXPECT_EQ(FillReportDate(report), 0);
        EXPECT_EQ(store.WriteChannelReport(report, channel), 0);
        return report.text;
    }
};

TEST(ReportToken, ReplacesEveryOccurrenceAndStopsWhenOutOfRoom)
{
    ReportText report{"a##X##b##X##c##Y##", ReportText::kUnlimited};
    EXPECT_EQ(ReplaceReportToken(report, "##X##", "[x]"), 2);
    EXPECT_EQ(report.text, "a[x]b[x]c##Y##");
    EXPECT_EQ(ReplaceReportToken(report, "##Z##", "z"), 0);
    EXPECT_EQ(ReplaceReportToken(report, "", "z"), 0);
    // A replacement holding the token is not taken again.
    EXPECT_EQ(ReplaceReportToken(report, "##Y##", "##Y####Y##"), 1);
    EXPECT_EQ(report.text, "a[x]b[x]c##Y####Y##");

    // The text must stay below the capacity: the first occurrence fits, the second does not and
    // stays as it was, with everything after it.
    report = {"##T##-##T##-##T##", 19};
    EXPECT_EQ(ReplaceReportToken(report, "##T##", "longer"), -1);
    EXPECT_EQ(report.text, "longer-##T##-##T##");
    report.capacity = 100;
    EXPECT_EQ(ReplaceReportToken(report, "##T##", "longer"), 2);
    EXPECT_EQ(report.text, "longer-longer-longer");
    // Shorter replacements always fit.
    report = {"##LONGTOKEN##", 14};
    EXPECT_EQ(ReplaceReportToken(report, "##LONGTOKEN##", "x"), 1);
}

TEST(ReportToken, LeftoverTokensBecomeTheReplacement)
{
    ReportText report{"x ##A## y ##B-C## ##A## z ## tail", ReportText::kUnlimited};
    EXPECT_EQ(ReplaceLeftoverTokens(report, "-"), 0);
    EXPECT_EQ(report.text, "x - y - - z ## tail") << "a lone ## has no partner";
    report = {"####", ReportText::kUnlimited};
    EXPECT_EQ(ReplaceLeftoverTokens(report, "-"), 0);
    EXPECT_EQ(report.text, "-");
    report = {"##A####B##", ReportText::kUnlimited};
    EXPECT_EQ(ReplaceLeftoverTokens(report, "<##>"), 0);
    EXPECT_EQ(report.text, "<##><##>");
    report = {"##A##", 6};
    EXPECT_EQ(ReplaceLeftoverTokens(report, "123456"), -1);
}

TEST(ReportToken, DateComesFromTheClock)
{
    plat::ManualClock clock;
    plat::ScopedClock scoped(clock);
    plat::SYSTEMTIME when;
    when.wYear = 2024;
    when.wMonth = 5;
    when.wDay = 1;
    when.wHour = 12;
    clock.setLocalTime(when);
    ReportText report{"##YEAR##-##MONTH##-##DAY## ##YEAR##", ReportText::kUnlimited};
    EXPECT_EQ(FillReportDate(report), 0);
    EXPECT_EQ(report.text, "2024-05-01 2024");
    report = {"##YEAR##", 5};
    EXPECT_EQ(FillReportDate(report), 0);
    EXPECT_EQ(report.text, "2024");
    report = {"##DAY##", 3};
    EXPECT_EQ(FillReportDate(report), 0);
}

TEST_F(Report, ParameterTokens)
{
    store.FindParameter("SPD")->m_currentValue = 1500;
    const std::string text = fillParameters(
        "[##SPD##|##SPD-INIT##|##SPD-UNIT##|##SPD-NAME##|##SPD##]"
        "[##GAIN##|##GAIN-INIT##][##SW##|##SW-INIT##][##RESET##|##RESET-INIT##]"
        "[##EXTRA##|##EXTRA-NAME##][##XYZ##][##VF-UNIT##][##YEAR##/##MONTH##/##DAY##]");
    EXPECT_EQ(text, "[1500|100|rpm|Speed|1500][1.00|1.00][OFF|OFF][|][5|Tree-only value][-][rpm][2024/05/01]");
}

TEST_F(Report, ValuesAreEscapedAndUnitTextsAreNot)
{
    // A value from the driver can hold anything, even something that looks like a token.
    store.FindParameter("MODE")->m_currentText = "<b>&##SPD##'\"";
    store.FindParameter("SPD")->m_label = "Speed <i>set</i> &amp; held";
    const std::string text = fillParameters("##MODE##|##SPD-NAME##|##SPD##");
    EXPECT_EQ(text, "&lt;b&gt;&amp;&#35;&#35;SPD&#35;&#35;&#39;&quot;|Speed <i>set</i> &amp; held|100");
}

TEST_F(Report, PinTokens)
{
    auto* input = store.GetPinRecord(11);  // input 7
    auto* output = store.GetPinRecord(29); // output 1
    ASSERT_TRUE(input && output);
    input->m_value.clear();
    input->m_logic = "1";
    output->m_logic = "0";
    output->m_function.clear();
    store.GetPinRecord(28)->m_logic = "1";
    store.GetPinRecord(28)->m_value = "<0>";
    const std::string text = fillParameters(
        "##PI0-FN##,##PI0-AB##,##PI0-NW##|##PI1-AB##|##PI7-FN##,##PI7-AB##,##PI7-NW##|##PI2-FN##|"
        "##PO0-FN##,##PO0-GC##,##PO0-ST##|##PO1-FN##,##PO1-GC##,##PO1-ST##|##PO5-GC##");
    // Inputs: logic "0"/"1" named A(0)/B(1), letters as stored; outputs likewise with P(0)/N(1) on
    // the logic field, and the value as stored; empty fields show a space; unfilled pins a dash.
    EXPECT_EQ(text, "1,A,0|B|5,B(1),&nbsp;|-|1,N(1),&lt;0&gt;|&nbsp;,P(0),1|-");
}

TEST_F(Report, ChannelRows)
{
    auto* program = store.GetChannelProgram(3);
    program->Parse(std::string_view("CH3\rSPD500\rMOV+1000\rJMP 10\r"));
    program->AddLine("WAIT\t20\tlet the <axis> settle");
    const std::string text = fillChannel("<h1>##CH-NO##</h1>##YEAR##<table>\n##CH-PROG##</table>##CH-NO##", 3);
    const std::string row = "<tr><td nowrap>%</td><td nowrap>:</td><td nowrap>%</td><td nowrap>%</td></tr>\n\n";
    auto filled = [&row](const char* no, const char* cmd, const char* exp) {
        std::string r = row;
        r.replace(r.find('%'), 1, no);
        r.replace(r.find('%'), 1, cmd);
        r.replace(r.find('%'), 1, exp);
        return r;
    };
    EXPECT_EQ(text, "<h1>3</h1>2024<table>\n" + filled("0000", "SPD500", "Speed") + filled("0001", "MOV+1000", "Move relative")
                        + filled("0002", "JMP10", "JMP10") + filled("0003", "WAIT20", "let the &lt;axis&gt; settle")
                        + "</table>3");

    // An empty channel fills nothing; a template without the program token only gets the number.
    EXPECT_EQ(fillChannel("[##CH-PROG##]", 7), "[]");
    EXPECT_EQ(fillChannel("##CH-NO## only", 7), "7 only");
    EXPECT_EQ(fillChannel("[##CH-PROG##]", 300), "[]");
}

TEST_F(Report, RowsTakeTheSettingsTemplateAndGrowAsNeeded)
{
    ASSERT_TRUE(plat::profile::setString(settings, "Setting", "ChannelListHtml", "<li>##LISTNO## ##CMD## ##EXP## ##CMD##</li>"));
    const std::string longComment(3000, 'c');
    store.GetChannelProgram(1)->AddLine("X\t1\t" + longComment);
    const std::string text = fillChannel("##CH-PROG##", 1);
    EXPECT_EQ(text, "<li>0000 X1 " + longComment + " X1</li>\n");
}

TEST_F(Report, AFillThatRunsOutOfRoomEndsLikeOneWithRoomEnough)
{
    // About 2 KB of tokens whose values are longer than the tokens, filled the way the print code
    // does it: on -1 the capacity grows by twice the template size and the fill runs again on the
    // partly filled text.
    std::string text = "<p>##YEAR##</p>";
    for (int i = 0; i < 60; ++i)
        text += "##ACC-NAME##|##EXTRA-NAME##|##PI7-NW##|##PO1-GC##|##ZZ##|";
    const std::string expected = fillParameters(text);

    ReportText report{text, text.size() + 1};
    int runs = 0;
    for (;;) {
        ++runs;
        if (store.WriteParameterReport(report) == 0 && FillReportDate(report) == 0
            && ReplaceLeftoverTokens(report, "-") == 0)
            break;
        ASSERT_LT(runs, 20);
        report.capacity += 2 * text.size();
    }
    EXPECT_GT(runs, 1);
    EXPECT_EQ(report.text, expected);
    EXPECT_LT(report.text.size(), report.capacity);
}

TEST_F(Report, TheShippedTemplatesFillCompletely)
{
    store.FindParameter("MODE")->m_currentText = "MANUAL";
    store.GetChannelProgram(0)->Parse(std::string_view("CH0\rSPD500\rEND\r"));
    for (const char* folder : {"report_en", "report"}) {
        // Every token of the parameter template is one the store knows: nothing is left for the
        // dash. The I/O template names every pin, filled or not.
        const std::string path = SamplePath(std::string(folder) + "/report_Parameter.html");
        ReportText report{ReadBytes(path), ReportText::kUnlimited};
        ASSERT_FALSE(report.text.empty()) << path;
        ASSERT_EQ(store.WriteParameterReport(report), 0);
        ASSERT_EQ(FillReportDate(report), 0);
        EXPECT_EQ(report.text.find("##"), std::string::npos) << path;
        EXPECT_NE(report.text.find("2024"), std::string::npos) << path;

        const std::string parameters = fillParameters(ReadBytes(SamplePath(std::string(folder) + "/report_Parameter.html")));
        EXPECT_NE(parameters.find(">MANUAL<"), std::string::npos);
        EXPECT_NE(parameters.find(">Tree-only value<"), std::string::npos);
        const std::string io = fillParameters(ReadBytes(SamplePath(std::string(folder) + "/report_io.html")));
        EXPECT_NE(io.find("<td>5</td><td>A</td><td>1</td>"), std::string::npos) << folder;
        EXPECT_NE(io.find("<td>-</td><td>-</td><td>-</td>"), std::string::npos) << folder;
        EXPECT_EQ(io.find("##"), std::string::npos) << folder;
        const std::string channel = fillChannel(ReadBytes(SamplePath(std::string(folder) + "/report_channel.html")), 0);
        EXPECT_EQ(channel.find("##"), std::string::npos) << folder;
        EXPECT_NE(channel.find("SPD500</td><td nowrap>Speed"), std::string::npos) << folder;
    }
}

TEST_F(Report, OnePassTakesTemplateTokensOnly)
{
    // Tokens come from the template only: a label that holds "##" is neither filled again nor
    // paired with a "##" of the template. Otherwise parameter and pin tokens go first, then the
    // date, then the pairs that are left.
    store.FindParameter("ACC")->m_label = "a ##SPD## b";
    store.FindParameter("GAIN")->m_label = "g##";
    // Names that read as another parameter's field: the record that comes first gives the token.
    for (const char* line : {"WRT,SPD-UNIT,0,,7,0,Late,0-9,,1,7,0", "WRT,ZZ-NAME,0,,8,0,Own,0-9,,1,8,0"}) {
        store.GetParameterList()->push_back(std::make_unique<model::CZRParamData>());
        store.GetParameterList()->back()->ParseDefinitionLine(line);
    }
    const std::pair<const char*, const char*> cases[] = {
        {"##SPD-UNIT##|##ZZ-NAME##|##ZZ-NAME-NAME##", "rpm|8|Own"},
        {"##ACC-NAME##|##SPD##", "a ##SPD## b|100"},
        {"##GAIN-NAME##YY##", "g##YY##"},
        {"## ##SPD##", "## 100"},
        {"###SPD## ##SPD###", "#100 100#"},
        {"##A ##SPD## B## ##DAY##", "- 01"},
        {"##SPD####ZZ####", "100-##"},
    };
    for (const auto& [text, filled] : cases)
        EXPECT_EQ(store.FillParameterReport(text), filled) << text;
}

// The reports Print makes, byte for byte as the fill made them before it became one pass over the
// template (FNV-1a of the bytes): the shipped templates on the unit's defaults and on the sample
// document, and the shipped and the bench templates on a generated unit of 1,000 parameters.
TEST_F(Report, PrintedReportsKeepTheirBytes)
{
    const auto hash = [](const std::string& bytes) {
        std::uint64_t h = 14695981039346656037ull;
        for (const char c : bytes)
            h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        return h;
    };
    const auto print = [this](const std::string& text, bool channel) {
        return channel ? fillChannel(text, 0) : store.FillParameterReport(text);
    };
    const char* shipped[] = {"report/report_Parameter.html", "report/report_io.html", "report/report_channel.html",
                             "report_en/report_Parameter.html", "report_en/report_io.html",
                             "report_en/report_channel.html"};
    const std::map<std::string, std::uint64_t> expected = {
        {"defaults report/report_Parameter.html", 0x5376b652664ebf62ull},
        {"defaults report/report_channel.html", 0xaa81d04ca7754f88ull},
        {"defaults report/report_io.html", 0x6d0bdbc2d4bc80adull},
        {"defaults report_en/report_Parameter.html", 0x27779c3ce4ea47fbull},
        {"defaults report_en/report_channel.html", 0xfd82f6fc3d3cb7a7ull},
        {"defaults report_en/report_io.html", 0xf4e4803b72469404ull},
        {"generated bench", 0xf1f51266c0728d51ull},
        {"generated report/report_Parameter.html", 0x0931fe893c4b386full},
        {"generated report/report_channel.html", 0xaa81d04ca7754f88ull},
        {"generated report/report_io.html", 0xcb73b02ce27dcd02ull},
        {"generated report_en/report_Parameter.html", 0xe1507d2428f124d4ull},
        {"generated report_en/report_channel.html", 0xfd82f6fc3d3cb7a7ull},
        {"generated report_en/report_io.html", 0x77f6c24a32c98b15ull},
        {"sample report/report_Parameter.html", 0x691924b123ca2130ull},
        {"sample report/report_channel.html", 0x8a4b56333860448full},
        {"sample report/report_io.html", 0x6d0bdbc2d4bc80adull},
        {"sample report_en/report_Parameter.html", 0xe763b3ae68dda3afull},
        {"sample report_en/report_channel.html", 0x53afb28bf9711272ull},
        {"sample report_en/report_io.html", 0xf4e4803b72469404ull},
    };
    std::map<std::string, std::uint64_t> filled;
    const auto fillAll = [&](const std::string& document, bool withBench) {
        for (const char* name : shipped)
            filled[document + " " + name] = hash(print(ReadBytes(SamplePath(name)), std::string(name).find("channel") != std::string::npos));
        if (withBench)
            filled[document + " bench"] = hash(print(bench::reportTemplate(1000), false));
    };
    fillAll("defaults", false);
    ASSERT_EQ(open(SamplePath("sample/kvx100_sample.zrd")), 0);
    fillAll("sample", false);
    WriteBytes(folder.file("gen.ini"), bench::unitText(1000));
    ASSERT_EQ(store.LoadDefinition(folder.file("gen.ini")), 1);
    ASSERT_EQ(store.ResetToDefaults(), 1);
    fillAll("generated", true);
    EXPECT_EQ(filled, expected);
}

} // namespace
