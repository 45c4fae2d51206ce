// JSON for what the providers send and receive. The library's DOM is
// recursive in places (copy, compare, dump), so a hostile body nested a
// hundred thousand levels deep could exhaust the stack; parse() refuses
// anything nested deeper than maxDepth before a DOM is built.
//
// Internal to the engine: nlohmann-json is a private dependency, so only the
// engine's own sources include this header.
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

class NetworkJson {
public:
    static constexpr std::size_t maxDepth = 512;

    // Whether arrays and objects in the text nest deeper than maxDepth.
    static bool nestsTooDeeply(std::string_view text);

    // The parsed value, or nothing for text that is not one complete JSON
    // value (malformed, truncated, ill-formed UTF-8) or nests too deeply.
    static std::optional<nlohmann::json> parse(std::string_view text);

    // The member as text, or null when the value is not an object or the
    // member is absent or not a string.
    static const std::string* stringMember(const nlohmann::json& object, const char* name);

    // The text as a JSON string literal, quotes included, for writing request
    // bodies without building a DOM first. Ill-formed UTF-8 (a draft pasted
    // from anywhere) becomes U+FFFD instead of an exception from the library.
    static std::string quoted(std::string_view text);
    // The same literal added to the end of out, which saves a copy when a
    // request body is written piece by piece.
    static void appendQuoted(std::string& out, std::string_view text);
};

} // namespace quorvane
