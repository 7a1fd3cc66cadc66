#include "CommaDecimalLocale.h"
#include "DataFileTestSupport.h"

#include "model/DataFile.h"

#include <platform/errors.h>
#include <platform/language.h>
#include <platform/paths.h>
#include <platform/profile.h>

#include <gtest/gtest.h>

#include <sstream>

#include <sys/stat.h>

using model::CDataFile;
using model::test::FixturePath;
using model::test::ReadBytes;
using model::test::RunUnprivileged;
using model::test::TempFolder;

namespace {

// Every value the settings give the store, one line per key, with the test folder as "<dir>".
std::string describe(const CDataFile& s, const std::string& dir)
{
    std::ostringstream o;
    const auto& c = s.m_oscillo;
    o << "help=" << s.m_helpFolder << "\nedit=" << s.m_editChannel << "\nbitmap=" << s.m_startBitmap << "\nmenu=";
    for (const auto& item : s.m_startMenu)
        o << item.m_index << ':' << item.m_number << ':' << item.m_caption << '|';
    o << "\nbaud=" << s.m_captureBaudRate << '/' << s.m_baudRateSet << "\ndraw=" << s.m_drawMode
      << "\ndate=" << c.m_lastDate << "\nhorz=" << c.m_horzInfo.m_position << ',' << c.m_horzInfo.m_length << ','
      << c.m_horzInfo.m_count << "\nch=";
    for (const auto& ch : c.m_channels)
        o << ch.m_number << ',' << ch.m_text << ',' << ch.m_value1 << ',' << ch.m_value2 << ',' << ch.m_value3 << ','
          << ch.m_option1 << ',' << ch.m_option2 << '|';
    o << "\ncursors=" << c.m_cursorTH << ',' << c.m_cursorTV << ',' << c.m_cursorA << ',' << c.m_cursorB
      << "\ntrigger=" << c.m_triggerChannel << " slope=" << c.m_slope << " zoom=" << c.m_zoom << "\nlog="
      << c.m_captureInfo.m_position << ',' << c.m_captureInfo.m_length << ',' << c.m_captureInfo.m_count << "\nhistory=";
    for (const auto& entry : s.m_viewHistory)
        o << entry << '|';
    o << "\nreports=" << s.m_reportParameter << ' ' << s.m_reportIO << ' ' << s.m_reportChannel << "\ndebug=" << s.m_debug;
    std::string text = o.str();
    for (std::size_t at; !dir.empty() && (at = text.find(dir)) != std::string::npos;)
        text.replace(at, dir.size(), "<dir>");
    return text;
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.path().empty());
        store.m_programFolder = folder.path();
    }

    std::string everyKeyCopy() const { return folder.copy(FixturePath("settings/every_key.ini"), "Talverin.ini"); }
    std::string value(const std::string& file, const char* section, const char* key) const
    {
        return plat::profile::find(file, section, key).value_or("<missing>");
    }
    std::string describe(const CDataFile& s) const { return ::describe(s, folder.path()); }

    TempFolder folder;
    CDataFile store;
};

TEST_F(SettingsFile, MissingFileGivesTheDefaultsInEitherLanguage)
{
    const std::string common = "edit=0\nbitmap=\nmenu=1:0:|2:0:|3:0:|4:0:|5:0:|6:0:|7:0:|8:0:|9:0:|10:0:|\n"
                               "baud=9600/0\ndraw=1\ndate=\nhorz=0,0,0\nch=\ncursors=0,0,0,0\n"
                               "trigger=1 slope=1 zoom=1\nlog=0,0,0\nhistory=\n";
    {
        const plat::ScopedLanguage english(plat::LANG_ENGLISH_US);
        ASSERT_EQ(store.LoadSettings(folder.file("none.ini")), 1);
        EXPECT_EQ(describe(store), "help=<dir>/Help_en\n" + common +
                  "reports=<dir>/report_en/report_Parameter.html <dir>/report_en/report_io.html "
                  "<dir>/report_en/report_channel.html\ndebug=0");
    }
    {
        const plat::ScopedLanguage japanese(plat::LANG_JAPANESE);
        ASSERT_EQ(store.LoadSettings(), 1);
        EXPECT_EQ(describe(store), "help=<dir>/Help\n" + common +
                  "reports=<dir>/report/report_Parameter.html <dir>/report/report_io.html "
                  "<dir>/report/report_channel.html\ndebug=0");
    }
    EXPECT_FALSE(plat::FileExists(folder.file("none.ini"))) << "reading must not create the file";
}

