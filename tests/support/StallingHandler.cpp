#include "StallingHandler.h"

namespace quorvane::test {

namespace {

// Never hold a request longer than this, so a broken test cannot hang the server's join.
constexpr std::chrono::seconds safetyLimit{30};

} // namespace

LoopbackServer::Handler StallingHandler::handler() {
    return [this](const httplib::Request&, httplib::Response& response) {
        std::unique_lock lock(mutex_);
        arrived_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, safetyLimit, [this] { return released_; });
        response.status = 200;
    };
}

bool StallingHandler::waitUntilArrived(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return arrived_; });
}

void StallingHandler::release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

} // namespace quorvane::test
