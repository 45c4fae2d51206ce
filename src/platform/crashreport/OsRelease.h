#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

// The operating system's name and version from an os-release file.
struct OsRelease {
    std::string name = "Linux";
    std::string version;

    // NAME and VERSION_ID (VERSION when VERSION_ID is missing). A missing
    // /etc/os-release falls back to /usr/lib/os-release; an unreadable file
    // gives the defaults.
    static OsRelease read(const std::filesystem::path& file = "/etc/os-release");
    static OsRelease parse(const std::string& text);
};

} // namespace quorvane
