#include "CustomPreset.h"

#include "JsonCoding.h"

namespace quorvane {

namespace {

using namespace JsonCoding;

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
    return JsonCoding::encodeList(presets, encodePreset);
}

CustomPreset::DecodedList CustomPreset::decodeList(std::string_view json) {
    auto decoded = JsonCoding::decodeEach<CustomPreset>(json, decodePreset);
    return {std::move(decoded.values), decoded.whole};
}

} // namespace quorvane
