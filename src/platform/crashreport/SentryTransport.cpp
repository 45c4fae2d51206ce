#include "SentryTransport.h"

#include "platform/http/HttpSession.h"

#include <exception>

namespace quorvane {

SentryTransport::SentryTransport(SentryDsn dsn, std::string clientVersion, HttpSession& session)
    : dsn_(std::move(dsn))
    , clientVersion_(std::move(clientVersion))
    , session_(session)
    , worker_([this](std::stop_token stop) { run(stop); }) {}

SentryTransport::~SentryTransport() {
    worker_.request_stop();
    worker_.join();
}

bool SentryTransport::enqueue(SentryEvent event, Accepted accepted) {
    {
        std::lock_guard lock(mutex_);
        if (limits_.isLimited(SentryRateLimits::Clock::now()) || queue_.size() >= queueLimit) {
            return false;
        }
        queue_.push_back({std::move(event), std::move(accepted)});
    }
    queued_.notify_one();
    return true;
}

bool SentryTransport::flush(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, timeout, [this] { return queue_.empty() && !sending_; });
}

void SentryTransport::discardQueued() {
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
    }
    idle_.notify_all();
}

void SentryTransport::run(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (queued_.wait(lock, stop, [this] { return !queue_.empty(); }) && !stop.stop_requested()) {
        auto pending = std::move(queue_.front());
        queue_.pop_front();
        // An order that arrived while this event waited applies to it too.
        if (limits_.isLimited(SentryRateLimits::Clock::now())) {
            idle_.notify_all();
            continue;
        }
        sending_ = true;
        lock.unlock();
        if (send(pending.event, stop) && pending.accepted) {
            pending.accepted();
        }
        lock.lock();
        sending_ = false;
        idle_.notify_all();
    }
    queue_.clear();
    idle_.notify_all();
}

bool SentryTransport::send(const SentryEvent& event, std::stop_token stop) {
    HttpRequest request;
    request.method = "POST";
    request.url = dsn_.envelopeEndpoint();
    request.headers = {
        {"X-Sentry-Auth", dsn_.authHeader(clientVersion_)},
        {"Content-Type", "application/x-sentry-envelope"},
        {"User-Agent", "quorvane/" + clientVersion_},
    };
    request.body = event.envelope();
    request.timeout = requestTimeout;
    try {
        const auto response = session_.send(request, stop);
        std::lock_guard lock(mutex_);
        limits_.update(response, SentryRateLimits::Clock::now());
        return response.statusCode >= 200 && response.statusCode < 300;
    } catch (const std::exception&) {
        // Reporting must never disturb the program: a failed send only loses
        // this event.
        return false;
    }
}

} // namespace quorvane
