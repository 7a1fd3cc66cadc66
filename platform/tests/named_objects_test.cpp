#include "platform/errors.h"
#include "platform/named_objects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace plat {
namespace {

TEST(NamedMutexTest, SameThreadReentersAndMustReleaseAsOften)
{
    NamedMutex m = NamedMutex::create("VEKZR_MEM_MUTEX_t1");
    ASSERT_TRUE(m.valid());
    EXPECT_EQ(m.wait(), WAIT_OBJECT_0);
    EXPECT_EQ(m.wait(0), WAIT_OBJECT_0);
    {
        std::lock_guard again(m); // the data mutex is taken again inside handlers
        EXPECT_EQ(m.depth(), 3);
    }
    EXPECT_EQ(m.depth(), 2);

    std::atomic<DWORD> other{0};
    std::thread([&] { other = NamedMutex::open("VEKZR_MEM_MUTEX_t1").wait(20); }).join();
    EXPECT_EQ(other.load(), WAIT_TIMEOUT);

    EXPECT_TRUE(m.release());
    EXPECT_TRUE(m.release());
    EXPECT_FALSE(m.release());
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    std::thread([&] { other = NamedMutex::open("VEKZR_MEM_MUTEX_t1").wait(0); }).join();
    EXPECT_EQ(other.load(), WAIT_OBJECT_0);
    // That thread ended holding it: the next waiter gets it, told that it was abandoned, once.
    EXPECT_EQ(m.wait(10), WAIT_ABANDONED);
    EXPECT_EQ(m.depth(), 1);
    EXPECT_TRUE(m.release());
    EXPECT_EQ(m.wait(0), WAIT_OBJECT_0);
    EXPECT_TRUE(m.release());
}

TEST(NamedMutexTest, SecondCreateOpensTheSameMutexAndSaysItExisted)
{
    bool existed = true;
    NamedMutex a = NamedMutex::create("VEKZR_MEM_MUTEX_t2", false, &existed);
    EXPECT_FALSE(existed);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    NamedMutex b = NamedMutex::create("VEKZR_MEM_MUTEX_t2", false, &existed);
    EXPECT_TRUE(existed);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(a.sameObject(b));
    EXPECT_EQ(b.name(), "VEKZR_MEM_MUTEX_t2");

    // Ownership is per thread, not per handle.
    ASSERT_EQ(a.wait(), WAIT_OBJECT_0);
    EXPECT_EQ(b.depth(), 1);
    EXPECT_TRUE(b.release());

    // Names are case-sensitive, and a name lives only while a handle does.
    EXPECT_FALSE(NamedMutex::open("vekzr_mem_mutex_t2").valid());
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    a.close();
    b.close();
    EXPECT_FALSE(NamedMutex::open("VEKZR_MEM_MUTEX_t2").valid());
    NamedMutex::create("VEKZR_MEM_MUTEX_t2", false, &existed);
    EXPECT_FALSE(existed);
}

TEST(NamedMutexTest, InitialOwnerAndWaitersAreServedWhenReleased)
{
    NamedMutex m = NamedMutex::create("t3", true);
    EXPECT_EQ(m.depth(), 1);
    std::atomic<bool> got{false};
    std::thread waiter([&] {
        NamedMutex mine = NamedMutex::open("t3");
        got = mine.wait(INFINITE) == WAIT_OBJECT_0;
        mine.release();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(got.load());
    m.release();
    waiter.join();
    EXPECT_TRUE(got.load());
}

TEST(NamedMutexTest, EmptyHandlesAndKindClashesFailCleanly)
{
    NamedMutex none;
    EXPECT_EQ(none.wait(0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(none.release());
    EXPECT_EQ(none.name(), "");

    NamedMemory mem = NamedMemory::create("shared-name", 32);
    bool existed = true;
    EXPECT_FALSE(NamedMutex::create("shared-name", false, &existed).valid());
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(existed);
    EXPECT_FALSE(NamedSemaphore::open("shared-name").valid());

    // Unnamed objects are never shared.
    NamedMutex u1 = NamedMutex::create("");
    NamedMutex u2 = NamedMutex::create("");
    EXPECT_TRUE(u1.valid());
    EXPECT_FALSE(u1.sameObject(u2));
}

TEST(NamedSemaphoreTest, CountsWithinItsMaximum)
{
    bool existed = true;
    NamedSemaphore s = NamedSemaphore::create("sem", 1, 2, &existed);
    ASSERT_TRUE(s.valid());
    EXPECT_FALSE(existed);
    EXPECT_EQ(s.wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(s.wait(0), WAIT_TIMEOUT); // not recursive: a second take blocks even on one thread
    LONG previous = -1;
    EXPECT_TRUE(s.release(2, &previous));
    EXPECT_EQ(previous, 0);
    EXPECT_FALSE(s.release(1));
    EXPECT_EQ(GetLastError(), ERROR_TOO_MANY_POSTS);
    EXPECT_EQ(s.count(), 2);
    EXPECT_FALSE(s.release(0));

    NamedSemaphore again = NamedSemaphore::create("sem", 0, 1, &existed);
    EXPECT_TRUE(existed);
    EXPECT_EQ(again.count(), 2); // keeps its own counts

    EXPECT_FALSE(NamedSemaphore::create("bad", 2, 1).valid());
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(NamedSemaphore::create("bad", 0, 0).valid());

    std::atomic<bool> woke{false};
    NamedSemaphore gate = NamedSemaphore::create("gate", 0, 1);
    std::thread t([&] { woke = NamedSemaphore::open("gate").wait(5000) == WAIT_OBJECT_0; });
    gate.release();
    t.join();
    EXPECT_TRUE(woke.load());
}

TEST(NamedMemoryTest, ZeroedSharedByNameAndKeepsItsFirstSize)
{
    bool existed = true;
    const std::string name = ExpandModuleToken("VEKZR_MEM_%x");
    NamedMemory a = NamedMemory::create(name, 32, &existed);
    ASSERT_TRUE(a.valid());
    EXPECT_FALSE(existed);
    EXPECT_EQ(a.size(), 32u);
    const auto* bytes = static_cast<const unsigned char*>(a.data());
    for (std::size_t i = 0; i < 32; ++i)
        EXPECT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a.data()) % alignof(std::max_align_t), 0u);

    auto* fields = static_cast<std::uintptr_t*>(a.data());
    fields[1] = 0x1234;
    NamedMemory b = NamedMemory::create(name, 64, &existed);
    EXPECT_TRUE(existed);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(b.size(), 32u);
    EXPECT_EQ(static_cast<std::uintptr_t*>(b.data())[1], 0x1234u);
    EXPECT_EQ(NamedMemory::open(name).data(), a.data());

    EXPECT_FALSE(NamedMemory::create("zero", 0).valid());
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    NamedMemory none;
    EXPECT_EQ(none.data(), nullptr);
    EXPECT_EQ(none.size(), 0u);
}

TEST(NamedObjectNames, ModuleTokenIsTheProcessIdInHex)
{
    char expected[64];
    std::snprintf(expected, sizeof expected, "VEKZR_MEM_MUTEX_%xOSCILLO",
                  static_cast<unsigned>(::getpid()));
    EXPECT_EQ(ExpandModuleToken("VEKZR_MEM_MUTEX_%xOSCILLO"), expected);
    EXPECT_EQ(ExpandModuleToken("no token %d %"), "no token %d %");
    EXPECT_EQ(ModuleToken(), static_cast<DWORD>(::getpid()));
}

} // namespace
} // namespace plat
