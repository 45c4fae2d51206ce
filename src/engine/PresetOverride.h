#pragma once

#include "ImagePromptStructure.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The user's replacement instructions for one built-in preset, identified by
// the preset's raw value. Only an active override is used.
struct PresetOverride {
    std::string presetRawValue;
    std::optional<std::string> customInstructions;
    std::optional<ImagePromptStructure> imageStructure;
    bool isActive = false;

    bool operator==(const PresetOverride&) const = default;

    // The JSON array of the list; nothing when a text is not valid UTF-8.
    static std::optional<std::string> encodeList(const std::vector<PresetOverride>& overrides);
    // All or nothing: one element that does not decode rejects the whole list.
    static std::optional<std::vector<PresetOverride>> decodeList(std::string_view json);
};

} // namespace quorvane
