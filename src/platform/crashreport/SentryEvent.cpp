#include "SentryEvent.h"

#include "platform/uuid/Uuid.h"

#include <nlohmann/json.hpp>

#include <algorithm>
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

std::string hexAddress(std::uint64_t address) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(address));
    return text;
}

json debugImages(const std::vector<CrashImage>& images) {
    auto list = json::array();
    for (const auto& image : images) {
        // Without a build id the service cannot match the image to its symbols.
        if (image.buildId.empty()) {
            continue;
        }
        list.push_back({
            {"type", "elf"},
            {"code_file", image.path},
            {"code_id", image.buildId},
            {"debug_id", SentryEvent::debugId(image.buildId)},
            {"image_addr", hexAddress(image.address)},
            {"image_size", image.size},
        });
    }
    return list;
}

json crashException(const CrashRecord& record) {
    const std::string name(CrashRecord::signalName(record.signal).value_or("SIGNAL"));
    auto frames = json::array();
    // The service lists frames from the outermost caller to the crashing one.
    for (auto frame = record.frames.rbegin(); frame != record.frames.rend(); ++frame) {
        frames.push_back({{"instruction_addr", hexAddress(*frame)}});
    }
    return {
        {"type", name},
        {"value", std::string(CrashRecord::signalDescription(record.signal))},
        {"mechanism",
         {{"type", "signalhandler"},
          {"handled", false},
          {"synthetic", true},
          {"meta", {{"signal", {{"number", record.signal}, {"name", name}}}}}}},
        {"stacktrace", {{"frames", frames}}},
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

SentryEvent SentryEvent::crash(const CrashRecord& record, const SentryEventContext& context) {
    auto eventId = Uuid::random().compactLowercase();
    auto event = baseEvent(eventId, "fatal", context, record.time);
    event["release"] = "quorvane@" + record.release;
    event["exception"] = {{"values", json::array({crashException(record)})}};
    event["debug_meta"] = {{"images", debugImages(record.images)}};
    return SentryEvent(std::move(eventId), compact(event), context.version);
}

std::string SentryEvent::debugId(std::string_view buildId) {
    std::string bytes(32, '0');
    std::copy_n(buildId.begin(), std::min<std::size_t>(buildId.size(), 32), bytes.begin());
    const auto byte = [&bytes](int index) {
        return bytes.substr(static_cast<std::size_t>(index) * 2, 2);
    };
    std::string id;
    for (const int index : {3, 2, 1, 0, -1, 5, 4, -1, 7, 6, -1, 8, 9, -1, 10, 11, 12, 13, 14, 15}) {
        id += index < 0 ? std::string("-") : byte(index);
    }
    return id;
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
