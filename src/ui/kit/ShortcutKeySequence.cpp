#include "ui/kit/ShortcutKeySequence.h"

#include "platform/hotkey/KeySymbolTable.h"

#include <array>

namespace quorvane {

namespace {

struct NamedKey {
    std::uint32_t keysym;
    Qt::Key key;
};

// The keys of the virtual-key table whose keysym is not the character they type.
constexpr auto namedKeys = std::to_array<NamedKey>({
    {0xff0d, Qt::Key_Return},
    {0xff8d, Qt::Key_Enter},
    {0xff09, Qt::Key_Tab},
    {0xff08, Qt::Key_Backspace},
    {0xff1b, Qt::Key_Escape},
    {0xffff, Qt::Key_Delete},
    {0xff51, Qt::Key_Left},
    {0xff52, Qt::Key_Up},
    {0xff53, Qt::Key_Right},
    {0xff54, Qt::Key_Down},
});

constexpr std::uint32_t keysymF1 = 0xffbe;
constexpr std::uint32_t functionKeyCount = 35;

} // namespace

Qt::Key ShortcutKeySequence::key(std::uint32_t virtualKeyCode) {
    const auto keysym = KeySymbolTable::keysym(virtualKeyCode);
    if (!keysym) {
        return Qt::Key_unknown;
    }
    if (*keysym >= 'a' && *keysym <= 'z') {
        return static_cast<Qt::Key>(Qt::Key_A + static_cast<int>(*keysym - 'a'));
    }
    // Qt names the other printable ASCII keys by their character, as X does.
    if (*keysym >= 0x20 && *keysym <= 0x7e) {
        return static_cast<Qt::Key>(*keysym);
    }
    if (*keysym >= keysymF1 && *keysym < keysymF1 + functionKeyCount) {
        return static_cast<Qt::Key>(Qt::Key_F1 + static_cast<int>(*keysym - keysymF1));
    }
    for (const auto& row : namedKeys) {
        if (row.keysym == *keysym) {
            return row.key;
        }
    }
    return Qt::Key_unknown;
}

Qt::KeyboardModifiers ShortcutKeySequence::modifiers(std::uint32_t carbonModifiers) {
    Qt::KeyboardModifiers result;
    if (carbonModifiers & HotkeyConfig::commandModifier)
        result |= Qt::ControlModifier;
    if (carbonModifiers & HotkeyConfig::controlModifier)
        result |= Qt::MetaModifier;
    if (carbonModifiers & HotkeyConfig::optionModifier)
        result |= Qt::AltModifier;
    if (carbonModifiers & HotkeyConfig::shiftModifier)
        result |= Qt::ShiftModifier;
    return result;
}

QKeySequence ShortcutKeySequence::of(const HotkeyConfig& config) {
    const Qt::Key qtKey = key(config.keyCode);
    if (qtKey == Qt::Key_unknown) {
        return {};
    }
    return QKeySequence(QKeyCombination(modifiers(config.carbonModifiers), qtKey));
}

QString ShortcutKeySequence::text(const HotkeyConfig& config) {
    const QKeySequence sequence = of(config);
    if (!sequence.isEmpty()) {
        return sequence.toString(QKeySequence::NativeText);
    }
    // A combination without a key spells its modifiers alone, each with its "+".
    const QKeySequence held(QKeyCombination(modifiers(config.carbonModifiers), Qt::Key(0)));
    return held.toString(QKeySequence::NativeText) + QString::fromStdString(config.keyLabel);
}

QString ShortcutKeySequence::helpText(const QString& help, const HotkeyConfig& config) {
    return help + QStringLiteral(" (") + text(config) + QLatin1Char(')');
}

QString ShortcutKeySequence::helpText(const QString& help, const QKeySequence& sequence) {
    return help + QStringLiteral(" (") + sequence.toString(QKeySequence::NativeText) +
           QLatin1Char(')');
}

} // namespace quorvane
