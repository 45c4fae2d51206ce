// What the program knows about itself: its information dictionary (version,
// build number, crash-report endpoint, update feed) and its read-only data
// files, installed under <prefix>/share/quorvane.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

class ApplicationInfo {
public:
    // The data directory is $QUORVANE_DATA_DIR when it is set and not empty
    // (tests, and running from a build tree), else the installed one.
    ApplicationInfo();
    explicit ApplicationInfo(std::filesystem::path dataDirectory);

    // The value under a key of the information dictionary; nothing for an
    // unknown key. Values the build leaves unset are present and empty.
    std::optional<std::string> infoValue(std::string_view key) const;

    std::string shortVersionString() const;
    std::string bundleVersion() const;

    // <data directory>/<name>.<type> when that file exists.
    std::optional<std::filesystem::path> pathForResource(std::string_view name,
                                                         std::string_view type) const;

    const std::filesystem::path& dataDirectory() const { return dataDirectory_; }

private:
    std::filesystem::path dataDirectory_;
};

} // namespace quorvane
