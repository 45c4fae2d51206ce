#include "JsonCoding.h"

namespace quorvane::JsonCoding {

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
    const auto positive = requiredString(*member, "positive");
    const auto negative = requiredString(*member, "negative");
    if (!positive || !negative) {
        return false;
    }
    out = ImagePromptStructure{*positive, *negative};
    return true;
}

std::optional<std::string> requiredString(const Json& object, const char* key) {
    const auto member = object.find(key);
    if (member == object.end() || !member->is_string()) {
        return std::nullopt;
    }
    return member->get<std::string>();
}

OrderedJson encodeStructure(const ImagePromptStructure& structure) {
    return {{"positive", structure.positive}, {"negative", structure.negative}};
}

} // namespace quorvane::JsonCoding
