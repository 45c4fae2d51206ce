// A loopback handler that holds the request unanswered until the test
// releases it (or a long safety time-out passes), for cancellation tests.
#pragma once

#include "LoopbackServer.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quorvane::test {

class StallingHandler {
public:
    // Registered handlers keep a reference: the StallingHandler must outlive the server's
    // last request, so release() it before the server stops.
    LoopbackServer::Handler handler();

    // True once a request has reached the handler.
    bool waitUntilArrived(std::chrono::milliseconds timeout);

    // Lets every held request answer 200 with an empty body.
    void release();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool arrived_ = false;
    bool released_ = false;
};

} // namespace quorvane::test
