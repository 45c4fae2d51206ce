// Sends crash-report events to the ingest service on one background thread,
// one request per event, in capture order. Nothing is retried or stored: an
// event that cannot be sent is gone, and events captured while the service's
// rate limit holds are dropped. Whoever keeps a copy of an event (a crash
// record) learns when the service accepted it, and only then lets it go.
#pragma once

#include "SentryDsn.h"
#include "SentryEvent.h"
#include "SentryRateLimits.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

namespace quorvane {

class HttpSession;

class SentryTransport {
public:
    // Events beyond this many waiting ones are dropped.
    static constexpr std::size_t queueLimit = 30;
    static constexpr std::chrono::seconds requestTimeout{15};

    SentryTransport(SentryDsn dsn, std::string clientVersion, HttpSession& session);
    // Cancels a request in flight and drops what still waits.
    ~SentryTransport();

    SentryTransport(const SentryTransport&) = delete;
    SentryTransport& operator=(const SentryTransport&) = delete;

    // Runs on the sender thread once the service accepted an event (a 2xx
    // reply); never for an event dropped, refused or failed in transit.
    using Accepted = std::function<void()>;

    // False when the event was dropped (rate limit or full queue).
    bool enqueue(SentryEvent event, Accepted accepted = {});

    // Waits until every queued event has been sent or dropped, at most the
    // time-out; true when nothing is left.
    bool flush(std::chrono::milliseconds timeout);

    // Drops every event still waiting; one already on the wire is let finish.
    void discardQueued();

private:
    struct Pending {
        SentryEvent event;
        Accepted accepted;
    };

    void run(std::stop_token stop);
    // True when the service accepted the event.
    bool send(const SentryEvent& event, std::stop_token stop);

    const SentryDsn dsn_;
    const std::string clientVersion_;
    HttpSession& session_;

    std::mutex mutex_;
    std::condition_variable_any queued_;
    std::condition_variable idle_;
    std::deque<Pending> queue_;
    bool sending_ = false;
    SentryRateLimits limits_;

    std::jthread worker_; // last, so it stops before the members it uses go
};

} // namespace quorvane
