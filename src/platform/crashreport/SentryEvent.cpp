#include "SentryEvent.h"

#include "platform/uuid/Uuid.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <ctime>

namespace quorvane {

namespace {

using nlohmann::json;

std::string compact(const json& value) {
    // Replacing invalid UTF-8 keeps a malformed message from losing the event.
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

json sdkDescription(const std::string& version) {
    return {{"name", "quorvane"}, {"version", version}};
}

json baseEvent(const std::string& eventId, const std::string& level,
               const SentryEventContext& context, SentryEvent::Clock::time_point timestamp) {
    auto sdk = sdkDescription(context.version);
    sdk["settings"] = {{"infer_ip", "never"}};
    json os = {{"name", context.os.name}};
    if (!context.os.version.empty()) {
        os["version"] = context.os.version;
    }
    return {
        {"event_id", eventId},
        {"timestamp", SentryEvent::rfc3339(timestamp)},
        {"platform", "native"},
        {"level", level},
        {"sdk", sdk},
        {"release", "quorvane@" + context.version},
        {"environment", "production"},
        {"contexts", {{"os", os}}},
    };
}

} // namespace

SentryEvent::SentryEvent(std::string eventId, std::string payload, std::string sdkVersion)
    : eventId_(std::move(eventId))
    , payload_(std::move(payload))
    , sdkVersion_(std::move(sdkVersion)) {}

SentryEvent SentryEvent::message(const std::string& text, const SentryEventContext& context,
                                 Clock::time_point timestamp) {
    auto eventId = Uuid::random().compactLowercase();
    auto event = baseEvent(eventId, "info", context, timestamp);
    event["logentry"] = {{"formatted", text}};
    return SentryEvent(std::move(eventId), compact(event), context.version);
}

SentryEvent SentryEvent::error(const SentryError& error, const SentryEventContext& context,
                               Clock::time_point timestamp) {
    auto eventId = Uuid::random().compactLowercase();
    auto event = baseEvent(eventId, "error", context, timestamp);
    const json exception = {
        {"type", error.type},
        {"value", error.value},
        {"mechanism", {{"type", "generic"}, {"handled", true}}},
    };
    event["exception"] = {{"values", json::array({exception})}};
    return SentryEvent(std::move(eventId), compact(event), context.version);
}

std::string SentryEvent::envelope(Clock::time_point sentAt) const {
    const json header = {
        {"event_id", eventId_},
        {"sent_at", rfc3339(sentAt)},
        {"sdk", sdkDescription(sdkVersion_)},
    };
    const json item = {
        {"type", "event"},
        {"length", payload_.size()},
        {"content_type", "application/json"},
    };
    return compact(header) + "\n" + compact(item) + "\n" + payload_;
}

std::string SentryEvent::rfc3339(Clock::time_point time) {
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    auto seconds = static_cast<std::time_t>(milliseconds / 1000);
    auto remainder = milliseconds % 1000;
    if (remainder < 0) {
        remainder += 1000;
        --seconds;
    }
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                  static_cast<int>(remainder));
    return text;
}

} // namespace quorvane
