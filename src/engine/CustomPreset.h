#pragma once

#include "ImagePromptStructure.h"
#include "Preset.h"
#include "platform/uuid/Uuid.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// A preset of the user's own; its instructions stand in for a meta-prompt.
struct CustomPreset {
    Uuid id;
    std::string name;
    std::string instructions;
    std::optional<ImagePromptStructure> structuredPrompt;
    // The built-in preset it was cloned from.
    std::optional<std::string> basePresetRawValue;

    bool operator==(const CustomPreset&) const = default;

    // A new preset with a fresh id, named "Custom " + the preset's label; image
    // and video presets start with an empty image structure.
    static CustomPreset cloning(Preset preset, std::string instructions);

    // The JSON array of the list; nothing when a text is not valid UTF-8.
    static std::optional<std::string> encodeList(const std::vector<CustomPreset>& presets);
    // Every element of the JSON array that decodes, in order, and whether all did.
    struct DecodedList {
        std::vector<CustomPreset> presets;
        bool whole = true;
    };
    static DecodedList decodeList(std::string_view json);
};

} // namespace quorvane
