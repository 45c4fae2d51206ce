#include "OperatingSystemName.h"

#include "platform/crashreport/OsRelease.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace quorvane {

namespace {

constexpr std::string_view prettyNameKey = "PRETTY_NAME=";

std::optional<std::string> rawPrettyName(const std::string& text) {
    std::optional<std::string> found;
    std::istringstream input(text);
    std::string line;
    while (std::getline(input, line)) {
        if (line.starts_with(prettyNameKey)) {
            found = line.substr(prettyNameKey.size());
        }
    }
    return found;
}

} // namespace

std::string OperatingSystemName::parse(const std::string& text) {
    const auto raw = rawPrettyName(text);
    if (raw && !raw->empty() && *raw != "\"\"" && *raw != "''") {
        // OsRelease already knows the file's quoting rules; let it unquote the value.
        return OsRelease::parse("NAME=" + *raw + "\n").name;
    }
    const OsRelease release = OsRelease::parse(text);
    return release.version.empty() ? release.name : release.name + " " + release.version;
}

std::string OperatingSystemName::read(const std::filesystem::path& file) {
    std::ifstream input(file);
    if (!input && file == "/etc/os-release") {
        input.open("/usr/lib/os-release");
    }
    if (!input) {
        return OsRelease().name;
    }
    return parse(std::string(std::istreambuf_iterator<char>(input), {}));
}

} // namespace quorvane