TEST_F(SettingsFile, EveryKeyIsReadAndLoadingAgainReplacesInsteadOfAppending)
{
    const std::string expected =
        "help=C:\\H\nedit=17\nbitmap=<dir>/img/start.bmp\n"
        "menu=1:100:Parameter edit|2:0:,Jog|3:3:Jog|4:0:Caption only|5:0:|6:0:|7:700:Seven, with comma|8:0:|9:0:|10:0:|\n"
        "baud=19200/1\ndraw=2\ndate=2024/05/01 10:20:30\nhorz=1.5,200,400\n"
        "ch=1,VF,0.5,2.5,-1.25,1,0|4,TRQ,0,10,0,0,0|0,,0,0,0,0,0|\ncursors=12.5,-3.25,100.5,200.75\n"
        "trigger=3 slope=0 zoom=4\nlog=-2.5,2000,1000\n"
        "history=T=10ms,R=1,TP=0,TL=0,CH1=VF,SLOPE=UP,AUTO|T=20ms,R=2,TP=0,TL=0,*CH2=TRQ,SLOPE=DOWN,SING|\n"
        "reports=<dir>/rep/p.html /abs/io.html <dir>/rep/c.html\ndebug=1";
    ASSERT_EQ(store.LoadSettings(everyKeyCopy()), 1);
    EXPECT_EQ(describe(store), expected);
    ASSERT_EQ(store.LoadSettings(), 1) << "no path: the stored one";
    EXPECT_EQ(describe(store), expected) << "read again on every Open: nothing doubles";

    ASSERT_EQ(store.LoadSettings(folder.file("none.ini")), 1);
    EXPECT_TRUE(store.m_oscillo.m_channels.empty());
    EXPECT_TRUE(store.m_viewHistory.empty());
    EXPECT_EQ(store.m_baudRateSet, 0) << "a rate from the earlier file must not be written into this one";
}

TEST_F(SettingsFile, LoadSaveLoadKeepsEveryKey)
{
    const std::string file = everyKeyCopy();
    const std::string before = ReadBytes(file);
    ASSERT_EQ(store.LoadSettings(file), 1);
    ASSERT_EQ(store.SaveSettings(), 1);
    EXPECT_EQ(value(file, "Oscillo", "BaudRate"), "19200");
    EXPECT_EQ(value(file, "Port", "Connect"), "COM7") << "kept when the port code never set a port";
    EXPECT_EQ(ReadBytes(file), before) << "nothing changed: the same bytes, comments and all";

    CDataFile again;
    again.m_programFolder = folder.path();
    ASSERT_EQ(again.LoadSettings(file), 1);
    EXPECT_EQ(describe(again), describe(store));

    // Changed values travel too.
    again.m_editChannel = 255;
    again.m_captureBaudRate = 38400;
    again.m_viewHistory.insert(again.m_viewHistory.begin(), "T=5ms,R=1,TP=0,TL=0,CH1=VF,SLOPE=UP,CONT");
    again.m_connectPort = "COM2";
    ASSERT_EQ(again.SaveSettings(), 1);
    CDataFile third;
    third.m_programFolder = folder.path();
    ASSERT_EQ(third.LoadSettings(file), 1);
    EXPECT_EQ(describe(third), describe(again));
    EXPECT_EQ(value(file, "Port", "Connect"), "COM2");
}

TEST_F(SettingsFile, UnsetBaudRateIsNotWrittenAndShorterHistoryDropsOldKeys)
{
    const std::string file = folder.write("Talverin.ini",
        "[Oscillo]\nBaudRate=0\nParam1=a\nParam2=b\nParam3=c\nParam5=e\n");
    ASSERT_EQ(store.LoadSettings(file), 1);
    EXPECT_EQ(store.m_captureBaudRate, 9600);
    ASSERT_EQ(store.m_viewHistory, (std::vector<std::string>{"a", "b", "c", "e"}));
    store.m_viewHistory.resize(1);
    ASSERT_EQ(store.SaveSettings(), 1);
    EXPECT_EQ(value(file, "Oscillo", "BaudRate"), "0");
    EXPECT_EQ(value(file, "Oscillo", "Param1"), "a");
    for (const char* key : {"Param2", "Param3", "Param4", "Param5"})
        EXPECT_EQ(value(file, "Oscillo", key), "<missing>") << key;

    // Missing altogether: stays missing. A history that grew past eight keeps the newest eight.
    const std::string bare = folder.write("bare.ini", "[Setting]\nEditChannel=3\n");
    CDataFile second;
    ASSERT_EQ(second.LoadSettings(bare), 1);
    for (int i = 0; i < 10; ++i)
        second.m_viewHistory.push_back("entry" + std::to_string(i));
    second.m_viewHistory[3] = "line\r\nbreak";
    ASSERT_EQ(second.SaveSettings(), 1);
    EXPECT_EQ(value(bare, "Oscillo", "BaudRate"), "<missing>");
    EXPECT_EQ(value(bare, "Oscillo", "Param4"), "line  break") << "a line break must not fail the save";
    EXPECT_EQ(value(bare, "Oscillo", "Param8"), "entry7");
    second.LoadSettings();
    EXPECT_EQ(second.m_viewHistory.size(), 8u);
}

