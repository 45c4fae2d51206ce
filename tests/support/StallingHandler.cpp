#include "StallingHandler.h"

namespace quorvane::test {

namespace {

// Never hold a request longer than this, so a broken test cannot hang the server's join.
constexpr std::chrono::seconds safetyLimit{30};

} // namespace

StallingHandler::StallingHandler()
    : shared_(std::make_shared<Shared>()) {}

StallingHandler::~StallingHandler() {
    release();
}

LoopbackServer::Handler StallingHandler::handler() {
    return [shared = shared_](const httplib::Request&, httplib::Response& response) {
        std::unique_lock lock(shared->mutex);
        shared->arrived = true;
        shared->changed.notify_all();
        shared->changed.wait_for(lock, safetyLimit, [&] { return shared->released; });
        response.status = 200;
    };
}

bool StallingHandler::waitUntilArrived(std::chrono::milliseconds timeout) {
    std::unique_lock lock(shared_->mutex);
    return shared_->changed.wait_for(lock, timeout, [this] { return shared_->arrived; });
}

void StallingHandler::release() {
    std::lock_guard lock(shared_->mutex);
    shared_->released = true;
    shared_->changed.notify_all();
}

} // namespace quorvane::test
