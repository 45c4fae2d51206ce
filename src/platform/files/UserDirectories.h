// Where the user's files go, after the XDG base-directory rules. A home comes
// from $HOME when it is an absolute path, else from the password database;
// there is never a fallback to a shared folder such as /tmp, where another
// local user could plant files. Nothing means there is no place at all.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace quorvane::UserDirectories {

// What the password database holds for a user; a text it lacks is empty.
struct PasswordEntry {
    std::string name;
    std::string homeFolder;
};

// Nothing when the database has no entry for the user or cannot be read.
std::optional<PasswordEntry> passwordEntry(uid_t user);

std::optional<std::filesystem::path> home();
// $XDG_CONFIG_HOME when absolute, else ~/.config.
std::optional<std::filesystem::path> configHome();
// $XDG_DATA_HOME when absolute, else ~/.local/share.
std::optional<std::filesystem::path> dataHome();
// $XDG_STATE_HOME when absolute, else ~/.local/state.
std::optional<std::filesystem::path> stateHome();

} // namespace quorvane::UserDirectories
