#include "SentryRateLimits.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ctime>

namespace quorvane {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::optional<std::chrono::milliseconds> parseSeconds(std::string_view text) {
    text = trimmed(text);
    double seconds = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seconds);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(seconds) ||
        seconds < 0) {
        return std::nullopt;
    }
    // A day is far more than the service ever asks for; longer orders are
    // taken as a day so a typo cannot silence reporting for years.
    return std::chrono::milliseconds(static_cast<long long>(std::min(seconds, 86400.0) * 1000));
}

// The event categories an entry names; an empty list covers everything.
bool coversErrorEvents(std::string_view categories) {
    if (trimmed(categories).empty()) {
        return true;
    }
    while (!categories.empty()) {
        const auto semicolon = categories.find(';');
        const auto category = trimmed(categories.substr(0, semicolon));
        if (category == "error" || category == "default") {
            return true;
        }
        if (semicolon == std::string_view::npos) {
            break;
        }
        categories.remove_prefix(semicolon + 1);
    }
    return false;
}

std::optional<int> parseNumber(std::string_view text) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// An IMF-fixdate, "Sun, 06 Nov 1994 08:49:37 GMT". Parsed by hand because
// strptime reads month names in the process's locale.
std::optional<std::time_t> parseHttpDate(std::string_view text) {
    static constexpr std::array<std::string_view, 12> months = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (text.size() != 29 || text.substr(3, 2) != ", " || text.substr(25) != " GMT" ||
        text[7] != ' ' || text[11] != ' ' || text[16] != ' ' || text[19] != ':' ||
        text[22] != ':') {
        return std::nullopt;
    }
    const auto month = std::find(months.begin(), months.end(), text.substr(8, 3));
    const auto day = parseNumber(text.substr(5, 2));
    const auto year = parseNumber(text.substr(12, 4));
    const auto hour = parseNumber(text.substr(17, 2));
    const auto minute = parseNumber(text.substr(20, 2));
    const auto second = parseNumber(text.substr(23, 2));
    if (month == months.end() || !day || !year || !hour || !minute || !second) {
        return std::nullopt;
    }
    std::tm parts{};
    parts.tm_year = *year - 1900;
    parts.tm_mon = static_cast<int>(month - months.begin());
    parts.tm_mday = *day;
    parts.tm_hour = *hour;
    parts.tm_min = *minute;
    parts.tm_sec = *second;
    return timegm(&parts);
}

} // namespace

std::optional<std::chrono::milliseconds>
SentryRateLimits::parseRateLimits(std::string_view header) {
    std::optional<std::chrono::milliseconds> longest;
    while (!header.empty()) {
        const auto comma = header.find(',');
        const auto entry = header.substr(0, comma);
        const auto colon = entry.find(':');
        const auto retryAfter = parseSeconds(entry.substr(0, colon));
        const auto categories =
            colon == std::string_view::npos
                ? std::string_view()
                : entry.substr(colon + 1, entry.find(':', colon + 1) - colon - 1);
        if (retryAfter && coversErrorEvents(categories) && (!longest || *retryAfter > *longest)) {
            longest = retryAfter;
        }
        if (comma == std::string_view::npos) {
            break;
        }
        header.remove_prefix(comma + 1);
    }
    return longest;
}

std::optional<std::chrono::milliseconds>
SentryRateLimits::parseRetryAfter(std::string_view header, WallClock::time_point wallNow) {
    if (auto seconds = parseSeconds(header)) {
        return seconds;
    }
    const auto date = parseHttpDate(trimmed(header));
    if (!date) {
        return std::nullopt;
    }
    const auto until = WallClock::from_time_t(*date);
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(until - wallNow);
    return std::clamp(remaining, std::chrono::milliseconds(0), std::chrono::milliseconds(86400000));
}

void SentryRateLimits::update(const HttpResponse& response, Clock::time_point now,
                              WallClock::time_point wallNow) {
    if (const auto header = response.header("X-Sentry-Rate-Limits")) {
        if (const auto limit = parseRateLimits(*header)) {
            holdFor(*limit, now);
        }
        return;
    }
    if (response.statusCode != 429) {
        return;
    }
    std::optional<std::chrono::milliseconds> limit;
    if (const auto header = response.header("Retry-After")) {
        limit = parseRetryAfter(*header, wallNow);
    }
    holdFor(limit.value_or(defaultRetryAfter), now);
}

void SentryRateLimits::holdFor(std::chrono::milliseconds duration, Clock::time_point now) {
    limitedUntil_ = std::max(limitedUntil_, now + duration);
}

} // namespace quorvane
