#pragma once

#include "engine/EnumTraits.h"

#include <string_view>

namespace quorvane {

// The six in-app actions that have a keyboard shortcut. The raw values double as display labels.
enum class AppShortcutAction { enhance, regenerate, backToDraft, clear, history, settings };

template <>
struct EnumTraits<AppShortcutAction> {
    static constexpr std::array<std::pair<AppShortcutAction, std::string_view>, 6> cases{{
        {AppShortcutAction::enhance, "Enhance"},
        {AppShortcutAction::regenerate, "Regenerate"},
        {AppShortcutAction::backToDraft, "BackToDraft"},
        {AppShortcutAction::clear, "Clear"},
        {AppShortcutAction::history, "History"},
        {AppShortcutAction::settings, "Settings"},
    }};
};

} // namespace quorvane
