// JSON coding shared by the engine's stored values. Internal to the engine:
// include it only from .cpp files, so the JSON library stays out of the
// public headers.
#pragma once

#include "ImagePromptStructure.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::JsonCoding {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

// A member that is absent or null reads as absent; one of another type fails.
bool readOptionalString(const Json& object, const char* key, std::optional<std::string>& out);
bool readOptionalStructure(const Json& object, const char* key,
                           std::optional<ImagePromptStructure>& out);
std::optional<std::string> requiredString(const Json& object, const char* key);

OrderedJson encodeStructure(const ImagePromptStructure& structure);

// The whole list as compact JSON text; nothing when a value cannot be encoded.
template <typename Value, typename Encode>
std::optional<std::string> encodeList(const std::vector<Value>& values, Encode encode) {
    OrderedJson array = OrderedJson::array();
    for (const auto& value : values) {
        array.push_back(encode(value));
    }
    try {
        return array.dump();
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

// All or nothing: one element that does not decode rejects the whole list.
template <typename Value, typename Decode>
std::optional<std::vector<Value>> decodeList(std::string_view json, Decode decode) {
    const Json parsed = Json::parse(json, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_array()) {
        return std::nullopt;
    }
    std::vector<Value> result;
    result.reserve(parsed.size());
    for (const auto& element : parsed) {
        std::optional<Value> decoded = decode(element);
        if (!decoded) {
            return std::nullopt;
        }
        result.push_back(std::move(*decoded));
    }
    return result;
}

// Every element that decodes, in order, and whether all of them did (false too
// for text that is not a JSON array).
template <typename Value>
struct Decoded {
    std::vector<Value> values;
    bool whole = true;
};

template <typename Value, typename Decode>
Decoded<Value> decodeEach(std::string_view json, Decode decode) {
    const Json parsed = Json::parse(json, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_array()) {
        return {{}, false};
    }
    Decoded<Value> result;
    result.values.reserve(parsed.size());
    for (const auto& element : parsed) {
        if (std::optional<Value> decoded = decode(element)) {
            result.values.push_back(std::move(*decoded));
        } else {
            result.whole = false;
        }
    }
    return result;
}

} // namespace quorvane::JsonCoding
