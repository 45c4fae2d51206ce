#include "Url.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quorvane {

namespace {

// The pieces of a URL or of a relative reference. Absent and empty differ
// for authority, query and fragment ("http://h?" has an empty query).
struct Parts {
    std::optional<std::string> scheme;
    std::optional<std::string> authority;
    std::string path;
    std::optional<std::string> query;
    std::optional<std::string> fragment;
};

bool isSchemeStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool isSchemeCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

bool hasSpaceOrControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7f;
    });
}

// The scheme of the text when it starts with one followed by ":", else nothing.
std::optional<std::string_view> leadingScheme(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isSchemeStart(text[0])) {
        return std::nullopt;
    }
    const auto scheme = text.substr(0, colon);
    if (!std::all_of(scheme.begin(), scheme.end(), isSchemeCharacter)) {
        return std::nullopt;
    }
    return scheme;
}

// Splits a URI reference into its five components (RFC 3986, appendix B).
Parts split(std::string_view text) {
    Parts parts;
    if (const auto scheme = leadingScheme(text)) {
        parts.scheme = std::string(*scheme);
        text.remove_prefix(scheme->size() + 1);
    }
    if (const auto hash = text.find('#'); hash != std::string_view::npos) {
        parts.fragment = std::string(text.substr(hash + 1));
        text = text.substr(0, hash);
    }
    if (const auto question = text.find('?'); question != std::string_view::npos) {
        parts.query = std::string(text.substr(question + 1));
        text = text.substr(0, question);
    }
    if (text.starts_with("//")) {
        text.remove_prefix(2);
        const auto slash = text.find('/');
        parts.authority = std::string(text.substr(0, slash));
        text = slash == std::string_view::npos ? std::string_view{} : text.substr(slash);
    }
    parts.path = std::string(text);
    return parts;
}

std::string compose(const Parts& parts) {
    std::string text;
    if (parts.scheme) {
        text += *parts.scheme + ":";
    }
    if (parts.authority) {
        text += "//" + *parts.authority;
    }
    text += parts.path;
    if (parts.query) {
        text += "?" + *parts.query;
    }
    if (parts.fragment) {
        text += "#" + *parts.fragment;
    }
    return text;
}

// Drops "." and ".." segments (RFC 3986, 5.2.4).
std::string removeDotSegments(std::string_view input) {
    std::string output;
    while (!input.empty()) {
        if (input.starts_with("../")) {
            input.remove_prefix(3);
        } else if (input.starts_with("./")) {
            input.remove_prefix(2);
        } else if (input.starts_with("/./")) {
            input.remove_prefix(2);
        } else if (input == "/.") {
            input = "/";
        } else if (input.starts_with("/../") || input == "/..") {
            input = input.size() == 3 ? std::string_view("/") : input.substr(3);
            const auto last = output.rfind('/');
            output.erase(last == std::string::npos ? 0 : last);
        } else if (input == "." || input == "..") {
            input = {};
        } else {
            const auto next = input.find('/', 1);
            const auto segment = input.substr(0, next);
            output += segment;
            input.remove_prefix(segment.size());
        }
    }
    return output;
}

// The base's path with its last segment replaced by the reference path (5.2.3).
std::string mergePaths(const Parts& base, const std::string& referencePath) {
    if (base.authority && base.path.empty()) {
        return "/" + referencePath;
    }
    const auto slash = base.path.rfind('/');
    if (slash == std::string::npos) {
        return referencePath;
    }
    return base.path.substr(0, slash + 1) + referencePath;
}

// Resolves a reference against a base (RFC 3986, 5.2.2, strict form).
Parts resolve(const Parts& base, const Parts& reference) {
    Parts target;
    target.fragment = reference.fragment;
    if (reference.scheme) {
        target.scheme = reference.scheme;
        target.authority = reference.authority;
        target.path = removeDotSegments(reference.path);
        target.query = reference.query;
        return target;
    }
    target.scheme = base.scheme;
    if (reference.authority) {
        target.authority = reference.authority;
        target.path = removeDotSegments(reference.path);
        target.query = reference.query;
        return target;
    }
    target.authority = base.authority;
    if (reference.path.empty()) {
        target.path = base.path;
        target.query = reference.query ? reference.query : base.query;
        return target;
    }
    target.path = reference.path.starts_with('/')
                      ? removeDotSegments(reference.path)
                      : removeDotSegments(mergePaths(base, reference.path));
    target.query = reference.query;
    return target;
}

