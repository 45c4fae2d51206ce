#include "AppShortcuts.h"

#include <nlohmann/json.hpp>

#include <array>
#include <utility>

namespace quorvane {
namespace {

// JSON member names; these are the field names, not the actions' display labels.
constexpr std::array<std::pair<AppShortcutAction, const char*>, 6> memberNames{{
    {AppShortcutAction::enhance, "enhance"},
    {AppShortcutAction::regenerate, "regenerate"},
    {AppShortcutAction::backToDraft, "backToDraft"},
    {AppShortcutAction::clear, "clear"},
    {AppShortcutAction::history, "history"},
    {AppShortcutAction::settings, "settings"},
}};

} // namespace

const HotkeyConfig& AppShortcuts::shortcut(AppShortcutAction action) const {
    switch (action) {
    case AppShortcutAction::enhance:
        return enhance;
    case AppShortcutAction::regenerate:
        return regenerate;
    case AppShortcutAction::backToDraft:
        return backToDraft;
    case AppShortcutAction::clear:
        return clear;
    case AppShortcutAction::history:
        return history;
    case AppShortcutAction::settings:
        return settings;
    }
    return enhance;
}

HotkeyConfig& AppShortcuts::shortcut(AppShortcutAction action) {
    return const_cast<HotkeyConfig&>(std::as_const(*this).shortcut(action));
}

std::optional<std::string> AppShortcuts::encoded() const {
    // Each member is already a complete JSON object, so the outer object is spliced together.
    std::string json = "{";
    for (const auto& [action, name] : memberNames) {
        const auto member = shortcut(action).encoded();
        if (!member) {
            return std::nullopt;
        }
        if (json.size() > 1) {
            json += ',';
        }
        json += '"';
        json += name;
        json += "\":";
        json += *member;
    }
    return json + "}";
}

std::optional<AppShortcuts> AppShortcuts::decoded(std::string_view json) {
    const auto object = nlohmann::json::parse(json, nullptr, false);
    if (!object.is_object()) {
        return std::nullopt;
    }
    AppShortcuts result;
    for (const auto& [action, name] : memberNames) {
        const auto member = object.find(name);
        if (member == object.end()) {
            return std::nullopt;
        }
        const auto config = HotkeyConfig::decoded(member->dump());
        if (!config) {
            return std::nullopt;
        }
        result.shortcut(action) = *config;
    }
    return result;
}

} // namespace quorvane
