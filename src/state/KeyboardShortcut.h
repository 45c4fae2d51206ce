#pragma once

#include "KeyEquivalent.h"

#include <cstdint>

namespace quorvane {

// A shortcut the interface can bind: a key equivalent plus the ModifierFlag bits (KeyEvent.h)
// that must be held with it.
struct KeyboardShortcut {
    KeyEquivalent key;
    std::uint64_t modifiers = 0;

    bool operator==(const KeyboardShortcut&) const = default;
};

} // namespace quorvane
