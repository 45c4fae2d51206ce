#include "OsRelease.h"

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace quorvane {

namespace {

// Values may be bare, single-quoted or double-quoted with backslash escapes,
// as in shell assignments.
std::string unquoted(const std::string& value) {
    if (value.size() < 2) {
        return value;
    }
    const char quote = value.front();
    if ((quote != '"' && quote != '\'') || value.back() != quote) {
        return value;
    }
    std::string out;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        if (quote == '"' && value[i] == '\\' && i + 2 < value.size()) {
            ++i;
        }
        out.push_back(value[i]);
    }
    return out;
}

} // namespace

OsRelease OsRelease::parse(const std::string& text) {
    std::map<std::string, std::string> fields;
    std::istringstream input(text);
    std::string line;
    while (std::getline(input, line)) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        fields[line.substr(0, equals)] = unquoted(line.substr(equals + 1));
    }
    OsRelease release;
    if (const auto name = fields.find("NAME"); name != fields.end() && !name->second.empty()) {
        release.name = name->second;
    }
    if (const auto id = fields.find("VERSION_ID"); id != fields.end()) {
        release.version = id->second;
    } else if (const auto version = fields.find("VERSION"); version != fields.end()) {
        release.version = version->second;
    }
    return release;
}

OsRelease OsRelease::read(const std::filesystem::path& file) {
    try {
        std::ifstream input(file);
        if (!input && file == "/etc/os-release") {
            input.open("/usr/lib/os-release");
        }
        if (!input) {
            return {};
        }
        return parse(
            std::string(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()));
    } catch (const std::ios_base::failure&) {
        // The stream library reports read errors (a folder, say) by throwing.
        return {};
    }
}

} // namespace quorvane
