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
    // The scheme in lower case.
    std::string scheme() const;
    // The host as written, without the brackets of an IPv6 literal.
    std::string host() const;
    std::optional<int> port() const;
    // The path as written (percent escapes kept), empty when there is none.
    std::string path() const;

    // This URL with one more path component: "https://h/v1" + "chat/completions"
    // gives "https://h/v1/chat/completions"; a trailing slash is not doubled and
    // query and fragment stay behind the path.
    // One leading slash of the component is dropped; spaces, control
    // characters, "?" and "#" in it are percent-encoded so that the result
    // stays one valid URL.
    Url appendingPathComponent(std::string_view component) const;

    // The reference resolved against this URL as its base, the way a link in
    // a document at this URL is followed: "../a?b" and "/x" are relative to
    // this URL, an absolute reference stands for itself, and dot segments are
    // removed. Nothing when the result is not an absolute URL with a host.
    std::optional<Url> resolved(std::string_view reference) const;

    bool operator==(const Url&) const = default;

private:
    explicit Url(std::string text)
        : text_(std::move(text)) {}

    std::string text_;
};

} // namespace quorvane
