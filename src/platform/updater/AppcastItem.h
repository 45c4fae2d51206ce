#pragma once

#include <optional>
#include <string>

namespace quorvane {

// One release offered by the update feed. The links are absolute http or
// https URLs.
struct AppcastItem {
    std::string title;
    // The build number, compared with the running program's "CFBundleVersion".
    std::string version;
    // The version shown to people ("1.2"), when the feed names one.
    std::optional<std::string> shortVersionString;
    std::string downloadUrl;
    std::optional<std::string> releaseNotesUrl;

    const std::string& displayVersion() const {
        return shortVersionString ? *shortVersionString : version;
    }

    bool operator==(const AppcastItem&) const = default;
};

} // namespace quorvane
