// Where the user's files go, after the XDG base-directory rules. A home comes
// from $HOME when it is an absolute path, else from the password database;
// there is never a fallback to a shared folder such as /tmp, where another
// local user could plant files. Nothing means there is no place at all.
#pragma once

#include <filesystem>
#include <optional>

namespace quorvane::UserDirectories {

std::optional<std::filesystem::path> home();
// $XDG_CONFIG_HOME when absolute, else ~/.config.
std::optional<std::filesystem::path> configHome();
// $XDG_DATA_HOME when absolute, else ~/.local/share.
std::optional<std::filesystem::path> dataHome();
// $XDG_STATE_HOME when absolute, else ~/.local/state.
std::optional<std::filesystem::path> stateHome();

} // namespace quorvane::UserDirectories
