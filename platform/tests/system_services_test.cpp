// Paths, language, clock and child processes.
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/language.h"
#include "platform/paths.h"
#include "platform/process.h"

#include <testsupport/temp_folder.h>

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <ctime>
#include <cstdlib>
#include <thread>

#include <unistd.h>

namespace plat {
namespace {

int functionInTheExecutable() { return 42; }

std::string realExecutable()
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

// ---- Paths -----------------------------------------------------------------------------------

TEST(Paths, ModulePathOfTheProgramAndOfTheLibraryHoldingAnAddress)
{
    const std::string exe = realExecutable();
    EXPECT_EQ(GetModuleFileName(), exe);
    EXPECT_EQ(GetModuleFileName(reinterpret_cast<const void*>(&functionInTheExecutable)), exe);

    // A library finds its own file from one of its functions, wherever the process runs.
    test::TempFolder elsewhere;
    char cwd[PATH_MAX];
    ASSERT_TRUE(::getcwd(cwd, sizeof cwd));
    ASSERT_EQ(::chdir(elsewhere.path().c_str()), 0);
    const std::string lib = GetModuleFileName(reinterpret_cast<const void*>(&GetTempPath));
    EXPECT_EQ(GetModuleFileName(reinterpret_cast<const void*>(&functionInTheExecutable)), exe);
    ASSERT_EQ(::chdir(cwd), 0);
    EXPECT_EQ(FileNameOf(lib), "libtalverin-platform.so");
    EXPECT_EQ(lib.front(), '/');
    EXPECT_EQ(FolderOf(lib), FolderOf(exe)); // every module lands in the program folder

    EXPECT_EQ(GetModuleFileName(reinterpret_cast<const void*>(std::uintptr_t{16})), "");
}

TEST(Paths, ProgramFolderCanBeOverridden)
{
    EXPECT_EQ(GetProgramFolder(), FolderOf(realExecutable()));
    SetProgramFolder("/opt/talverin/");
    EXPECT_EQ(GetProgramFolder(), "/opt/talverin");
    SetProgramFolder("");
    EXPECT_EQ(GetProgramFolder(), FolderOf(realExecutable()));
}

TEST(Paths, PiecesOfPaths)
{
    EXPECT_EQ(FolderOf("/a/b/Talverin"), "/a/b");
    EXPECT_EQ(FolderOf("/Talverin"), "/");
    EXPECT_EQ(FolderOf("Talverin"), ".");
    EXPECT_EQ(FolderOf("C:\\units\\a.def"), "C:\\units");
    EXPECT_EQ(FileNameOf("C:\\units\\a.def"), "a.def");
    EXPECT_EQ(FileNameOf("/a/"), "");
    EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/a", "/abs"), "/abs");
    EXPECT_EQ(JoinPath("", "b"), "b");
    EXPECT_EQ(ReplaceExtension("/a/Talverin", ".ini"), "/a/Talverin.ini");
    EXPECT_EQ(ReplaceExtension("/a.d/Talverin.exe", "chm"), "/a.d/Talverin.chm");
    EXPECT_EQ(ReplaceExtension("/a/.hidden", ".ini"), "/a/.hidden.ini");
    EXPECT_EQ(ReplaceExtension("x.tar.gz", ""), "x.tar");
}

TEST(Paths, TempFileNamesAreNewFiles)
{
    test::TempFolder dir;
    const std::string a = GetTempFileName(dir.path(), "ZRxyz");
    const std::string b = GetTempFileName(dir.path(), "ZR");
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_TRUE(FileExists(a));
    EXPECT_EQ(FileNameOf(a).substr(0, 3), "ZRx");
    EXPECT_EQ(a.substr(a.size() - 4), ".tmp");
    EXPECT_EQ(GetTempFileName(dir.file("missing"), "ZR"), "");
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(DirectoryExists(GetTempPath()));
    EXPECT_FALSE(FileExists(dir.path()));
}

// ---- Language --------------------------------------------------------------------------------

TEST(Language, EnvironmentGivesTheDefaultAndTheProgramSetsItOnce)
{
    const auto env = [](const char* all, const char* messages, const char* lang) {
        const auto set = [](const char* name, const char* v) {
            if (v)
                ::setenv(name, v, 1);
            else
                ::unsetenv(name);
        };
        set("LC_ALL", all);
        set("LC_MESSAGES", messages);
        set("LANG", lang);
        return LanguageFromEnvironment();
    };
    EXPECT_EQ(env(nullptr, nullptr, "ja_JP.UTF-8"), LANG_JAPANESE);
    EXPECT_EQ(env(nullptr, nullptr, "en_US.UTF-8"), LANG_ENGLISH_US);
    EXPECT_EQ(env("ja_JP", nullptr, "en_US"), LANG_JAPANESE);
    EXPECT_EQ(env(nullptr, "C", "ja_JP"), LANG_ENGLISH_US);
    EXPECT_EQ(env(nullptr, nullptr, nullptr), LANG_ENGLISH_US);

    SetLanguage(LANG_JAPANESE);
    LANGID seen = 0;
    std::thread([&] { seen = GetLanguage(); }).join();
    EXPECT_EQ(seen, LANG_JAPANESE);
    EXPECT_TRUE(IsJapanese());
    {
        ScopedLanguage english(LANG_ENGLISH_US);
        EXPECT_EQ(GetThreadLocale(), LANG_ENGLISH_US);
    }
    EXPECT_EQ(GetLanguage(), LANG_JAPANESE);
}

// ---- Clock -----------------------------------------------------------------------------------

TEST(ClockTest, ManualClockRunsAFortySecondGiveUpLoopInNoRealTime)
{
    ManualClock clock;
    ScopedClock installed(clock);
    const auto realStart = std::chrono::steady_clock::now();
    const DWORD start = GetTickCount();
    int passes = 0;
    while (TicksSince(start) < 40000) {
        Sleep(10);
        ++passes;
    }
    EXPECT_EQ(passes, 4000);
    EXPECT_EQ(clock.totalSlept(), 40000u);
    EXPECT_EQ(clock.sleepCount(), 4000u);
    // Far less than the 40 s it pretends, with room for a loaded machine under the sanitizers.
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(20));
}

TEST(ClockTest, TickWrapsLikeWin32AndLocalTimeFollowsTheClock)
{
    ManualClock clock(0xFFFFFF00u);
    ScopedClock installed(clock);
    const DWORD before = GetTickCount();
    clock.advance(0x200);
    EXPECT_LT(GetTickCount(), before); // wrapped
    EXPECT_EQ(TicksSince(before), 0x200u);
    EXPECT_EQ(GetTickCount64(), 0x100000100u);

    SYSTEMTIME set{};
    set.wYear = 2026;
    set.wMonth = 3;
    set.wDay = 14;
    set.wHour = 23;
    set.wMinute = 59;
    set.wSecond = 59;
    set.wMilliseconds = 900;
    clock.setLocalTime(set);
    Sleep(150);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, 2026);
    EXPECT_EQ(now.wMonth, 3);
    EXPECT_EQ(now.wDay, 15);
    EXPECT_EQ(now.wDayOfWeek, 0); // a Sunday
    EXPECT_EQ(now.wHour, 0);
    EXPECT_EQ(now.wMinute, 0);
    EXPECT_EQ(now.wSecond, 0);
    EXPECT_EQ(now.wMilliseconds, 50);
    EXPECT_EQ(CurrentLocalTm().tm_mday, 15);

