// The viewer's pure rules: arguments and lock name, language and print template, page ranges.
#include "CReportCommandLineInfo.h"
#include "PageRange.h"
#include "PrintTexts.h"
#include "ReportLanguage.h"

#include <platform/language.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zrreport {
namespace {

TEST(ViewerArguments, SwitchesOwnerAndFile)
{
    using SC = CReportCommandLineInfo::ShellCommand;
    const struct {
        std::vector<std::string> args;
        std::string file;
        SC shell;
        plat::DWORD owner;
        std::string lock;
    } cases[] = {
        {{"/tmp/a b/report131.html", "/MOD1234"}, "/tmp/a b/report131.html", SC::FileOpen, 1234, "VEKZR_PRINT_1234"},
        {{"/p", "/r.html", "/MOD7"}, "/r.html", SC::FilePrint, 7, "VEKZR_PRINT_7"},
        {{"-P", "-MOD42", "r.html"}, "r.html", SC::FilePrint, 42, "VEKZR_PRINT_42"},
        {{"r.html", "/MOD"}, "r.html", SC::FileOpen, 0, "VEKZR_PRINT"},
        {{"r.html", "/MODx12"}, "r.html", SC::FileOpen, 0, "VEKZR_PRINT"},
        {{"r.html", "/MOD12x"}, "r.html", SC::FileOpen, 12, "VEKZR_PRINT_12"},
        {{"r.html", "/MOD99999999999"}, "r.html", SC::FileOpen, 0, "VEKZR_PRINT"},
        // "MOD" is case-sensitive, "/pt" is no switch: both name files; the first file wins.
        {{"/mod5", "/pt", "/p"}, "/mod5", SC::FilePrint, 0, "VEKZR_PRINT"},
        {{"/p", "/MOD3"}, "", SC::FilePrint, 3, "VEKZR_PRINT_3"},
        {{"/", "-"}, "/", SC::FileOpen, 0, "VEKZR_PRINT"},
    };
    for (const auto& c : cases) {
        CReportCommandLineInfo info;
        info.Parse(c.args);
        SCOPED_TRACE(c.args.front());
        EXPECT_EQ(info.m_strFileName, c.file);
        EXPECT_EQ(info.m_nShellCommand, c.shell);
        EXPECT_EQ(info.m_nOwner, c.owner);
        EXPECT_EQ(info.LockName(), c.lock);
    }
}

TEST(ViewerLanguage, SettingThenSystemLocaleChooseTheTemplate)
{
    EXPECT_EQ(ReportLanguage("1041", plat::LANG_ENGLISH_US), plat::LANG_JAPANESE);
    EXPECT_EQ(ReportLanguage("1033", plat::LANG_JAPANESE), plat::LANG_ENGLISH_US);
    EXPECT_EQ(ReportLanguage("", plat::LANG_JAPANESE), plat::LANG_JAPANESE);
    EXPECT_EQ(ReportLanguage("ja", plat::LANG_JAPANESE), 0);
    QTemporaryDir dir;
    EXPECT_EQ(ReadReportLanguage(dir.path().toStdString()), plat::LanguageFromEnvironment());
    QFile ini(dir.filePath(kSettingsFileName));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Setting]\r\nLANG = 1041\r\n");
    ini.close();
    EXPECT_EQ(ReadReportLanguage(dir.path().toStdString()), plat::LANG_JAPANESE);

    EXPECT_EQ(PrintTemplateUrl(plat::LANG_JAPANESE), "res://ZRREPORT.exe/ZRREPORTJ.htm");
    EXPECT_EQ(PrintTemplateUrl(0), "res://ZRREPORT.exe/ZRREPORTE.htm");
    EXPECT_EQ(PrintTemplateResource("res://ZRREPORT.exe/ZRREPORTE.htm"), ":/zrreport/ZRREPORTE.htm");
    EXPECT_EQ(PrintTemplateResource("res://zrreport.exe/zrreportj.HTM"), ":/zrreport/ZRREPORTJ.htm");
    EXPECT_EQ(PrintTemplateResource("res://ZRREPORT.exe/other.htm"), "");

    const PrintTexts english = PrintTexts::Load(PrintTemplateUrl(plat::LANG_ENGLISH_US));
    const PrintTexts japanese = PrintTexts::Load(PrintTemplateUrl(plat::LANG_JAPANESE));
    ASSERT_TRUE(english.complete());
    ASSERT_TRUE(japanese.complete());
    EXPECT_EQ(english.jobName, "Talverin Report");
    EXPECT_EQ(english.previewTitle, "Report Preview");
    EXPECT_EQ(english.startAfterCount, "Error: Start page greater than number of pages in print job.");
    EXPECT_NE(japanese.closeButton, english.closeButton);
    EXPECT_EQ(PrintTexts::Load("res://ZRREPORT.exe/none.htm").printButton, "Print...");
}

TEST(ViewerPageRange, CheckedAgainstThePageCount)
{
    using M = PageRange::Message;
    const struct {
        int from, to, count;
        bool print;
        M message;
        int outFrom, outTo;
    } cases[] = {
        {0, 0, 5, true, M::None, 0, 0},          // no range: all pages
        {2, 4, 5, true, M::None, 2, 4},
        {5, 3, 9, false, M::StartAfterEnd, 5, 3},
        {6, 8, 5, false, M::StartAfterCount, 6, 8},
        {9, 3, 5, false, M::StartAfterEnd, 9, 3}, // the end check comes first
        {3, 9, 5, true, M::EndAfterCount, 3, 5},
        {5, 5, 5, true, M::None, 5, 5},
        {2, 0, 4, true, M::None, 2, 4},
    };
    for (const auto& c : cases) {
        const PageRange r = PageRange::Check(c.from, c.to, c.count);
        SCOPED_TRACE(testing::Message() << c.from << "-" << c.to << " of " << c.count);
        EXPECT_EQ(r.print, c.print);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.from, c.outFrom);
        EXPECT_EQ(r.to, c.outTo);
    }
}

} // namespace
} // namespace zrreport
