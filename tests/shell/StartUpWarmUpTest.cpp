#include "shell/StartUpWarmUp.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace quorvane {
namespace {

using namespace std::chrono_literals;

// Work that is still running when the caller goes on: only a real wait sees it finished.
std::function<void()> slowWork(std::atomic<bool>& done) {
    return [&done] {
        std::this_thread::sleep_for(100ms);
        done = true;
    };
}

TEST(StartUpWarmUpTest, WaitReturnsOnlyOnceTheWorkIsDone) {
    std::atomic<bool> done = false;
    StartUpWarmUp warmUp(slowWork(done));
    warmUp.wait();
    EXPECT_TRUE(done);
    // A second wait, and the destructor after it, have nothing left to wait for.
    warmUp.wait();
}

TEST(StartUpWarmUpTest, GoingAwayWaitsForTheWork) {
    std::atomic<bool> done = false;
    { const StartUpWarmUp warmUp(slowWork(done)); }
    EXPECT_TRUE(done);
}

} // namespace
} // namespace quorvane