    std::vector<std::uint64_t> ticks;
    clock.setOnSleep([&](std::uint64_t t) { ticks.push_back(t); });
    Sleep(5);
    Sleep(5);
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_EQ(ticks[1] - ticks[0], 5u);
}

TEST(ClockTest, ScopedClocksNestAndTheSystemClockComesBack)
{
    ManualClock outer(100);
    ManualClock inner(200);
    {
        ScopedClock a(outer);
        {
            ScopedClock b(inner);
            EXPECT_EQ(GetTickCount64(), 200u);
        }
        EXPECT_EQ(GetTickCount64(), 100u);
    }
    EXPECT_EQ(&CurrentClock(), &CurrentClock());
    const std::uint64_t t0 = GetTickCount64();
    SystemClock real;
    real.sleep(2);
    EXPECT_GE(GetTickCount64(), t0 + 2);
    EXPECT_NEAR(static_cast<double>(CurrentTime()), static_cast<double>(std::time(nullptr)), 2.0);
}

// ---- Processes -------------------------------------------------------------------------------

TEST(ProcessTest, StartsWithAnArgumentVectorAndReportsTheExitCode)
{
    test::TempFolder dir;
    Process p;
    ASSERT_TRUE(p.start({"/bin/sh", "-c", "echo \"$1\" > out.txt; exit 3", "sh", "a b; $HOME"},
                        dir.path()));
    EXPECT_GT(p.pid(), 0);
    EXPECT_TRUE(p.wait(10000));
    EXPECT_EQ(p.exitCode(), 3);
    EXPECT_FALSE(p.isRunning());
    EXPECT_EQ(test::readBytes(dir.file("out.txt")), "a b; $HOME\n"); // no shell in between

    Process byName;
    ASSERT_TRUE(byName.start({"true"}));
    EXPECT_TRUE(byName.wait(10000));
    EXPECT_EQ(byName.exitCode(), 0);
}

TEST(ProcessTest, MissingProgramFailsWithFileNotFound)
{
    Process p;
    EXPECT_FALSE(p.start({"/nonexistent/zrreport"}));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(p.start({}));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(p.isRunning());
    EXPECT_TRUE(p.stop());
}

TEST(ProcessTest, StopAsksFirstAndForcesAfterTheGraceTime)
{
    Process polite;
    ASSERT_TRUE(polite.start({"sleep", "30"}));
    EXPECT_TRUE(polite.isRunning());
    EXPECT_FALSE(polite.wait(10));
    EXPECT_TRUE(polite.stop(5000));
    EXPECT_EQ(polite.exitCode(), 128 + SIGTERM);

    test::TempFolder dir;
    Process stubborn;
    ASSERT_TRUE(stubborn.start({"/bin/sh", "-c", "trap '' TERM; touch ready; while :; do sleep 1; done"},
                               dir.path()));
    while (!test::fileExists(dir.file("ready")))
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_TRUE(stubborn.stop(100));
    EXPECT_EQ(stubborn.exitCode(), 128 + SIGKILL);
    EXPECT_FALSE(stubborn.isRunning());
}

TEST(ProcessTest, AChildLeftRunningIsReapedLater)
{
    pid_t pid = 0;
    {
        Process p;
        ASSERT_TRUE(p.start({"/bin/sh", "-c", "exit 0"}));
        pid = p.pid();
    }
    // Give it time to end, then any later start reaps it.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Process next;
    ASSERT_TRUE(next.start({"true"}));
    next.wait();
    EXPECT_EQ(::kill(pid, 0), -1); // no zombie left under that id
}

} // namespace
} // namespace plat