TEST_F(SettingsFile, AGarbledEditChannelFallsBackToChannelZero)
{
    for (const char* text : {"256", "-1", "999999999999", "x"}) {
        const std::string file = folder.write("Talverin.ini", std::string("[Setting]\nEditChannel=") + text + "\n");
        ASSERT_EQ(store.LoadSettings(file), 1);
        EXPECT_EQ(store.m_editChannel, 0) << text;
    }
}

TEST_F(SettingsFile, ASaveThatCannotBeWrittenLeavesTheOldFileAndReportsFailure)
{
    const std::string file = everyKeyCopy();
    const std::string before = ReadBytes(file);
    ASSERT_EQ(store.LoadSettings(file), 1);
    store.m_editChannel = 99;
    store.m_viewHistory.clear();

    // A read-only folder (no temporary file can be renamed into it) and a read-only file.
    ::chmod(file.c_str(), 0644);
    ::chmod(folder.path().c_str(), 0555);
    EXPECT_TRUE(RunUnprivileged([&] {
        return store.SaveSettings() == 0 && plat::GetLastError() == plat::ERROR_ACCESS_DENIED;
    }));
    ::chmod(folder.path().c_str(), 0777);
    ::chmod(file.c_str(), 0444);
    EXPECT_TRUE(RunUnprivileged([&] {
        return store.SaveSettings() == 0 && plat::GetLastError() == plat::ERROR_ACCESS_DENIED;
    }));
    ::chmod(file.c_str(), 0600);
    ::chmod(folder.path().c_str(), 0755);
    EXPECT_EQ(ReadBytes(file), before);

    // A folder that does not exist, a folder in place of the file, and no path at all.
    EXPECT_EQ(store.SaveSettings(folder.file("no/such/Talverin.ini")), 0);
    EXPECT_EQ(plat::GetLastError(), plat::ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(store.SaveSettings(folder.path()), 0);
    CDataFile unnamed;
    EXPECT_EQ(unnamed.SaveSettings(), 0);
}

TEST_F(SettingsFile, ProfileHelpers)
{
    std::string path = "C:\\H";
    EXPECT_EQ(store.MakeAbsolutePath(path), 0);
    EXPECT_EQ(path, "C:\\H");
    path = ".\\H";
    EXPECT_EQ(store.MakeAbsolutePath(path), 1);
    EXPECT_EQ(path, folder.path() + "/H");
    path = "./unit\\kvx100.ini";
    EXPECT_EQ(store.MakeAbsolutePath(path), 1);
    EXPECT_EQ(path, folder.path() + "/unit/kvx100.ini");
    for (const char* unchanged : {"", ".", ".x\\y", "..\\up", "unit\\a.ini"}) {
        path = unchanged;
        EXPECT_EQ(store.MakeAbsolutePath(path), 0) << unchanged;
        EXPECT_EQ(path, unchanged);
    }
    CDataFile noFolder; // falls back to the folder of the running program
    path = ".\\x";
    EXPECT_EQ(noFolder.MakeAbsolutePath(path), 1);
    EXPECT_EQ(path, plat::GetProgramFolder() + "/x");

    const std::string file = folder.write("p.ini", "[S]\nd=  2.5  \nbad=abc\nempty=\nlong=" + std::string(2000, 'x') +
                                                      "\nquoted=\"  spaced  \"\n");
    EXPECT_EQ(store.GetProfileDouble("S", "d", 7.0, file), 2.5);
    EXPECT_EQ(store.GetProfileDouble("S", "bad", 7.0, file), 0.0);
    EXPECT_EQ(store.GetProfileDouble("S", "empty", 7.0, file), 7.0);
    EXPECT_EQ(store.GetProfileDouble("S", "missing", 7.0, file), 7.0);
    EXPECT_EQ(store.GetProfileString("S", "long", "", file).size(), 1023u);
    EXPECT_EQ(store.GetProfileString("S", "quoted", "", file), "spaced");
    EXPECT_EQ(store.GetProfileString("S", "missing", "  dflt ", file), "dflt");
    EXPECT_EQ(store.WriteProfileInt("S", "n", -42, file), 1);
    EXPECT_EQ(store.GetProfileString("S", "n", "", file), "-42");
    EXPECT_EQ(store.WriteProfileString("S", "bad", "two\nlines", file), 0);
    EXPECT_EQ(store.GetProfileString("S", "bad", "", file), "abc");
}

TEST_F(SettingsFile, NumbersIgnoreTheUsersLocale)
{
    CommaDecimalLocale german;
    if (!german.active())
        GTEST_SKIP() << german.reason();
    ASSERT_EQ(store.LoadSettings(everyKeyCopy()), 1);
    EXPECT_EQ(store.m_oscillo.m_cursorB, 200.75);
    EXPECT_EQ(store.m_oscillo.m_horzInfo.m_position, 1.5);
    EXPECT_EQ(store.m_oscillo.m_channels[0].m_value3, -1.25);
}

} // namespace
