// A loopback handler that holds the request unanswered until the test
// releases it (or a long safety time-out passes), for cancellation tests.
#pragma once

#include "LoopbackServer.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace quorvane::test {

class StallingHandler {
public:
    StallingHandler();
    // Releases what is still held. The handlers share their state with this object rather than
    // point at it, so a request that the server is still finishing may outlive it.
    ~StallingHandler();

    StallingHandler(const StallingHandler&) = delete;
    StallingHandler& operator=(const StallingHandler&) = delete;

    LoopbackServer::Handler handler();

    // True once a request has reached the handler.
    bool waitUntilArrived(std::chrono::milliseconds timeout);

    // Lets every held request answer 200 with an empty body.
    void release();

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        bool arrived = false;
        bool released = false;
    };

    std::shared_ptr<Shared> shared_;
};

} // namespace quorvane::test
