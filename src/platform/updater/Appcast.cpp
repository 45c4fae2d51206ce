#include "Appcast.h"

#include "VersionComparator.h"

#include <pugixml.hpp>

#include <cctype>
#include <cstring>
#include <string>

namespace quorvane {

namespace {

struct QualifiedName {
    std::string_view prefix;
    std::string_view local;
};

QualifiedName splitName(const char* name) {
    const std::string_view text(name);
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return {{}, text};
    }
    return {text.substr(0, colon), text.substr(colon + 1)};
}

// The namespace a prefix stands for at this node, from the nearest declaration.
std::string_view namespaceOf(pugi::xml_node node, std::string_view prefix) {
    const std::string attribute = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
    for (; node; node = node.parent()) {
        if (const auto declaration = node.attribute(attribute.c_str())) {
            return declaration.value();
        }
    }
    return {};
}

bool isSparkleElement(const pugi::xml_node& node, std::string_view local) {
    const auto name = splitName(node.name());
    return name.local == local && namespaceOf(node, name.prefix) == Appcast::sparkleNamespace;
}

// Unprefixed attributes belong to no namespace, so only prefixed ones can be
// the updater's.
std::optional<std::string> sparkleAttribute(const pugi::xml_node& node, std::string_view local) {
    for (const auto& attribute : node.attributes()) {
        const auto name = splitName(attribute.name());
        if (!name.prefix.empty() && name.prefix != "xmlns" && name.local == local &&
            namespaceOf(node, name.prefix) == Appcast::sparkleNamespace) {
            return std::string(attribute.value());
        }
    }
    return std::nullopt;
}

// XML's own white space: space, tab, carriage return and line feed.
std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string trimmedText(const pugi::xml_node& node) {
    return std::string(trimmed(node.text().get()));
}

std::optional<std::string> sparkleChildText(const pugi::xml_node& item, std::string_view local) {
    for (const auto& child : item.children()) {
        if (child.type() == pugi::node_element && isSparkleElement(child, local)) {
            return trimmedText(child);
        }
    }
    return std::nullopt;
}

// The enclosure's attribute first, as feeds usually carry it there, then the
// item's element.
std::optional<std::string> sparkleValue(const pugi::xml_node& item, const pugi::xml_node& enclosure,
                                        std::string_view local) {
    auto value = sparkleAttribute(enclosure, local);
    if (!value || value->empty()) {
        value = sparkleChildText(item, local);
    }
    if (!value || value->empty()) {
        return std::nullopt;
    }
    return value;
}

// Feeds written by hand often carry file names with raw spaces, which are not
// valid in a URL; encoding them keeps the release instead of losing it.
std::string spacesEncoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == ' ') {
            out += "%20";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::optional<std::string> webLink(std::string_view reference, const Url& feedUrl) {
    // An empty reference would stand for the feed itself.
    reference = trimmed(reference);
    if (reference.empty()) {
        return std::nullopt;
    }
    const auto resolved = feedUrl.resolved(spacesEncoded(reference));
    if (!resolved || !Appcast::isWebUrl(*resolved)) {
        return std::nullopt;
    }
    return resolved->text();
}

std::string lowercased(std::string_view text) {
    std::string out(text);
    for (auto& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// This program follows no release channel, so an item on one (a beta, say)
// is never offered; nor is a build for another system.
bool isOffered(const pugi::xml_node& item, const pugi::xml_node& enclosure) {
    if (sparkleChildText(item, "channel")) {
        return false;
    }
    const auto os = sparkleValue(item, enclosure, "os");
    return !os || lowercased(trimmed(*os)) == "linux";
}

std::optional<AppcastItem> readItem(const pugi::xml_node& item, const Url& feedUrl) {
    const auto enclosure = item.child("enclosure");
    if (!enclosure || !isOffered(item, enclosure)) {
        return std::nullopt;
    }
    AppcastItem result;
    auto download = webLink(enclosure.attribute("url").value(), feedUrl);
    auto version = sparkleValue(item, enclosure, "version");
    if (!download || !version) {
        return std::nullopt;
    }
    result.downloadUrl = std::move(*download);
    result.version = std::move(*version);
    result.shortVersionString = sparkleValue(item, enclosure, "shortVersionString");
    if (const auto notes = sparkleChildText(item, "releaseNotesLink")) {
        result.releaseNotesUrl = webLink(*notes, feedUrl);
    }
    result.title = trimmedText(item.child("title"));
    return result;
}

} // namespace

std::optional<std::vector<AppcastItem>> Appcast::parse(std::string_view xml, const Url& feedUrl) {
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), xml.size())) {
        return std::nullopt;
    }
    const auto rss = document.document_element();
    const auto channel = rss.child("channel");
    if (std::strcmp(rss.name(), "rss") != 0 || !channel) {
        return std::nullopt;
    }
    std::vector<AppcastItem> items;
    for (const auto& item : channel.children("item")) {
        if (auto parsed = readItem(item, feedUrl)) {
            items.push_back(std::move(*parsed));
        }
    }
    return items;
}

std::optional<AppcastItem> Appcast::newest(const std::vector<AppcastItem>& items) {
    const AppcastItem* best = nullptr;
    for (const auto& item : items) {
        if (!best || VersionComparator::compare(item.version, best->version) > 0) {
            best = &item;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return *best;
}

bool Appcast::isWebUrl(const Url& url) {
    const auto scheme = url.scheme();
    return scheme == "http" || scheme == "https";
}

} // namespace quorvane
