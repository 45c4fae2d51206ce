// A key combination: the global hot key and each in-app shortcut. It is kept as a virtual key code
// and Carbon-style modifier bits together with a ready-made label, so that it can be registered,
// shown and bound without consulting the keyboard layout again.
#pragma once

#include "KeyEvent.h"
#include "KeyboardShortcut.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

struct HotkeyConfig {
    static constexpr std::uint32_t commandModifier = 0x0100;
    static constexpr std::uint32_t shiftModifier = 0x0200;
    static constexpr std::uint32_t optionModifier = 0x0800;
    static constexpr std::uint32_t controlModifier = 0x1000;

    std::uint32_t keyCode = 0;
    std::uint32_t carbonModifiers = 0;
    // A glyph, "Space", an upper-case letter or digit, or "Key " and the key code.
    std::string keyLabel;

    bool operator==(const HotkeyConfig&) const = default;

    // ⇧⌘E, the global hot key of a fresh installation.
    static HotkeyConfig defaultHotkey();

    // The label of a key from its code and what it types without modifiers.
    static std::string labelForKey(std::uint32_t keyCode,
                                   const std::optional<std::string>& characters);

    // The combination pressed in the event; nothing when none of control, option, shift and
    // command is held.
    static std::optional<HotkeyConfig> fromEvent(const KeyEvent& event);

    // Modifier glyphs in the fixed order ⌃⌥⇧⌘, then the key label.
    std::string displayString() const;

    // Nothing when the key has no key equivalent; the combination still works as a global hot key.
    std::optional<KeyboardShortcut> keyboardShortcut() const;

    // A JSON object with the members "keyCode", "carbonModifiers" and "keyLabel"; nothing when the
    // label is not valid UTF-8.
    std::optional<std::string> encoded() const;
    // All three members are required.
    static std::optional<HotkeyConfig> decoded(std::string_view json);
};

} // namespace quorvane
