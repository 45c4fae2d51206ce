#pragma once

#include "UnicodeScalar.h"

#include <string>

namespace quorvane {

// The key a keyboard shortcut fires on, as the one character that key types. Named keys use the
// characters key events carry for them: control characters for Return, Tab, Delete and Escape,
// and the private-use function-key characters (U+F700...) for the arrows and forward delete.
struct KeyEquivalent {
    char32_t character = 0;

    std::string utf8() const { return UnicodeScalar::toUTF8(character); }

    bool operator==(const KeyEquivalent&) const = default;

    static const KeyEquivalent returnKey;
    static const KeyEquivalent tab;
    static const KeyEquivalent space;
    static const KeyEquivalent delete_;
    static const KeyEquivalent escape;
    static const KeyEquivalent upArrow;
    static const KeyEquivalent downArrow;
    static const KeyEquivalent leftArrow;
    static const KeyEquivalent rightArrow;
    static const KeyEquivalent deleteForward;
};

inline constexpr KeyEquivalent KeyEquivalent::returnKey{U'\r'};
inline constexpr KeyEquivalent KeyEquivalent::tab{U'\t'};
inline constexpr KeyEquivalent KeyEquivalent::space{U' '};
inline constexpr KeyEquivalent KeyEquivalent::delete_{U'\x7F'};
inline constexpr KeyEquivalent KeyEquivalent::escape{U'\x1B'};
inline constexpr KeyEquivalent KeyEquivalent::upArrow{U'\uF700'};
inline constexpr KeyEquivalent KeyEquivalent::downArrow{U'\uF701'};
inline constexpr KeyEquivalent KeyEquivalent::leftArrow{U'\uF702'};
inline constexpr KeyEquivalent KeyEquivalent::rightArrow{U'\uF703'};
inline constexpr KeyEquivalent KeyEquivalent::deleteForward{U'\uF728'};

} // namespace quorvane
