// Virtual key codes: the layout-independent numbers that identify physical keys in stored key
// combinations (the macOS numbering, so 0 is A, 14 is E and 36 is Return). This is the one table
// of what those codes show as labels and which key equivalent they fire on; the desktop shell's
// keyboard layer translates its own key events into these codes through it.
#pragma once

#include "KeyEquivalent.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvane::VirtualKey {

inline constexpr std::uint32_t returnKey = 36;
inline constexpr std::uint32_t tab = 48;
inline constexpr std::uint32_t space = 49;
inline constexpr std::uint32_t delete_ = 51;
inline constexpr std::uint32_t escape = 53;
inline constexpr std::uint32_t keypadEnter = 76;
inline constexpr std::uint32_t forwardDelete = 117;
inline constexpr std::uint32_t leftArrow = 123;
inline constexpr std::uint32_t rightArrow = 124;
inline constexpr std::uint32_t downArrow = 125;
inline constexpr std::uint32_t upArrow = 126;

// The fixed label of a key that types no printable character of its own (Return "↩", Space
// "Space", the arrows, ...); nothing for every other key, whose label comes from its characters.
std::optional<std::string_view> specialKeyLabel(std::uint32_t keyCode);

// The key equivalent the key fires on: lower-case letters, digits, "[", ",", and the named keys.
// Nothing for keys without one, which therefore cannot be in-app shortcuts.
std::optional<KeyEquivalent> keyEquivalent(std::uint32_t keyCode);

// The inverse of keyEquivalent(); upper-case ASCII letters are looked up as lower-case, and
// Return gives the main Return key rather than the keypad's Enter.
std::optional<std::uint32_t> keyCode(KeyEquivalent key);

} // namespace quorvane::VirtualKey