// Where the host sits inside an authority: after any user information, up to
// the port. The brackets of an IPv6 literal belong to the host here.
struct AuthorityLayout {
    std::string_view host;
    std::optional<std::string_view> port;
};

std::optional<AuthorityLayout> layoutOf(std::string_view authority) {
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    AuthorityLayout layout;
    std::string_view rest;
    if (authority.starts_with('[')) {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        layout.host = authority.substr(0, close + 1);
        rest = authority.substr(close + 1);
    } else {
        const auto colon = authority.find(':');
        layout.host = authority.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view{} : authority.substr(colon);
    }
    if (!rest.empty()) {
        if (rest[0] != ':') {
            return std::nullopt;
        }
        layout.port = rest.substr(1);
    }
    return layout;
}

bool isValidIPv6Literal(std::string_view host) {
    const auto inner = host.substr(1, host.size() - 2);
    return !inner.empty() && inner.find(':') != std::string_view::npos &&
           std::all_of(inner.begin(), inner.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '.';
           });
}

bool isValidRegisteredName(std::string_view host) {
    return !host.empty() && host.find_first_of("[]@\\") == std::string_view::npos;
}

std::optional<int> parsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        return std::nullopt;
    }
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (value < 1 || value > 65535) {
        return std::nullopt;
    }
    return value;
}

bool isValidAuthority(std::string_view authority) {
    const auto layout = layoutOf(authority);
    if (!layout) {
        return false;
    }
    const bool hostValid = layout->host.starts_with('[') ? isValidIPv6Literal(layout->host)
                                                         : isValidRegisteredName(layout->host);
    return hostValid && (!layout->port || parsePort(*layout->port));
}

std::string percentEncodedComponent(std::string_view component) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : component) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7f || c == '?' || c == '#') {
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 0x0f];
        } else {
            encoded += c;
        }
    }
    return encoded;
}

} // namespace

std::optional<Url> Url::parse(std::string_view text) {
    if (text.empty() || hasSpaceOrControl(text)) {
        return std::nullopt;
    }
    const auto scheme = leadingScheme(text);
    if (!scheme || text.substr(scheme->size()).substr(0, 3) != "://") {
        return std::nullopt;
    }
    const auto parts = split(text);
    if (!parts.authority || !isValidAuthority(*parts.authority)) {
        return std::nullopt;
    }
    return Url(std::string(text));
}

std::string Url::scheme() const {
    std::string scheme = *split(text_).scheme;
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return scheme;
}

std::string Url::host() const {
    const auto authority = *split(text_).authority;
    auto host = layoutOf(authority)->host;
    if (host.starts_with('[')) {
        host = host.substr(1, host.size() - 2);
    }
    return std::string(host);
}

std::optional<int> Url::port() const {
    const auto authority = *split(text_).authority;
    const auto layout = layoutOf(authority);
    return layout->port ? parsePort(*layout->port) : std::nullopt;
}

std::string Url::path() const {
    return split(text_).path;
}

Url Url::appendingPathComponent(std::string_view component) const {
    if (component.starts_with('/')) {
        component.remove_prefix(1);
    }
    if (component.empty()) {
        return *this;
    }
    // Every request builds its endpoint this way, so the text is spliced where the path ends
    // rather than split into parts and put together again. No scheme holds "?" or "#".
    const auto pathEnd = std::min(text_.find_first_of("?#"), text_.size());
    const std::string_view head = std::string_view(text_).substr(0, pathEnd);
    const std::string encoded = percentEncodedComponent(component);
    std::string text;
    text.reserve(text_.size() + encoded.size() + 1);
    text += head;
    if (!head.ends_with('/')) {
        text += '/';
    }
    text += encoded;
    text += std::string_view(text_).substr(pathEnd);
    return Url(std::move(text));
}

std::optional<Url> Url::resolved(std::string_view reference) const {
    if (hasSpaceOrControl(reference)) {
        return std::nullopt;
    }
    return parse(compose(resolve(split(text_), split(reference))));
}

} // namespace quorvane
