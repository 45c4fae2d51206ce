// Reads an XML property list whose root is a dictionary, the format of the
// "Sentry" resource. Only what the program looks up is kept: which keys exist
// and the text of those whose value is a <string>.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

class PropertyList {
public:
    // Nothing when the file cannot be read, is not an XML property list, or its
    // root is not a well-formed dictionary.
    static std::optional<PropertyList> readDictionary(const std::filesystem::path& file);
    static std::optional<PropertyList> parseDictionary(std::string_view xml);

    bool contains(std::string_view key) const;
    // The value under the key when it is a string; nothing for other types.
    std::optional<std::string> string(std::string_view key) const;

private:
    // A key without text holds a value of another type.
    std::map<std::string, std::optional<std::string>, std::less<>> values_;
};

} // namespace quorvane
