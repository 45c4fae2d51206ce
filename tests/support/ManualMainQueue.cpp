#include "ManualMainQueue.h"

namespace quorvane::test {

void ManualMainQueue::post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(work));
    }
    posted_.notify_all();
}

int ManualMainQueue::drain() {
    int ran = 0;
    for (;;) {
        std::function<void()> next;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty()) {
                return ran;
            }
            next = std::move(pending_.front());
            pending_.pop_front();
        }
        next();
        ++ran;
    }
}

bool ManualMainQueue::runUntil(const std::function<bool()>& done,
                               std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        drain();
        if (done()) {
            return true;
        }
        std::unique_lock lock(mutex_);
        if (!posted_.wait_until(lock, deadline, [this] { return !pending_.empty(); })) {
            lock.unlock();
            drain();
            return done();
        }
    }
}

} // namespace quorvane::test
