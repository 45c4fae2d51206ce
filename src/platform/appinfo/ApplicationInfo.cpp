#include "ApplicationInfo.h"

#include "InfoDictionary.h"

#include <cstdlib>
#include <system_error>

namespace quorvane {

namespace {

std::filesystem::path defaultDataDirectory() {
    if (const char* overridden = std::getenv("QUORVANE_DATA_DIR");
        overridden && overridden[0] != '\0') {
        return overridden;
    }
    return std::filesystem::path(InfoDictionary::installedDataDirectory());
}

} // namespace

ApplicationInfo::ApplicationInfo()
    : ApplicationInfo(defaultDataDirectory()) {}

ApplicationInfo::ApplicationInfo(std::filesystem::path dataDirectory)
    : dataDirectory_(std::move(dataDirectory)) {}

std::optional<std::string> ApplicationInfo::infoValue(std::string_view key) const {
    const auto& entries = InfoDictionary::entries();
    const auto found = entries.find(key);
    if (found == entries.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::string ApplicationInfo::shortVersionString() const {
    return infoValue("CFBundleShortVersionString").value_or("");
}

std::string ApplicationInfo::bundleVersion() const {
    return infoValue("CFBundleVersion").value_or("");
}

std::optional<std::filesystem::path> ApplicationInfo::pathForResource(std::string_view name,
                                                                      std::string_view type) const {
    if (name.empty() || name.find('/') != std::string_view::npos ||
        type.find('/') != std::string_view::npos) {
        return std::nullopt;
    }
    auto file = dataDirectory_ / std::string(name);
    if (!type.empty()) {
        file += ".";
        file += std::string(type);
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;
    }
    return file;
}

} // namespace quorvane
