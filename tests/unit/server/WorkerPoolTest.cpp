#include "server/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace terrabo::server {
namespace {

// Jobs that block until released, like connections of slow clients.
struct Gate {
    std::mutex m;
    std::condition_variable cv;
    bool open = false;
    std::atomic<int> waiting{0};
    void pass() {
        ++waiting;
        std::unique_lock lock(m);
        cv.wait(lock, [this] { return open; });
    }
    void release() {
        {
            std::lock_guard lock(m);
            open = true;
        }
        cv.notify_all();
    }
    bool waitForWaiting(int n) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (waiting < n && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return waiting >= n;
    }
};

TEST(WorkerPool, GrowsWhileAllAreBusyUpToTheCeiling) {
    Gate gate;
    std::atomic<int> done{0};
    {
        WorkerPool pool(2, 6);
        EXPECT_EQ(pool.threadCount(), 2u);
        for (int i = 0; i < 10; ++i)
            pool.submit([&] {
                gate.pass();
                ++done;
            });
        EXPECT_TRUE(gate.waitForWaiting(6)); // six run at once, four wait their turn
        EXPECT_EQ(pool.threadCount(), 6u);
        gate.release();
    } // shutdown runs what was queued
    EXPECT_EQ(done, 10);
}

TEST(WorkerPool, ReusesIdleThreads) {
    WorkerPool pool(3, 100);
    std::atomic<int> done{0};
    for (int i = 0; i < 200; ++i) {
        pool.submit([&] { ++done; });
        while (done <= i)
            std::this_thread::yield();
    }
    EXPECT_EQ(pool.threadCount(), 3u);
}

TEST(WorkerPool, DropsJobsAfterShutdown) {
    std::atomic<int> done{0};
    WorkerPool pool(2, 2);
    pool.shutdown();
    pool.submit([&] { ++done; });
    pool.shutdown();
    EXPECT_EQ(done, 0);
}

} // namespace
} // namespace terrabo::server
