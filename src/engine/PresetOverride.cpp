#include "PresetOverride.h"

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

std::optional<PresetOverride> decodeOverride(const Json& element) {
    if (!element.is_object()) {
        return std::nullopt;
    }
    const auto rawValue = element.find("presetRawValue");
    const auto isActive = element.find("isActive");
    if (rawValue == element.end() || !rawValue->is_string() || isActive == element.end() ||
        !isActive->is_boolean()) {
        return std::nullopt;
    }
    PresetOverride result;
    result.presetRawValue = rawValue->get<std::string>();
    result.isActive = isActive->get<bool>();
    if (!readOptionalString(element, "customInstructions", result.customInstructions) ||
        !readOptionalStructure(element, "imageStructure", result.imageStructure)) {
        return std::nullopt;
    }
    return result;
}

OrderedJson encodeOverride(const PresetOverride& item) {
    OrderedJson object = OrderedJson::object();
    object["presetRawValue"] = item.presetRawValue;
    if (item.customInstructions) {
        object["customInstructions"] = *item.customInstructions;
    }
    if (item.imageStructure) {
        object["imageStructure"] = {{"positive", item.imageStructure->positive},
                                    {"negative", item.imageStructure->negative}};
    }
    object["isActive"] = item.isActive;
    return object;
}

} // namespace

std::optional<std::string>
PresetOverride::encodeList(const std::vector<PresetOverride>& overrides) {
    OrderedJson array = OrderedJson::array();
    for (const auto& item : overrides) {
        array.push_back(encodeOverride(item));
    }
    try {
        return array.dump();
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

std::optional<std::vector<PresetOverride>> PresetOverride::decodeList(std::string_view json) {
    const Json parsed = Json::parse(json, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_array()) {
        return std::nullopt;
    }
    std::vector<PresetOverride> result;
    result.reserve(parsed.size());
    for (const auto& element : parsed) {
        auto decoded = decodeOverride(element);
        if (!decoded) {
            return std::nullopt;
        }
        result.push_back(std::move(*decoded));
    }
    return result;
}

} // namespace quorvane
