#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

// The running system's name for people, os-release's PRETTY_NAME ("Debian
// GNU/Linux 12 (bookworm)"), for the diagnostics report.
class OperatingSystemName {
public:
    // A missing /etc/os-release falls back to /usr/lib/os-release; no readable
    // file gives "Linux".
    static std::string read(const std::filesystem::path& file = "/etc/os-release");

    // PRETTY_NAME when set, else NAME and the version.
    static std::string parse(const std::string& text);
};

} // namespace quorvane
