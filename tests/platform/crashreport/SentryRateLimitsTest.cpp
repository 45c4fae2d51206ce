#include "platform/crashreport/SentryRateLimits.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using namespace std::chrono_literals;
using Clock = SentryRateLimits::Clock;

TEST(SentryRateLimitsTest, HeaderLimitsCoverErrorEventsOnly) {
    struct Case {
        const char* header;
        std::optional<std::chrono::milliseconds> limit;
    };
    const Case cases[] = {
        {"60:error:key", 60s},
        {"60::organization", 60s}, // no categories: everything
        {"60", 60s},
        {"2.5:default;error:project", 2500ms},
        {"60:transaction:key", std::nullopt},
        {"60:transaction;session:key", std::nullopt},
        {"60:transaction:key, 120:error:org", 120s},
        {"300:error:key, 10::org", 300s}, // the longest covering limit
        {"soon:error:key", std::nullopt},
        {"-5:error:key", std::nullopt},
        {"", std::nullopt},
        {"999999999:error:key", 86400s}, // capped at a day
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SentryRateLimits::parseRateLimits(c.header), c.limit) << c.header;
    }
}

TEST(SentryRateLimitsTest, RetryAfterIsSecondsOrAnHttpDate) {
    const auto now =
        SentryRateLimits::WallClock::from_time_t(784111777); // Sun, 06 Nov 1994 08:49:37 GMT
    EXPECT_EQ(SentryRateLimits::parseRetryAfter("120", now), 120s);
    EXPECT_EQ(SentryRateLimits::parseRetryAfter("Sun, 06 Nov 1994 08:50:07 GMT", now), 30s);
    EXPECT_EQ(SentryRateLimits::parseRetryAfter("Sun, 06 Nov 1994 08:00:00 GMT", now), 0s);
    EXPECT_EQ(SentryRateLimits::parseRetryAfter("tomorrow", now), std::nullopt);
    EXPECT_EQ(SentryRateLimits::parseRetryAfter("Sun, 06 Foo 1994 08:50:07 GMT", now),
              std::nullopt);
}

HttpResponse reply(long status, std::vector<HttpHeader> headers) {
    HttpResponse response;
    response.statusCode = status;
    response.headers = std::move(headers);
    return response;
}

TEST(SentryRateLimitsTest, RepliesSetHowLongSendingIsSuspended) {
    struct Case {
        const char* name;
        HttpResponse response;
        std::optional<std::chrono::seconds> held; // nothing: no limit at all
    };
    const Case cases[] = {
        {"ok", reply(200, {}), std::nullopt},
        {"okWithLimit", reply(200, {{"x-sentry-rate-limits", "30:error:key"}}), 30s},
        {"tooManyWithRetryAfter", reply(429, {{"Retry-After", "90"}}), 90s},
        {"tooManyBare", reply(429, {}), 60s},
        {"tooManyUnreadableRetryAfter", reply(429, {{"Retry-After", "later"}}), 60s},
        // The service's own header wins over Retry-After.
        {"tooManyWithBoth",
         reply(429, {{"Retry-After", "90"}, {"X-Sentry-Rate-Limits", "10:error:key"}}), 10s},
        {"tooManyOtherCategory", reply(429, {{"X-Sentry-Rate-Limits", "90:transaction:key"}}),
         std::nullopt},
        {"serverError", reply(503, {{"Retry-After", "90"}}), std::nullopt},
    };
    const auto now = Clock::now();
    for (const auto& c : cases) {
        SentryRateLimits limits;
        limits.update(c.response, now);
        if (!c.held) {
            EXPECT_FALSE(limits.isLimited(now)) << c.name;
            continue;
        }
        EXPECT_TRUE(limits.isLimited(now + *c.held - 1ms)) << c.name;
        EXPECT_FALSE(limits.isLimited(now + *c.held)) << c.name;
    }
}

TEST(SentryRateLimitsTest, AShorterLaterLimitDoesNotShortenALongerOne) {
    SentryRateLimits limits;
    const auto now = Clock::now();
    limits.update(reply(429, {{"Retry-After", "120"}}), now);
    limits.update(reply(200, {{"X-Sentry-Rate-Limits", "5:error:key"}}), now);
    EXPECT_TRUE(limits.isLimited(now + 100s));
}

} // namespace
} // namespace quorvane
