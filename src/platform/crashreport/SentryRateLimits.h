// The ingest service's back-off orders for error events. While one holds,
// events are dropped rather than queued, so a busy service is not flooded
// again the moment it recovers.
#pragma once

#include "platform/http/HttpResponse.h"

#include <chrono>
#include <optional>
#include <string_view>

namespace quorvane {

class SentryRateLimits {
public:
    using Clock = std::chrono::steady_clock;
    using WallClock = std::chrono::system_clock;

    static constexpr std::chrono::seconds defaultRetryAfter{60};

    // Reads X-Sentry-Rate-Limits from every reply; without it, a 429 holds for
    // its Retry-After (seconds or an HTTP date), else for 60 seconds.
    void update(const HttpResponse& response, Clock::time_point now,
                WallClock::time_point wallNow = WallClock::now());

    bool isLimited(Clock::time_point now) const { return now < limitedUntil_; }

    // The longest limit in an X-Sentry-Rate-Limits value that covers error
    // events; nothing when none does.
    static std::optional<std::chrono::milliseconds> parseRateLimits(std::string_view header);
    static std::optional<std::chrono::milliseconds> parseRetryAfter(std::string_view header,
                                                                    WallClock::time_point wallNow);

private:
    void holdFor(std::chrono::milliseconds duration, Clock::time_point now);

    Clock::time_point limitedUntil_{};
};

} // namespace quorvane
