#include "comm_app.h"
#include "comm_log.h"
#include "comm_strings.h"
#include "timings.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <regex>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>

using namespace zrcomm;
using zrtest::logLines;
using zrtest::readFile;
using zrtest::TempDir;
using zrtest::writeFile;

namespace {

std::unique_ptr<CCommLogEntry> sendEntry(const std::string& bytes)
{
    auto e = std::make_unique<CCommLogEntry>();
    e->type = CCommLogEntry::Send;
    e->time.wHour = 12;
    e->time.wMinute = 34;
    e->time.wSecond = 56;
    e->time.wMilliseconds = 7;
    e->data.Assign(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return e;
}

// How many of this process's descriptors are open on the file.
int openDescriptorsOn(const std::string& file)
{
    int n = 0;
    const auto target = std::filesystem::weakly_canonical(file);
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(fd.path(), ec) == target)
            ++n;
    }
    return n;
}

} // namespace

TEST(CommLogFormat, LineLayoutAndEscapes)
{
    auto e = sendEntry("MI\r");
    EXPECT_EQ(FormatLogLine(*e), "12:34:56.007 S MI\\r\r\n");

    const std::uint8_t bytes[] = {'A', ' ', '\n', '\r', 0x07, 0x7F, 0xFF, '~'};
    EXPECT_EQ(EscapeLogData(bytes, sizeof bytes), "A\\s\\n\\r\\x07\\x7f\\xff~");

    CCommLogEntry info;
    info.type = CCommLogEntry::Info;
    info.time.wHour = 1;
    info.time.wMinute = 2;
    info.time.wSecond = 3;
    info.time.wMilliseconds = 450;
    info.text = "Start connection";
    EXPECT_EQ(FormatLogLine(info), "01:02:03.450 I Start connection\r\n");
    info.type = CCommLogEntry::Receive;
    info.text.clear();
    info.data.Assign(":", 1);
    EXPECT_EQ(FormatLogLine(info), "01:02:03.450 R :\r\n");
}

TEST(CommLogFormat, TextsFollowTheLibraryLanguageNotTheThread)
{
    TempDir dir;
    CCommLog log;
    log.SetFile(dir.file("l.log").c_str(), CCommLog::kDefaultMask);
    log.SetLanguage(plat::LANG_JAPANESE);
    std::thread([&] { log.Info(IDS_START_CONNECTION); }).join();
    log.SetLanguage(plat::LANG_ENGLISH_US);
    log.Info(IDS_START_CONNECTION);
    const auto lines = logLines(readFile(dir.file("l.log")));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(CommString(IDS_START_CONNECTION, plat::LANG_JAPANESE)), std::string::npos);
    EXPECT_NE(lines[1].find(" I Start connection"), std::string::npos);
    EXPECT_STREQ(CommString(IDS_NO_REPLY, 1033), "No communicaton reply");
    EXPECT_STREQ(CommString(999, 1033), "");
}

TEST(CommLog, TwoHundredEntriesWhileTheWriterIsBlockedKeepTheNewest128)
{
    TempDir dir;
    const std::string name = dir.file("ZRCOMM.log");
    CCommLog log;
    log.SetFile(name.c_str(), CCommLog::kDefaultMask);

    std::promise<void> entered;
    std::promise<void> release;
    auto released = release.get_future().share();
    bool first = true;
    log.SetWriterHookForTest([&] {
        if (!first)
            return;
        first = false;
        entered.set_value();
        released.wait(); // the writer is stuck, as behind a slow disk
    });
    log.StartWriter();
    log.AddEntry(sendEntry("E001"));
    entered.get_future().wait();
    for (int i = 2; i <= 200; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "E%03d", i);
        log.AddEntry(sendEntry(text));
    }
    EXPECT_EQ(log.QueuedCount(), CCommLog::kQueueBound);
    release.set_value();
    log.StopWriter();
    log.Flush();

    const std::string text = readFile(name);
    ASSERT_EQ(text.rfind("... 72 datas have been deleted ...\r\n", 0), 0u) << text.substr(0, 80);
    const auto lines = logLines(text.substr(std::string("... 72 datas have been deleted ...\r\n").size()));
    ASSERT_EQ(lines.size(), 128u);
    EXPECT_EQ(lines.front(), "12:34:56.007 S E073");
    EXPECT_EQ(lines.back(), "12:34:56.007 S E200");
}

