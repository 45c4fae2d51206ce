// The Qt key sequence of an in-app shortcut: command is Ctrl, control is
// Super (Meta), option is Alt. A shortcut without a key equivalent falls back
// to plain Return, the default action's key.
#pragma once

#include "state/KeyboardShortcut.h"

#include <QKeySequence>

#include <optional>

namespace quorvane {

class ShortcutKeySequence {
public:
    static QKeySequence from(const std::optional<KeyboardShortcut>& shortcut);
    static Qt::Key key(const KeyEquivalent& key);
    static Qt::KeyboardModifiers modifiers(std::uint64_t modifierFlags);
};

} // namespace quorvane
