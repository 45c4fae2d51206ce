#include "CustomPreset.h"

#include <nlohmann/json.hpp>

namespace quorvane {

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

// A member that is absent or null reads as absent; one of another type fails.
bool readOptionalString(const Json& object, const char* key, std::optional<std::string>& out) {
    const auto member = object.find(key);
    if (member == object.end() || member->is_null()) {
        return true;
    }
    if (!member->is_string()) {
        return false;
    }
    out = member->get<std::string>();
    return true;
}

bool readOptionalStructure(const Json& object, const char* key,
                           std::optional<ImagePromptStructure>& out) {
    const auto member = object.find(key);
    if (member == object.end() || member->is_null()) {
        return true;
    }
    if (!member->is_object()) {
        return false;
    }
    const auto positive = member->find("positive");
    const auto negative = member->find("negative");
    if (positive == member->end() || !positive->is_string() || negative == member->end() ||
        !negative->is_string()) {
        return false;
    }
    out = ImagePromptStructure{positive->get<std::string>(), negative->get<std::string>()};
    return true;
}

std::optional<std::string> requiredString(const Json& object, const char* key) {
    const auto member = object.find(key);
    if (member == object.end() || !member->is_string()) {
        return std::nullopt;
    }
    return member->get<std::string>();
}

std::optional<CustomPreset> decodePreset(const Json& element) {
    if (!element.is_object()) {
        return std::nullopt;
    }
    const auto idText = requiredString(element, "id");
    const auto id = idText ? Uuid::parse(*idText) : std::nullopt;
    auto name = requiredString(element, "name");
    auto instructions = requiredString(element, "instructions");
    if (!id || !name || !instructions) {
        return std::nullopt;
    }
    CustomPreset result{*id, std::move(*name), std::move(*instructions), std::nullopt,
                        std::nullopt};
    if (!readOptionalStructure(element, "structuredPrompt", result.structuredPrompt) ||
        !readOptionalString(element, "basePresetRawValue", result.basePresetRawValue)) {
        return std::nullopt;
    }
    return result;
}

OrderedJson encodePreset(const CustomPreset& preset) {
    OrderedJson object = OrderedJson::object();
    object["id"] = preset.id.uuidString();
    object["name"] = preset.name;
    object["instructions"] = preset.instructions;
    if (preset.structuredPrompt) {
        object["structuredPrompt"] = {{"positive", preset.structuredPrompt->positive},
                                      {"negative", preset.structuredPrompt->negative}};
    }
    if (preset.basePresetRawValue) {
        object["basePresetRawValue"] = *preset.basePresetRawValue;
    }
    return object;
}

} // namespace

CustomPreset CustomPreset::cloning(Preset preset, std::string instructions) {
    std::optional<ImagePromptStructure> structure;
    if (preset == Preset::imageGen || preset == Preset::video) {
        structure = ImagePromptStructure{};
    }
    return CustomPreset{Uuid::random(), "Custom " + std::string(label(preset)),
                        std::move(instructions), structure, std::string(rawValue(preset))};
}

std::optional<std::string> CustomPreset::encodeList(const std::vector<CustomPreset>& presets) {
    OrderedJson array = OrderedJson::array();
    for (const auto& preset : presets) {
        array.push_back(encodePreset(preset));
    }
    try {
        return array.dump();
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

std::optional<std::vector<CustomPreset>> CustomPreset::decodeList(std::string_view json) {
    const Json parsed = Json::parse(json, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_array()) {
        return std::nullopt;
    }
    std::vector<CustomPreset> result;
    result.reserve(parsed.size());
    for (const auto& element : parsed) {
        auto decoded = decodePreset(element);
        if (!decoded) {
            return std::nullopt;
        }
        result.push_back(std::move(*decoded));
    }
    return result;
}

} // namespace quorvane
