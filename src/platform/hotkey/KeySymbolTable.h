// The one table between our virtual key codes (the layout-independent numbers stored in key
// combinations) and X keysyms, and the mapping of our modifier bits onto the X modifiers: command
// is Control, shift Shift, option Alt (Mod1), control Super (Mod4), so that the combinations a
// user knows from other systems land on the keys of a PC keyboard.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

class KeySymbolTable {
public:
    static constexpr std::uint16_t x11Shift = 0x01;
    static constexpr std::uint16_t x11Lock = 0x02;
    static constexpr std::uint16_t x11Control = 0x04;
    static constexpr std::uint16_t x11Mod1 = 0x08;
    static constexpr std::uint16_t x11Mod2 = 0x10;
    static constexpr std::uint16_t x11Mod4 = 0x40;
    // The modifiers a hot key is matched on; Caps Lock, Num Lock and the rest are ignored.
    static constexpr std::uint16_t x11Significant = x11Shift | x11Control | x11Mod1 | x11Mod4;

    // Nothing for key codes without an X key (the ISO section key, media keys, ...).
    static std::optional<std::uint32_t> keysym(std::uint32_t virtualKeyCode);
    // The keysym's name as X spells it ("e", "bracketleft", "Return", "F5").
    static std::optional<std::string_view> keysymName(std::uint32_t virtualKeyCode);

    // Bits other than command, shift, option and control are dropped.
    static std::uint16_t x11ModifierMask(std::uint32_t carbonModifiers);

    // The combination in the shortcut notation of the desktop portal ("CTRL+SHIFT+e"); nothing
    // when the key has no keysym.
    static std::optional<std::string> portalTrigger(std::uint32_t virtualKeyCode,
                                                    std::uint32_t carbonModifiers);
};

} // namespace quorvane
