#include "PresetOverride.h"

#include "JsonCoding.h"

namespace quorvane {

namespace {

using namespace JsonCoding;

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
    return JsonCoding::encodeList(overrides, encodeOverride);
}

std::optional<std::vector<PresetOverride>> PresetOverride::decodeList(std::string_view json) {
    return JsonCoding::decodeList<PresetOverride>(json, decodeOverride);
}

} // namespace quorvane
