// The pure rules of start-up and of the main window, the recent files, the switch guard, the data
// header cut and the desktop entry quoting.
#include "frame/RecentFileList.h"
#include "app/ShellRegistration.h"
#include "common/ClipboardHelpers.h"
#include "common/ScreenSwitchGuard.h"
#include "common/StartupRules.h"

#include "AppFixture.h"

#include <gtest/gtest.h>

using namespace talverin;

TEST(StartupRules, ExtBarEntries)
{
    struct Case { const char* value; const char* caption; const char* command; bool has; };
    const Case cases[] = {
        {"Go,JOG\\s100\\r", "Go", "JOG 100\r", true},
        {"Read, ?A,?B,TX0\\r", "Read", "?A,?B,TX0\r", true}, // later commas belong to the command
        {"Only", "Only", "", false},
        {"Empty,", "Empty", "", false},
        {"(Jog)  +,\\b\\n\\x", "(Jog)  +", "\b\n\\x", true}, // caption as written; unknown escape kept
        {"", "", "", false},
    };
    for (const Case& c : cases) {
        const ExtBarEntry e = ParseExtBarValue(c.value);
        EXPECT_EQ(e.caption, c.caption) << c.value;
        EXPECT_EQ(e.command, c.command) << c.value;
        EXPECT_EQ(e.hasCommand, c.has) << c.value;
    }
}

TEST(StartupRules, UnitEntries)
{
    const char list[] = "A=.\\a.def\0=x.def\0B=\0\t C = c.def \0\0";
    const auto entries = SplitProfileList(list, sizeof list - 2);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(FirstUnitEntry(entries)->name, "A");
    EXPECT_EQ(FirstUnitEntry(entries)->path, ".\\a.def");
    EXPECT_EQ(FirstUnitEntry({"no equals", " K = k.ini"})->name, "K");
    EXPECT_FALSE(FirstUnitEntry({"no equals"}));
    const auto offered = OfferedUnits(entries);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[1].name, "C"); // shown trimmed
    EXPECT_EQ(offered[1].path, "c.def");
}

TEST(StartupRules, LanguageCaptionTitlesAndCommandLine)
{
    EXPECT_EQ(LanguageFromSetting("", 1041), 1041);
    EXPECT_EQ(LanguageFromSetting(" 1033 ", 1041), 1033);
    EXPECT_EQ(LanguageFromSetting("1041", 1033), 1041);
    EXPECT_EQ(LanguageFromSetting("ja", 1041), 0); // not a number: not Japanese

    EXPECT_EQ(FormatMainCaption("B", "V", "d.zrd"), "B - V [d.zrd]");
    EXPECT_EQ(FormatMainCaption("B", "V", ""), "B - V");
    EXPECT_EQ(FormatMainCaption("B", "", ""), "B");

    EXPECT_EQ(DocumentTitleFromPath("/x/foo.ZRD"), "foo");
    EXPECT_EQ(DocumentTitleFromPath("C:\\d\\bar.txt"), "bar.txt");
    EXPECT_EQ(FileNameFromTitle("New Doc#1", ".zrd"), "New.zrd");
    EXPECT_EQ(FileNameFromTitle(" x", ".zrd"), "");

    EXPECT_FALSE(CommandLineDocument({"-x", "--y"}));
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(*CommandLineDocument({"-v", "d/../a.zrd", "b.zrd"}), cwd + "/a.zrd");
    EXPECT_EQ(*CommandLineDocument({"/abs/c.zrd"}), "/abs/c.zrd");
}

TEST(StartupRules, DesktopExecQuoting)
{
    EXPECT_EQ(DesktopExecArgument("/opt/t/talverin"), "\"/opt/t/talverin\"");
    EXPECT_EQ(DesktopExecArgument("/a b/100%/$x\"q\\"), "\"/a b/100%%/\\\\$x\\\\\"q\\\\\\\\\"");
}

TEST(StartupRules, RecentFiles)
{
    apptest::TempFolder folder;
    const std::string ini = folder.file("t.ini");
    RecentFileList list(4);
    int changes = 0;
    list.SetOnChanged([&] { ++changes; });
    for (const char* p : {"/a", "/b", "/c", "/d", "/e", "/c", ""})
        list.Add(p);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/c", "/e", "/d", "/b"}));
    EXPECT_EQ(changes, 6);
    list.Remove(1);
    list.Remove(7);
    ASSERT_TRUE(list.WriteList(ini));
    EXPECT_EQ(apptest::ReadText(ini), "[Recent File List]\r\nFile1=/c\r\nFile2=/d\r\nFile3=/b\r\n");
    RecentFileList read(4);
    plat::profile::setString(ini, "Recent File List", "File4", "/c"); // a repeat is read once
    read.ReadList(ini);
    EXPECT_EQ(read.Paths(), (std::vector<std::string>{"/c", "/d", "/b"}));
}

TEST(StartupRules, RecentFileNamesAreShortened)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/home/ann/kvx/drive.zrd", "~/kvx/drive.zrd"}, {"/home/anne/d.zrd", "/home/anne/d.zrd"}, {"d.zrd", "d.zrd"},
        {"/home/ann/projects/line 4/commissioning/2024/drive.zrd", "~/\u2026/2024/drive.zrd"},
        {"/srv/plant/hall-b/line-4/cabinet-7/drives/axis x.zrd", "/srv/\u2026/drives/axis x.zrd"}};
    for (const auto& [path, shown] : cases)
        EXPECT_EQ(ShortRecentFileName(QString::fromUtf8(path), "/home/ann"), QString::fromUtf8(shown)) << path;
}

TEST(StartupRules, SwitchGuardDropsWhileHeld)
{
    ScreenSwitchGuard guard;
    {
        auto hold = guard.TryTake();
        ASSERT_TRUE(hold);
        EXPECT_FALSE(guard.TryTake());
        auto moved = std::move(hold);
        EXPECT_TRUE(guard.IsBusy());
    }
    EXPECT_FALSE(guard.IsBusy());
    EXPECT_TRUE(guard.TryTake());
}

TEST(StartupRules, SplitAtTerminator)
{
    char text[] = "A1\rB2\rMM0\rX1";
    unsigned length = sizeof text - 1;
    EXPECT_EQ(SplitAtTerminator("MM0\nX2", text, length, nullptr), 0u); // "MM0\rX2" is not there
    EXPECT_EQ(SplitAtTerminator("M M0", text, length, nullptr), 6u);
    char prefix[16];
    EXPECT_EQ(SplitAtTerminator("MM0", text, length, prefix), 7u);
    EXPECT_STREQ(prefix, "A1\rB2\r");
    EXPECT_STREQ(text, "MM0\rX1");
    EXPECT_EQ(length, 6u);
    EXPECT_EQ(SplitAtTerminator("ZZ", text, length, prefix), 0u);
    EXPECT_STREQ(text, "MM0\rX1");
    EXPECT_EQ(SplitAtTerminator("", text, length, prefix), 0u);
}