TEST(CommLog, TraceEntriesAreMadeButNotWrittenWithMaskSeven)
{
    TempDir dir;
    const std::string name = dir.file("l.log");
    CCommLog log;
    log.SetFile(name.c_str(), 7);
    log.Trace(IDS_CHECKING);
    log.Info(IDS_CHECKING_ANSWERED);
    log.Send("WWC\r", 4);
    log.Receive(":", 1);
    const auto lines = logLines(readFile(name));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(\d\d:\d\d:\d\d\.\d{3} I Checking connection\.\.\.)")));
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(\d\d:\d\d:\d\d\.\d{3} S WWC\\r)")));
    EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(\d\d:\d\d:\d\d\.\d{3} R :)")));

    log.SetFile(name.c_str(), CCommLog::kAllTypes);
    log.Trace(IDS_CHECKING);
    EXPECT_NE(readFile(name).find(" T Checking connection"), std::string::npos);
}

TEST(CommLog, FirstOpenEmptiesTheFileLaterOpensAppend)
{
    TempDir dir;
    const std::string name = dir.file("l.log");
    writeFile(name, "old line\r\n");
    CCommLog log;
    log.SetFile(name.c_str(), CCommLog::kDefaultMask);
    log.Send("A", 1);
    log.Send("B", 1);
    auto lines = logLines(readFile(name));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(openDescriptorsOn(name), 0); // no writer: opened and closed per entry

    // With the writer: the file stays open while entries flow and closes after an idle spell.
    detail::Timings t;
    t.logIdleCloseMs = 30;
    detail::ScopedTimings scoped(t);
    log.StartWriter();
    log.Send("C", 1);
    for (int i = 0; i < 200 && logLines(readFile(name)).size() < 3; ++i)
        ::usleep(5000);
    EXPECT_EQ(logLines(readFile(name)).size(), 3u);
    bool closed = false;
    for (int i = 0; i < 200 && !closed; ++i) {
        ::usleep(5000);
        closed = openDescriptorsOn(name) == 0;
    }
    EXPECT_TRUE(closed);
    log.Send("D", 1); // reopening after the idle spell appends
    log.StopWriter();
    log.Flush();
    lines = logLines(readFile(name));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3].substr(13), "S D");
}

TEST(CommLog, RotatesAtItsLimitKeepingOneCopyAndTheFileItself)
{
    TempDir dir;
    const std::string name = dir.file("ZRCOMM.log");
    CCommLog log;
    log.SetFile(name.c_str(), CCommLog::kDefaultMask);
    log.SetRotateBytesForTest(1000);
    const std::string data(50, 'x'); // lines of 67 bytes
    struct stat first {
    }, now{};
    for (int run = 0; run < 2; ++run) { // without, then with the writer thread
        if (run == 1)
            log.StartWriter();
        for (int i = 0; i < 40; ++i)
            log.Send(data.data(), static_cast<std::uint32_t>(data.size()));
        log.StopWriter();
        log.Flush();
        ASSERT_EQ(::stat(name.c_str(), run ? &now : &first), 0);
        EXPECT_LE((run ? now : first).st_size, 1000);
        const auto kept = logLines(readFile(name + ".1"));
        ASSERT_GE(kept.size(), 10u);
        EXPECT_EQ(kept.back().substr(13), "S " + data);
    }
    EXPECT_EQ(now.st_ino, first.st_ino) << "emptied in place: the file keeps its claim";
    EXPECT_FALSE(std::filesystem::exists(name + ".2") || std::filesystem::exists(name + ".1.1"));
}

TEST(CommLog, BackupCopiesThePreviousLogAndKeepsTheOldCopyOnFailure)
{
    TempDir dir;
    const std::string name = dir.file("ZRCOMM.log");
    writeFile(name, "previous\r\n");
    writeFile(name + ".bak", "older\r\n");
    ::chmod((name + ".bak").c_str(), 0444); // a write-protected copy is replaced too
    CCommLog log;
    log.SetFile(name.c_str(), 7);
    EXPECT_TRUE(log.Backup());
    EXPECT_EQ(readFile(name + ".bak"), "previous\r\n");

    ::unlink(name.c_str());
    EXPECT_FALSE(log.Backup()); // nothing to copy: the old copy stays
    EXPECT_EQ(readFile(name + ".bak"), "previous\r\n");
    EXPECT_FALSE(CCommLog().Backup()); // a log without a name has nothing to back up
}

