#include "platform/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <poll.h>
#include <unistd.h>

using namespace plat;

namespace {

bool readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

} // namespace

TEST(EventTest, ManualResetStaysSetUntilReset)
{
    Event e(true, false);
    EXPECT_FALSE(e.wait(0));
    EXPECT_FALSE(e.wait(5));
    e.set();
    e.set(); // setting twice must not need two resets
    EXPECT_TRUE(e.wait(0));
    EXPECT_TRUE(e.wait(INFINITE));
    EXPECT_TRUE(e.isSet());
    e.reset();
    EXPECT_FALSE(e.isSet());
    EXPECT_FALSE(e.wait(0));
    EXPECT_FALSE(readable(e.fd()));
}

TEST(EventTest, AutoResetReleasesExactlyOneWaiter)
{
    Event e(false, false);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i)
        waiters.emplace_back([&] {
            if (e.wait(INFINITE))
                ++released;
        });
    e.set();
    // Each set releases one waiter; the rest stay blocked until their own set.
    for (int expected = 1; expected <= 4; ++expected) {
        while (released.load() < expected)
            std::this_thread::yield();
        EXPECT_EQ(released.load(), expected);
        EXPECT_FALSE(e.isSet());
        if (expected < 4)
            e.set();
    }
    for (auto& t : waiters)
        t.join();
}

TEST(EventTest, InitiallySetAutoEventIsConsumedOnce)
{
    Event e(false, true);
    EXPECT_TRUE(e.isSet());
    EXPECT_TRUE(e.wait(0));
    EXPECT_FALSE(e.wait(0));
}

TEST(EventTest, DescriptorPollsWithADeviceDescriptor)
{
    Event stop(true, false);
    Event wake(false, false);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);

    pollfd fds[3] = {{pipeFds[0], POLLIN, 0}, {stop.fd(), POLLIN, 0}, {wake.fd(), POLLIN, 0}};
    EXPECT_EQ(::poll(fds, 3, 0), 0);

    ASSERT_EQ(::write(pipeFds[1], "x", 1), 1);
    ASSERT_EQ(::poll(fds, 3, 1000), 1);
    EXPECT_TRUE(fds[0].revents & POLLIN);
    char c;
    ASSERT_EQ(::read(pipeFds[0], &c, 1), 1);

    std::thread setter([&] { wake.set(); });
    ASSERT_EQ(::poll(fds, 3, 5000), 1);
    EXPECT_TRUE(fds[2].revents & POLLIN);
    setter.join();
    // Polling told us, but did not take the signal of the auto-reset event.
    EXPECT_TRUE(wake.isSet());
    EXPECT_TRUE(wake.wait(0));
    EXPECT_FALSE(readable(wake.fd()));

    stop.set();
    EXPECT_TRUE(readable(stop.fd()));
    stop.reset();
    EXPECT_FALSE(readable(stop.fd()));
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}

TEST(WaitForMultipleTest, LowestSignalledIndexWinsAndOnlyItIsConsumed)
{
    Event a(false), b(false), c(true);
    b.set();
    c.set();
    EXPECT_EQ(WaitForMultiple({&a, &b, &c}, 0), WAIT_OBJECT_0 + 1);
    EXPECT_FALSE(b.isSet());
    EXPECT_TRUE(c.isSet());
    EXPECT_EQ(WaitForMultiple({&a, &b, &c}, 0), WAIT_OBJECT_0 + 2);
    EXPECT_TRUE(c.isSet()); // manual reset stays set
    c.reset();
    EXPECT_EQ(WaitForMultiple({&a, &b, &c}, 10), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForMultiple(std::span<Event* const>(), 0), WAIT_FAILED);
}

TEST(WaitForMultipleTest, WakesWhenAnotherThreadSets)
{
    Event stop(true), work(false);
    std::thread t([&] { work.set(); });
    EXPECT_EQ(WaitForMultiple({&stop, &work}, INFINITE), WAIT_OBJECT_0 + 1);
    t.join();
    EXPECT_FALSE(work.isSet());
}

TEST(RecursiveMutexTest, CountsDepthPerOwner)
{
    RecursiveMutex m;
    EXPECT_EQ(m.depth(), 0);
    EXPECT_EQ(m.lock(), 1);
    EXPECT_EQ(m.lock(), 2);
    EXPECT_TRUE(m.try_lock());
    EXPECT_EQ(m.depth(), 3);
    EXPECT_EQ(m.owner(), std::this_thread::get_id());

    std::thread other([&] {
        EXPECT_FALSE(m.try_lock());
        EXPECT_EQ(m.depth(), 0);
        EXPECT_EQ(m.unlock(), 0); // not the owner: nothing happens
        EXPECT_EQ(m.releaseAll(), 0);
    });
    other.join();
    EXPECT_EQ(m.depth(), 3);

    EXPECT_EQ(m.unlock(), 2);
    EXPECT_EQ(m.unlock(), 1);
    EXPECT_EQ(m.unlock(), 0);
    EXPECT_EQ(m.owner(), std::thread::id());
    EXPECT_EQ(m.unlock(), 0);
}

