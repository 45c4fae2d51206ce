#include "QtKeyTranslator.h"

#include "platform/hotkey/KeySymbolTable.h"

#include <QKeyEvent>

#include <array>
#include <map>
#include <utility>

namespace quorvane {
namespace {

// Virtual key codes span 0...127.
constexpr std::uint32_t virtualKeyLimit = 128;

struct QtKeyRow {
    int qtKey;
    std::uint32_t keysym;
};

// Keys whose Qt code is not their keysym. Printable Latin-1 keys share their code with the keysym
// (letters after folding to lower case).
constexpr auto namedKeys = std::to_array<QtKeyRow>({
    {Qt::Key_Escape, 0xff1b},
    {Qt::Key_Tab, 0xff09},
    {Qt::Key_Backtab, 0xff09},
    {Qt::Key_Backspace, 0xff08},
    {Qt::Key_Return, 0xff0d},
    {Qt::Key_Enter, 0xff8d},
    {Qt::Key_Insert, 0xff63},
    {Qt::Key_Delete, 0xffff},
    {Qt::Key_Home, 0xff50},
    {Qt::Key_End, 0xff57},
    {Qt::Key_Left, 0xff51},
    {Qt::Key_Up, 0xff52},
    {Qt::Key_Right, 0xff53},
    {Qt::Key_Down, 0xff54},
    {Qt::Key_PageUp, 0xff55},
    {Qt::Key_PageDown, 0xff56},
    {Qt::Key_Help, 0xff6a},
    {Qt::Key_Clear, 0xff0b},
});

const std::map<std::uint32_t, std::uint32_t>& virtualKeyByKeysym() {
    static const auto table = [] {
        std::map<std::uint32_t, std::uint32_t> byKeysym;
        for (std::uint32_t code = 0; code < virtualKeyLimit; ++code) {
            if (const auto keysym = KeySymbolTable::keysym(code)) {
                byKeysym.emplace(*keysym, code);
            }
        }
        return byKeysym;
    }();
    return table;
}

std::optional<std::uint32_t> lookUp(std::uint32_t keysym) {
    const auto& table = virtualKeyByKeysym();
    if (const auto found = table.find(keysym); found != table.end()) {
        return found->second;
    }
    // With Shift held X reports the upper-case letter; the key is the same.
    if (keysym >= 'A' && keysym <= 'Z') {
        return lookUp(keysym - 'A' + 'a');
    }
    return std::nullopt;
}

// What Shift types on the keys of the US layout the virtual key codes follow, beside what the key
// types on its own. X and Qt report the shifted symbol, which is on no key of the table.
constexpr auto shiftedSymbols = std::to_array<std::pair<char, char>>({
    {'!', '1'},  {'@', '2'}, {'#', '3'},  {'$', '4'}, {'%', '5'}, {'^', '6'}, {'&', '7'},
    {'*', '8'},  {'(', '9'}, {')', '0'},  {'_', '-'}, {'+', '='}, {'{', '['}, {'}', ']'},
    {'|', '\\'}, {':', ';'}, {'"', '\''}, {'<', ','}, {'>', '.'}, {'?', '/'}, {'~', '`'},
});

// Nothing (0) for a symbol that is not a shifted one.
std::uint32_t unshifted(std::uint32_t symbol) {
    for (const auto& [shifted, plain] : shiftedSymbols) {
        if (symbol == static_cast<std::uint32_t>(shifted)) {
            return static_cast<std::uint32_t>(plain);
        }
    }
    return 0;
}

bool isPrintable(std::uint32_t keysym) {
    return keysym >= 0x21 && keysym <= 0x7e;
}

} // namespace

std::optional<std::uint32_t> QtKeyTranslator::keysymForQtKey(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return static_cast<std::uint32_t>(qtKey - Qt::Key_A + 'a');
    }
    if (qtKey >= Qt::Key_Space && qtKey <= Qt::Key_AsciiTilde) {
        return static_cast<std::uint32_t>(qtKey);
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F35) {
        return static_cast<std::uint32_t>(0xffbe + (qtKey - Qt::Key_F1));
    }
    for (const auto& row : namedKeys) {
        if (row.qtKey == qtKey) {
            return row.keysym;
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> QtKeyTranslator::virtualKeyCode(std::uint32_t nativeKeysym,
                                                             int qtKey) {
    if (nativeKeysym != 0) {
        if (const auto code = lookUp(nativeKeysym)) {
            return code;
        }
    }
    const auto keysym = keysymForQtKey(qtKey);
    if (!keysym) {
        return std::nullopt;
    }
    return lookUp(*keysym);
}

std::uint64_t QtKeyTranslator::modifierFlags(Qt::KeyboardModifiers modifiers) {
    std::uint64_t flags = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        flags |= ModifierFlag::shift;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        flags |= ModifierFlag::command;
    }
    if (modifiers.testFlag(Qt::MetaModifier)) {
        flags |= ModifierFlag::control;
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        flags |= ModifierFlag::option;
    }
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        flags |= ModifierFlag::numericPad;
    }
    return flags;
}

bool QtKeyTranslator::isModifierKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

std::optional<KeyEvent> QtKeyTranslator::keyEvent(const QKeyEvent& event) {
    auto code = virtualKeyCode(event.nativeVirtualKey(), event.key());
    if (!code && event.modifiers().testFlag(Qt::ShiftModifier)) {
        // Printable Qt keys share their code with the keysym, so one fold serves both.
        code = virtualKeyCode(unshifted(event.nativeVirtualKey()),
                              static_cast<int>(unshifted(static_cast<std::uint32_t>(event.key()))));
    }
    if (!code) {
        return std::nullopt;
    }
    KeyEvent result{*code, modifierFlags(event.modifiers()), std::nullopt};
    // What the key types unmodified comes from the table, not from the event's text, which Ctrl
    // and Shift have already changed.
    if (const auto keysym = KeySymbolTable::keysym(*code); keysym && isPrintable(*keysym)) {
        result.charactersIgnoringModifiers = std::string(1, static_cast<char>(*keysym));
    }
    return result;
}

} // namespace quorvane
