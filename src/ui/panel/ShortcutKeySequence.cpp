#include "ui/panel/ShortcutKeySequence.h"

#include "state/KeyEvent.h"

#include <QChar>

namespace quorvane {

namespace {

// The private-use characters of the function keys F1...F35 start here.
constexpr char32_t firstFunctionKey = U'\uF704';
constexpr int functionKeyCount = 35;

} // namespace

Qt::Key ShortcutKeySequence::key(const KeyEquivalent& key) {
    const char32_t c = key.character;
    if (key == KeyEquivalent::returnKey)
        return Qt::Key_Return;
    if (key == KeyEquivalent::tab)
        return Qt::Key_Tab;
    if (key == KeyEquivalent::space)
        return Qt::Key_Space;
    // The key labelled Delete on the keyboards these shortcuts come from erases backwards.
    if (key == KeyEquivalent::delete_)
        return Qt::Key_Backspace;
    if (key == KeyEquivalent::escape)
        return Qt::Key_Escape;
    if (key == KeyEquivalent::upArrow)
        return Qt::Key_Up;
    if (key == KeyEquivalent::downArrow)
        return Qt::Key_Down;
    if (key == KeyEquivalent::leftArrow)
        return Qt::Key_Left;
    if (key == KeyEquivalent::rightArrow)
        return Qt::Key_Right;
    if (key == KeyEquivalent::deleteForward)
        return Qt::Key_Delete;
    if (c >= firstFunctionKey && c < firstFunctionKey + functionKeyCount) {
        return static_cast<Qt::Key>(Qt::Key_F1 + static_cast<int>(c - firstFunctionKey));
    }
    if (c > 0xFFFF) {
        return Qt::Key_unknown;
    }
    // Printable keys: Qt names them by their upper-case character.
    return static_cast<Qt::Key>(QChar(static_cast<char16_t>(c)).toUpper().unicode());
}

Qt::KeyboardModifiers ShortcutKeySequence::modifiers(std::uint64_t modifierFlags) {
    Qt::KeyboardModifiers result;
    if (modifierFlags & ModifierFlag::command)
        result |= Qt::ControlModifier;
    if (modifierFlags & ModifierFlag::control)
        result |= Qt::MetaModifier;
    if (modifierFlags & ModifierFlag::option)
        result |= Qt::AltModifier;
    if (modifierFlags & ModifierFlag::shift)
        result |= Qt::ShiftModifier;
    return result;
}

QKeySequence ShortcutKeySequence::from(const std::optional<KeyboardShortcut>& shortcut) {
    if (!shortcut || shortcut->key.character == 0) {
        return QKeySequence(Qt::Key_Return);
    }
    const Qt::Key qtKey = key(shortcut->key);
    if (qtKey == Qt::Key_unknown) {
        return QKeySequence(Qt::Key_Return);
    }
    return QKeySequence(QKeyCombination(modifiers(shortcut->modifiers), qtKey));
}

} // namespace quorvane
