#include "HistoryItem.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <utility>

namespace quorvane {
namespace {

using Json = nlohmann::ordered_json;
using std::chrono::duration;

constexpr HistoryItem::Timestamp referenceDate{std::chrono::seconds{978307200}};

std::optional<std::string> stringMember(const Json& object, const char* name) {
    const auto member = object.find(name);
    if (member == object.end() || !member->is_string()) {
        return std::nullopt;
    }
    return member->get<std::string>();
}

template <typename Enum>
std::optional<Enum> enumMember(const Json& object, const char* name) {
    const auto text = stringMember(object, name);
    if (!text) {
        return std::nullopt;
    }
    return fromRawValue<Enum>(*text);
}

} // namespace

// Whole seconds and the fraction are converted apart: a nanosecond count of today's dates needs
// more bits than a double has, and converting it whole would blur even millisecond values.
double HistoryItem::secondsSinceReferenceDate(Timestamp timestamp) {
    const auto since = timestamp - referenceDate;
    const auto whole = std::chrono::floor<std::chrono::seconds>(since);
    const auto fraction = std::chrono::duration_cast<std::chrono::nanoseconds>(since - whole);
    return static_cast<double>(whole.count()) + static_cast<double>(fraction.count()) / 1e9;
}

std::optional<HistoryItem::Timestamp> HistoryItem::fromSecondsSinceReferenceDate(double seconds) {
    // A second's margin on both ends keeps the sum below from overflowing the tick count.
    const double earliest = duration<double>(Timestamp::duration::min()).count() + 1.0;
    const double latest = duration<double>(Timestamp::max() - referenceDate).count() - 1.0;
    if (!(seconds >= earliest && seconds <= latest)) {
        return std::nullopt;
    }
    const double whole = std::floor(seconds);
    const auto fraction = std::chrono::nanoseconds(std::llround((seconds - whole) * 1e9));
    return referenceDate + std::chrono::seconds(static_cast<std::int64_t>(whole)) +
           std::chrono::duration_cast<Timestamp::duration>(fraction);
}

std::optional<std::string> HistoryItem::encoded() const {
    Json object;
    object["id"] = id.uuidString();
    object["input"] = input;
    object["output"] = output;
    object["preset"] = rawValue(preset);
    object["provider"] = rawValue(provider);
    object["timestamp"] = secondsSinceReferenceDate(timestamp);
    try {
        return object.dump();
    } catch (const Json::exception&) {
        return std::nullopt;
    }
}

std::optional<HistoryItem> HistoryItem::decoded(std::string_view json) {
    const auto object = Json::parse(json, nullptr, false);
    if (!object.is_object()) {
        return std::nullopt;
    }
    const auto idText = stringMember(object, "id");
    const auto id = idText ? Uuid::parse(*idText) : std::nullopt;
    auto input = stringMember(object, "input");
    auto output = stringMember(object, "output");
    const auto preset = enumMember<Preset>(object, "preset");
    const auto provider = enumMember<ProviderID>(object, "provider");
    const auto seconds = object.find("timestamp");
    if (!id || !input || !output || !preset || !provider || seconds == object.end() ||
        !seconds->is_number()) {
        return std::nullopt;
    }
    const auto timestamp = fromSecondsSinceReferenceDate(seconds->get<double>());
    if (!timestamp) {
        return std::nullopt;
    }
    return HistoryItem{*id, std::move(*input), std::move(*output), *preset, *provider, *timestamp};
}

} // namespace quorvane
