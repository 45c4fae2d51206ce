#pragma once

#include "platform/task/MainQueue.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace quorvane::test {

// A main queue the test drains on its own thread, which plays the main thread.
class ManualMainQueue final : public MainQueue {
public:
    void post(std::function<void()> work) override;

    // Runs everything posted so far (and what that posts in turn); returns how many ran.
    int drain();

    // Runs posted work as it arrives until done() holds or the time-out passes.
    bool runUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> pending_;
};

} // namespace quorvane::test
