#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// An absolute URL (scheme, authority, optional path, query and fragment),
// kept as its validated text.
class Url {
public:
    // Nothing when the text is not an absolute URL with a scheme and a host,
    // or holds white space or control characters.
    static std::optional<Url> parse(std::string_view text);

    const std::string& text() const { return text_; }
    std::string scheme() const;
    std::string host() const;
    std::optional<int> port() const;
    std::string path() const;

    // This URL with one more path component: "https://h/v1" + "chat/completions"
    // gives "https://h/v1/chat/completions"; a trailing slash is not doubled and
    // query and fragment stay behind the path.
    Url appendingPathComponent(std::string_view component) const;

    bool operator==(const Url&) const = default;

private:
    explicit Url(std::string text) : text_(std::move(text)) {}

    std::string text_;
};

} // namespace quorvane