TEST(CommLog, LibraryStartKeepsThePreviousLogAndBeginsANewOne)
{
    TempDir dir;
    writeFile(dir.file("ZRCOMM.log"), "last session\r\n");
    const std::string saved = CCommLog::Get().FileName();
    const std::string name = CCommApp::InitLog(dir.path());
    EXPECT_EQ(name, dir.file("ZRCOMM.log"));
    EXPECT_EQ(readFile(name + ".bak"), "last session\r\n");
    const auto lines = logLines(readFile(name));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(
        std::regex_match(lines[0], std::regex(R"(\d\d:\d\d:\d\d\.\d{3} I KVX Talverin communication DLL start)")));
    // A log another program holds is neither emptied nor written to: this one takes a numbered name.
    TempDir shared;
    writeFile(shared.file("ZRCOMM.log"), "other program\r\n");
    const int other = ::open(shared.file("ZRCOMM.log").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(CCommApp::InitLog(shared.path()), shared.file("ZRCOMM.1.log"));
    EXPECT_EQ(readFile(shared.file("ZRCOMM.log")), "other program\r\n");
    ::close(other);
    CCommLog::Get().SetFile(saved.c_str(), CCommLog::kDefaultMask);
}

TEST(CommLog, LogFolderFallsBackWhenTheLibraryFolderIsNotWritable)
{
    TempDir state;
    const char* old = std::getenv("XDG_STATE_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    EXPECT_EQ(ChooseLogFile("/proc"), state.file("talverin/ZRCOMM.log"));
    EXPECT_TRUE(std::filesystem::is_directory(state.file("talverin")));
    EXPECT_EQ(ChooseLogFile("/no/such/folder"), state.file("talverin/ZRCOMM.log"));
    TempDir lib;
    EXPECT_EQ(ChooseLogFile(lib.path()), lib.file("ZRCOMM.log"));
    EXPECT_FALSE(std::filesystem::exists(lib.file("ZRCOMM.log"))); // looking leaves no file behind
    EXPECT_TRUE(std::filesystem::is_empty(lib.path()));
    ::unsetenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') {
        const std::string h = home;
        ::setenv("HOME", state.path().c_str(), 1);
        EXPECT_EQ(ChooseLogFile("/proc"), state.file(".local/state/talverin/ZRCOMM.log"));
        ::setenv("HOME", h.c_str(), 1);
    }
    if (old)
        ::setenv("XDG_STATE_HOME", saved.c_str(), 1);
}

TEST(CommLog, AFullOrMissingFolderLosesLinesAndNeverBlocks)
{
    for (const char* target : {"/dev/full", "/no/such/folder/ZRCOMM.log"}) {
        CCommLog log;
        log.SetFile(target, 7);
        log.Send("lost", 4); // written at once: fails quietly
        log.StartWriter();
        for (int i = 0; i < 500; ++i)
            log.Receive("x", 1);
        log.StopWriter();
        log.Flush();
        EXPECT_EQ(log.QueuedCount(), 0u) << target;
        EXPECT_FALSE(log.Backup()) << target;
    }
}

TEST(CommLog, AnEmptyNameQueuesAndDropsTheOldest)
{
    CCommLog log;
    for (int i = 0; i < 300; ++i)
        log.Send("x", 1);
    EXPECT_EQ(log.QueuedCount(), CCommLog::kQueueBound);
    TempDir dir;
    log.SetFile(dir.file("l.log").c_str(), 7);
    log.Flush();
    const std::string text = readFile(dir.file("l.log"));
    EXPECT_EQ(text.rfind("... 172 datas have been deleted ...\r\n", 0), 0u);
    EXPECT_EQ(logLines(text).size(), 1u + CCommLog::kQueueBound);
}

TEST(CommLog, TheLogLivesBesideTheLibrary)
{
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::canonical(LibraryFolder()), fs::canonical(TALVERIN_BIN_DIR));
    EXPECT_TRUE(fs::exists(fs::path(TALVERIN_BIN_DIR) / "ZRCOMM.log")); // opened when the library loaded
}

TEST(CommLog, EntriesAreStampedByTheClockWhenMade)
{
    plat::ManualClock clock;
    plat::SYSTEMTIME local;
    local.wYear = 2026;
    local.wMonth = 3;
    local.wDay = 4;
    local.wHour = 9;
    local.wMinute = 8;
    local.wSecond = 7;
    local.wMilliseconds = 6;
    clock.setLocalTime(local);
    plat::ScopedClock scoped(clock);
    TempDir dir;
    CCommLog log;
    log.SetFile(dir.file("l.log").c_str(), 7);
    log.StartWriter();
    log.Info(IDS_INIT_COMM);
    clock.advance(3600 * 1000); // written later; the line keeps the time it was made
    log.StopWriter();
    log.Flush();
    EXPECT_EQ(readFile(dir.file("l.log")), "09:08:07.006 I Initialize communication\r\n");
}
