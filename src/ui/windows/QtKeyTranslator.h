// Turns Qt key presses into the toolkit-free key events that recording and matching key
// combinations work on. The physical key goes through the same virtual-key/keysym table as the
// global hot key, so a combination recorded here is the one the hot key grabs; Ctrl is command,
// Super (Meta) is control and Alt is option.
#pragma once

#include "state/KeyEvent.h"

#include <Qt>

#include <cstdint>
#include <optional>

class QKeyEvent;

namespace quorvane {

class QtKeyTranslator {
public:
    // Nothing for keys outside the table (media keys, modifiers on their own, ...).
    static std::optional<KeyEvent> keyEvent(const QKeyEvent& event);

    // The X keysym is preferred; without one (the offscreen platform, synthetic events) the Qt key
    // decides.
    static std::optional<std::uint32_t> virtualKeyCode(std::uint32_t nativeKeysym, int qtKey);
    static std::optional<std::uint32_t> keysymForQtKey(int qtKey);
    static std::uint64_t modifierFlags(Qt::KeyboardModifiers modifiers);
    static bool isModifierKey(int qtKey);
};

} // namespace quorvane
