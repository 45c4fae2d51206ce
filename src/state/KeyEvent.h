// A key press as the desktop shell hands it to the state layer. The shell maps its toolkit's
// events onto this value (Ctrl is command, Super is control, Alt is option), so recording and
// matching key combinations never depends on the toolkit and can be tested without it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvane {

// Modifier flag bits of a key event; keyboard shortcuts use the same bits.
namespace ModifierFlag {
inline constexpr std::uint64_t capsLock = 0x10000;
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
inline constexpr std::uint64_t numericPad = 0x200000;
inline constexpr std::uint64_t function = 0x800000;
} // namespace ModifierFlag

struct KeyEvent {
    // Virtual key code of the physical key (see VirtualKey.h: 14 is E, 36 is Return).
    std::uint32_t keyCode = 0;
    // ModifierFlag bits held during the press.
    std::uint64_t modifierFlags = 0;
    // What the key types with no modifier applied, as UTF-8; nothing for keys that type nothing.
    std::optional<std::string> charactersIgnoringModifiers;

    bool holds(std::uint64_t flag) const { return (modifierFlags & flag) == flag; }

    bool operator==(const KeyEvent&) const = default;
};

} // namespace quorvane
