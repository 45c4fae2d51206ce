#include "state/WorkerSet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quorvane {
namespace {

using namespace std::chrono_literals;

// Work that blocks until its token stops (or a generous safety limit passes)
// and records whether it saw the stop.
struct BlockingWork {
    std::atomic<int> stopped{0};

    WorkerSet::Work work() {
        return [this](std::stop_token stop) {
            std::mutex mutex;
            std::condition_variable_any wake;
            std::unique_lock lock(mutex);
            wake.wait_for(lock, stop, 30s, [] { return false; });
            if (stop.stop_requested()) {
                ++stopped;
            }
        };
    }
};

TEST(WorkerSetTest, DestructionStopsAndJoinsEveryWorker) {
    BlockingWork blocking;
    {
        WorkerSet workers;
        workers.start(std::stop_token(), blocking.work());
        workers.start(std::stop_token(), blocking.work());
    }
    // Joined: both have ended, and they ended because they were told to stop.
    EXPECT_EQ(blocking.stopped.load(), 2);
}

TEST(WorkerSetTest, AWorkerStopsWithItsLinkedTokenOnly) {
    BlockingWork blocking;
    WorkerSet workers;
    std::stop_source first;
    std::stop_source second;
    workers.start(first.get_token(), blocking.work());
    workers.start(second.get_token(), blocking.work());

    first.request_stop();
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (blocking.stopped.load() < 1 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(blocking.stopped.load(), 1);

    std::stop_source already;
    already.request_stop();
    std::atomic<bool> sawStop{false};
    workers.start(already.get_token(), [&](std::stop_token stop) {
        // The link may land just after the thread starts; wait for it briefly.
        for (int i = 0; i < 10000 && !stop.stop_requested(); ++i) {
            std::this_thread::sleep_for(1ms);
        }
        sawStop = stop.stop_requested();
    });
    workers.stopAndJoin();
    EXPECT_TRUE(sawStop.load());
    EXPECT_EQ(blocking.stopped.load(), 2);
}

} // namespace
} // namespace quorvane
