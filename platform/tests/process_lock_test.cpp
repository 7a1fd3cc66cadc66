#include "platform/errors.h"
#include "platform/process_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace plat {
namespace {

// A name no other test process uses at the same time.
std::string uniqueName(const char* what)
{
    return std::string("VEKZR_PRINT_") + what + "_" + std::to_string(::getpid());
}

TEST(ProcessLockTest, OneHolderAtATimeEvenWithinTheProcess)
{
    const std::string name = uniqueName("self");
    ProcessLock first;
    EXPECT_EQ(first.tryAcquire(name), ProcessLock::Result::Acquired);
    EXPECT_TRUE(first.held());
    ProcessLock second;
    EXPECT_EQ(second.tryAcquire(name), ProcessLock::Result::AlreadyHeld);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(ProcessLock::isHeld(name));
    EXPECT_TRUE(first.held()); // the probe did not disturb the holder

    ProcessLock moved = std::move(first);
    EXPECT_FALSE(first.held());
    EXPECT_TRUE(moved.held());
    moved.release();
    EXPECT_FALSE(ProcessLock::isHeld(name));
    EXPECT_EQ(second.tryAcquire(name), ProcessLock::Result::Acquired);
}

// A starter polls isHeld while its viewer takes the lock: the poll must never be what the viewer
// finds holding it.
TEST(ProcessLockTest, ProbingNeverMakesATakerFail)
{
    const std::string name = uniqueName("probe");
    std::atomic<bool> done{false};
    std::thread prober([&] {
        while (!done.load())
            (void)ProcessLock::isHeld(name);
    });
    int refused = 0;
    for (int i = 0; i < 2000; ++i) {
        ProcessLock lock;
        if (lock.tryAcquire(name) != ProcessLock::Result::Acquired) ++refused;
    }
    done = true;
    prober.join();
    EXPECT_EQ(refused, 0);
    EXPECT_FALSE(ProcessLock::isHeld(name));
}

TEST(ProcessLockTest, LockHeldByAChildIsReleasedWhenTheChildDies)
{
    const std::string name = uniqueName("child");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        ProcessLock lock;
        const char ok = lock.tryAcquire(name) == ProcessLock::Result::Acquired ? '1' : '0';
        [[maybe_unused]] auto n = ::write(ready[1], &ok, 1);
        ::pause(); // hold it until killed: the lock's destructor never runs
        ::_exit(0);
    }
    ::close(ready[1]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(ok, '1');

    ProcessLock mine;
    EXPECT_EQ(mine.tryAcquire(name), ProcessLock::Result::AlreadyHeld);
    EXPECT_TRUE(ProcessLock::isHeld(name));

    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_FALSE(ProcessLock::isHeld(name));
    EXPECT_EQ(mine.tryAcquire(name), ProcessLock::Result::Acquired);
}

TEST(ProcessLockTest, LockFilesLiveInTheRuntimeFolderWithSafeNames)
{
    const std::string path = ProcessLock::lockFilePath("a/b c..\\d");
    EXPECT_EQ(path.find("/.."), std::string::npos);
    EXPECT_NE(path.find("a_b_c.._d.lock"), std::string::npos);
    EXPECT_EQ(path.rfind(ProcessLock::lockFolder(), 0), 0u);

    ProcessLock empty;
    EXPECT_EQ(empty.tryAcquire(""), ProcessLock::Result::Failed);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(ProcessLockTest, FallsBackToTheTemporaryFolderWithoutARuntimeFolder)
{
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedValue = saved ? saved : "";
    ::setenv("XDG_RUNTIME_DIR", "/nonexistent/runtime", 1);
    EXPECT_EQ(ProcessLock::lockFolder(), ProcessLock::lockFolder()); // stable
    EXPECT_EQ(ProcessLock::lockFilePath("x").rfind("/nonexistent", 0), std::string::npos);
    ProcessLock lock;
    EXPECT_EQ(lock.tryAcquire(uniqueName("fallback")), ProcessLock::Result::Acquired);
    if (saved)
        ::setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

} // namespace
} // namespace plat
