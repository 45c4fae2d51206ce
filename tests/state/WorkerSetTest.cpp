#include "state/WorkerSet.h"

#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvane {
namespace {

using namespace std::chrono_literals;

// One piece of work that hands its token to the test, blocks until the token
// stops (or a safety limit far beyond any test's patience passes) and only then
// ends, a little later, so a set that returned without joining it is caught.
class BlockingWork {
public:
    WorkerSet::Work work() {
        return [this](std::stop_token stop) {
            started_.set_value(stop);
            std::mutex mutex;
            std::condition_variable_any wake;
            std::unique_lock lock(mutex);
            wake.wait_for(lock, stop, 30s, [] { return false; });
            stopped_ = stop.stop_requested();
            std::this_thread::sleep_for(50ms);
            ended_ = true;
        };
    }

    // The token the work runs under, once it has started.
    std::stop_token token() {
        EXPECT_EQ(token_.wait_for(test::defaultPatience), std::future_status::ready)
            << "the work did not start";
        return token_.get();
    }

    bool stopped() const { return stopped_; }
    bool ended() const { return ended_; }

private:
    std::promise<std::stop_token> started_;
    std::future<std::stop_token> token_ = started_.get_future();
    std::atomic<bool> stopped_{false};
    std::atomic<bool> ended_{false};
};

TEST(WorkerSetTest, DestructionStopsAndJoinsEveryWorker) {
    BlockingWork first;
    BlockingWork second;
    const auto begin = std::chrono::steady_clock::now();
    {
        WorkerSet workers;
        workers.start(std::stop_token(), first.work());
        workers.start(std::stop_token(), second.work());
        first.token();
        second.token();
    }
    EXPECT_TRUE(first.ended() && second.ended()) << "the set went before its workers ended";
    EXPECT_TRUE(first.stopped() && second.stopped()) << "a worker ended without being stopped";
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 10s) << "the set waited out its workers";
}

TEST(WorkerSetTest, AWorkerStopsWithItsLinkedTokenOnly) {
    BlockingWork first;
    BlockingWork second;
    WorkerSet workers;
    std::stop_source firstLink;
    std::stop_source secondLink;
    workers.start(firstLink.get_token(), first.work());
    workers.start(secondLink.get_token(), second.work());
    const std::stop_token firstToken = first.token();
    const std::stop_token secondToken = second.token();

    // The link passes the stop on before request_stop() returns.
    firstLink.request_stop();
    EXPECT_TRUE(firstToken.stop_requested());
    EXPECT_FALSE(secondToken.stop_requested());
    EXPECT_TRUE(test::waitUntil([&] { return first.ended(); })) << "the stopped work went on";
    EXPECT_FALSE(second.ended());
}

TEST(WorkerSetTest, AWorkerWhoseLinkHasAlreadyStoppedStartsStopped) {
    std::stop_source already;
    already.request_stop();
    // Many starts, as a link made after the thread starts loses only now and then.
    constexpr int starts = 10000;
    std::atomic<int> stoppedAtOnce{0};
    {
        WorkerSet workers;
        for (int i = 0; i < starts; ++i) {
            workers.start(already.get_token(), [&](std::stop_token stop) {
                stoppedAtOnce += stop.stop_requested() ? 1 : 0;
            });
        }
    }
    EXPECT_EQ(stoppedAtOnce.load(), starts) << "some work began before its stop reached it";
}

TEST(WorkerSetTest, WorkersThatEndedAreJoinedAtTheNextStart) {
    WorkerSet workers;
    const auto nothing = [](std::stop_token) {};
    for (int i = 0; i < 3; ++i) {
        workers.start(std::stop_token(), nothing);
    }
    // Each start joins what has ended since; once the earlier work is all done, only the newest
    // worker is left. The starts are bounded, as a set that never joins would pile up threads.
    int starts = 0;
    ASSERT_TRUE(test::waitUntil([&] {
        workers.start(std::stop_token(), nothing);
        return workers.size() == 1 || ++starts == 1000;
    }));
    EXPECT_EQ(workers.size(), 1u) << "workers that had ended were kept";
}

} // namespace
} // namespace quorvane
