#pragma once

#include "engine/Preset.h"
#include "engine/ProviderID.h"
#include "platform/uuid/Uuid.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// One finished enhancement, as the history keeps it.
struct HistoryItem {
    using Timestamp = std::chrono::system_clock::time_point;

    Uuid id;
    std::string input;
    std::string output;
    Preset preset = Preset::general;
    ProviderID provider = ProviderID::appleFoundation;
    Timestamp timestamp;

    bool operator==(const HistoryItem&) const = default;

    // Stored timestamps count seconds, with fraction, from 2001-01-01 00:00:00 UTC. A double keeps
    // about a tenth of a microsecond at present-day values, so a timestamp read back can differ
    // from the one written by that much.
    static double secondsSinceReferenceDate(Timestamp timestamp);
    // Nothing when the count is not finite or lies outside what a Timestamp can hold.
    static std::optional<Timestamp> fromSecondsSinceReferenceDate(double seconds);

    // A JSON object with the members "id", "input", "output", "preset", "provider" and
    // "timestamp" in that order; nothing when a text is not valid UTF-8.
    std::optional<std::string> encoded() const;
    // All six members are required; an unknown preset or provider rejects the item.
    static std::optional<HistoryItem> decoded(std::string_view json);
};

} // namespace quorvane