// A notification sent with the lock fully released: the receiver (another thread) takes the lock
// while the notifier waits, then the notifier gets it back to the same depth.
TEST(RecursiveMutexTest, ReleaseAllLetsAnotherThreadInAndReacquireRestoresDepth)
{
    RecursiveMutex m;
    Event released(true), receiverDone(true), reacquired(true);
    std::atomic<int> receiverDepth{0};

    std::thread receiver([&] {
        released.wait(INFINITE);
        EXPECT_TRUE(m.try_lock());
        m.lock();
        receiverDepth = m.depth();
        m.unlock();
        m.unlock();
        receiverDone.set();
        reacquired.wait(INFINITE);
        EXPECT_FALSE(m.try_lock()); // the notifier holds it again
    });

    m.lock();
    m.lock();
    m.lock();
    int depth = m.releaseAll();
    EXPECT_EQ(depth, 3);
    EXPECT_EQ(m.depth(), 0);
    released.set();
    receiverDone.wait(INFINITE);
    m.reacquire(depth);
    EXPECT_EQ(m.depth(), 3);
    reacquired.set();
    receiver.join();
    EXPECT_EQ(receiverDepth.load(), 2);
    for (int i = 0; i < 3; ++i)
        m.unlock();
    EXPECT_EQ(m.depth(), 0);
}

TEST(RecursiveMutexTest, ReacquireWaitsForTheCurrentHolder)
{
    RecursiveMutex m;
    m.lock();
    const int depth = m.releaseAll();
    Event holding(true), letGo(true);
    std::thread holder([&] {
        ScopedLock lock(m);
        holding.set();
        letGo.wait(INFINITE);
    });
    holding.wait(INFINITE);
    std::atomic<bool> back{false};
    std::thread notifier([&] {
        // reacquire on a thread that never held it behaves like lock() to that depth
        m.reacquire(2);
        back = true;
        EXPECT_EQ(m.depth(), 2);
        m.unlock();
        m.unlock();
    });
    EXPECT_FALSE(back.load());
    letGo.set();
    holder.join();
    notifier.join();
    EXPECT_TRUE(back.load());
    EXPECT_EQ(depth, 1);
    m.reacquire(0);
    EXPECT_EQ(m.depth(), 0);
}

TEST(RecursiveMutexTest, ScopedReleaseAllRestoresOnScopeExit)
{
    RecursiveMutex m;
    ScopedLock outer(m);
    ScopedLock inner(m);
    {
        ScopedReleaseAll free(m);
        EXPECT_EQ(free.depth(), 2);
        std::thread t([&] {
            ScopedLock other(m);
            EXPECT_EQ(m.depth(), 1);
        });
        t.join();
        EXPECT_EQ(m.depth(), 0);
    }
    EXPECT_EQ(m.depth(), 2);
}

TEST(ThreadTest, JoinWithTimeOutAndRestart)
{
    Thread t;
    EXPECT_TRUE(t.join(0)); // nothing started
    Event go(true);
    ASSERT_TRUE(t.start([&] { go.wait(INFINITE); }));
    EXPECT_FALSE(t.start([] {}));
    EXPECT_FALSE(t.join(10));
    EXPECT_TRUE(t.joinable());
    go.set();
    EXPECT_TRUE(t.join(INFINITE));
    EXPECT_FALSE(t.joinable());
    EXPECT_TRUE(t.finished().isSet());

    std::atomic<bool> selfJoin{true};
    ASSERT_TRUE(t.start([&] { selfJoin = t.join(0); }));
    EXPECT_TRUE(t.join(INFINITE));
    EXPECT_FALSE(selfJoin.load());
}

TEST(ThreadTest, ABodyThatDeletesItsOwnThreadObjectRunsOutSafely)
{
    Event done;
    auto* t = new Thread;
    ASSERT_TRUE(t->start([t, &done] {
        delete t; // cannot join itself: detached; the end of the body touches nothing of it
        done.set();
    }));
    EXPECT_TRUE(done.wait(10000));
    // The run-out happens after done: give it a moment under the sanitizer to trip if it would.
    Thread later;
    ASSERT_TRUE(later.start([] {}));
    EXPECT_TRUE(later.join(10000));
}
