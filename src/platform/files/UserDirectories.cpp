#include "UserDirectories.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace quorvane::UserDirectories {

namespace {

std::optional<std::filesystem::path> absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value != '/') {
        return std::nullopt;
    }
    return std::filesystem::path(value);
}

std::optional<std::filesystem::path> underHome(const char* variable, const char* relative) {
    if (auto directory = absoluteVariable(variable)) {
        return directory;
    }
    if (auto directory = home()) {
        return *directory / relative;
    }
    return std::nullopt;
}

} // namespace

std::optional<PasswordEntry> passwordEntry(uid_t user) {
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    return PasswordEntry{found->pw_name != nullptr ? found->pw_name : "",
                         found->pw_dir != nullptr ? found->pw_dir : ""};
}

std::optional<std::filesystem::path> home() {
    if (auto directory = absoluteVariable("HOME")) {
        return directory;
    }
    const auto entry = passwordEntry(getuid());
    if (!entry || !entry->homeFolder.starts_with('/')) {
        return std::nullopt;
    }
    return std::filesystem::path(entry->homeFolder);
}

std::optional<std::filesystem::path> configHome() {
    return underHome("XDG_CONFIG_HOME", ".config");
}

std::optional<std::filesystem::path> dataHome() {
    return underHome("XDG_DATA_HOME", ".local/share");
}

std::optional<std::filesystem::path> stateHome() {
    return underHome("XDG_STATE_HOME", ".local/state");
}

} // namespace quorvane::UserDirectories
