#include "PropertyList.h"

#include <pugixml.hpp>

#include <cstring>
#include <fstream>
#include <iterator>

namespace quorvane {

namespace {

bool isValueElement(const pugi::xml_node& node) {
    static constexpr const char* kinds[] = {"string", "integer", "real",  "true", "false",
                                            "date",   "data",    "array", "dict"};
    for (const char* kind : kinds) {
        if (std::strcmp(node.name(), kind) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<PropertyList> PropertyList::readDictionary(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;
    }
    try {
        std::ifstream input(file, std::ios::binary);
        if (!input) {
            return std::nullopt;
        }
        const std::string xml{std::istreambuf_iterator<char>(input),
                              std::istreambuf_iterator<char>()};
        return parseDictionary(xml);
    } catch (const std::ios_base::failure&) {
        // The stream library reports read errors by throwing.
        return std::nullopt;
    }
}

std::optional<PropertyList> PropertyList::parseDictionary(std::string_view xml) {
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), xml.size())) {
        return std::nullopt;
    }
    const auto root = document.document_element();
    if (std::strcmp(root.name(), "plist") != 0) {
        return std::nullopt;
    }
    const auto dict = root.first_element_by_path("dict");
    if (!dict) {
        return std::nullopt;
    }
    PropertyList list;
    std::optional<std::string> pendingKey;
    for (const auto& child : dict.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        if (std::strcmp(child.name(), "key") == 0) {
            if (pendingKey) {
                return std::nullopt;
            }
            pendingKey = child.text().get();
            continue;
        }
        if (!pendingKey || !isValueElement(child)) {
            return std::nullopt;
        }
        std::optional<std::string> text;
        if (std::strcmp(child.name(), "string") == 0) {
            text = child.text().get();
        }
        // The first occurrence of a repeated key wins.
        list.values_.emplace(std::move(*pendingKey), std::move(text));
        pendingKey.reset();
    }
    if (pendingKey) {
        return std::nullopt;
    }
    return list;
}

bool PropertyList::contains(std::string_view key) const {
    return values_.find(key) != values_.end();
}

std::optional<std::string> PropertyList::string(std::string_view key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace quorvane
