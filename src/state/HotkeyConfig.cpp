#include "HotkeyConfig.h"

#include "UnicodeScalar.h"
#include "VirtualKey.h"

#include <nlohmann/json.hpp>

#include <array>
#include <limits>
#include <utility>

namespace quorvane {
namespace {

using Json = nlohmann::ordered_json;

// Carbon modifier bits beside the event flags and glyphs they stand for, in display order.
struct ModifierRow {
    std::uint32_t carbon;
    std::uint64_t eventFlag;
    std::string_view glyph;
};

constexpr std::array<ModifierRow, 4> modifierRows{{
    {HotkeyConfig::controlModifier, ModifierFlag::control, "⌃"},
    {HotkeyConfig::optionModifier, ModifierFlag::option, "⌥"},
    {HotkeyConfig::shiftModifier, ModifierFlag::shift, "⇧"},
    {HotkeyConfig::commandModifier, ModifierFlag::command, "⌘"},
}};

std::optional<std::uint32_t> uint32Member(const Json& object, const char* name) {
    const auto member = object.find(name);
    if (member == object.end() || !member->is_number_integer()) {
        return std::nullopt;
    }
    if (member->is_number_unsigned()) {
        const auto value = member->get<std::uint64_t>();
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(value);
    }
    const auto value = member->get<std::int64_t>();
    if (value < 0 || value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace

HotkeyConfig HotkeyConfig::defaultHotkey() {
    return {14, shiftModifier | commandModifier, "E"};
}

std::string HotkeyConfig::labelForKey(std::uint32_t keyCode,
                                      const std::optional<std::string>& characters) {
    if (const auto special = VirtualKey::specialKeyLabel(keyCode)) {
        return std::string(*special);
    }
    const auto scalar = characters ? UnicodeScalar::first(*characters) : std::nullopt;
    if (scalar && UnicodeScalar::isLetterOrNumber(*scalar)) {
        return UnicodeScalar::toUTF8(UnicodeScalar::uppercased(*scalar));
    }
    return "Key " + std::to_string(keyCode);
}

std::optional<HotkeyConfig> HotkeyConfig::fromEvent(const KeyEvent& event) {
    std::uint32_t modifiers = 0;
    for (const auto& row : modifierRows) {
        if (event.holds(row.eventFlag)) {
            modifiers |= row.carbon;
        }
    }
    if (modifiers == 0) {
        return std::nullopt;
    }
    return HotkeyConfig{event.keyCode, modifiers,
                        labelForKey(event.keyCode, event.charactersIgnoringModifiers)};
}

std::string HotkeyConfig::displayString() const {
    std::string text;
    for (const auto& row : modifierRows) {
        if ((carbonModifiers & row.carbon) != 0) {
            text += row.glyph;
        }
    }
    return text + keyLabel;
}

std::optional<KeyboardShortcut> HotkeyConfig::keyboardShortcut() const {
    const auto key = VirtualKey::keyEquivalent(keyCode);
    if (!key) {
        return std::nullopt;
    }
    KeyboardShortcut shortcut{*key, 0};
    for (const auto& row : modifierRows) {
        if ((carbonModifiers & row.carbon) != 0) {
            shortcut.modifiers |= row.eventFlag;
        }
    }
    return shortcut;
}

std::optional<std::string> HotkeyConfig::encoded() const {
    Json object;
    object["keyCode"] = keyCode;
    object["carbonModifiers"] = carbonModifiers;
    object["keyLabel"] = keyLabel;
    try {
        return object.dump();
    } catch (const Json::exception&) {
        return std::nullopt;
    }
}

std::optional<HotkeyConfig> HotkeyConfig::decoded(std::string_view json) {
    const auto object = Json::parse(json, nullptr, false);
    if (!object.is_object()) {
        return std::nullopt;
    }
    const auto code = uint32Member(object, "keyCode");
    const auto modifiers = uint32Member(object, "carbonModifiers");
    const auto label = object.find("keyLabel");
    if (!code || !modifiers || label == object.end() || !label->is_string()) {
        return std::nullopt;
    }
    return HotkeyConfig{*code, *modifiers, label->get<std::string>()};
}

} // namespace quorvane
