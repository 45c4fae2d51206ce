#pragma once

#include "AppShortcutAction.h"
#include "HotkeyConfig.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// The six in-app shortcuts. A default-constructed value holds the built-in ones, all with command.
struct AppShortcuts {
    HotkeyConfig enhance{36, HotkeyConfig::commandModifier, "↩"};
    HotkeyConfig regenerate{15, HotkeyConfig::commandModifier, "R"};
    HotkeyConfig backToDraft{33, HotkeyConfig::commandModifier, "["};
    HotkeyConfig clear{40, HotkeyConfig::commandModifier, "K"};
    HotkeyConfig history{4, HotkeyConfig::commandModifier, "H"};
    HotkeyConfig settings{43, HotkeyConfig::commandModifier, ","};

    bool operator==(const AppShortcuts&) const = default;

    static AppShortcuts builtIn() { return {}; }

    // The field of the same name as the action.
    const HotkeyConfig& shortcut(AppShortcutAction action) const;
    HotkeyConfig& shortcut(AppShortcutAction action);

    // A JSON object with one HotkeyConfig member per action ("enhance", "regenerate",
    // "backToDraft", "clear", "history", "settings"); nothing when one of them cannot be encoded.
    std::optional<std::string> encoded() const;
    // All six members are required, each complete.
    static std::optional<AppShortcuts> decoded(std::string_view json);
};

} // namespace quorvane
