#include "VirtualKey.h"

#include <array>
#include <utility>

namespace quorvane::VirtualKey {
namespace {

constexpr std::array<std::pair<std::uint32_t, std::string_view>, 9> specialLabels{{
    {returnKey, "↩"},
    {keypadEnter, "↩"},
    {tab, "⇥"},
    {space, "Space"},
    {escape, "⎋"},
    {leftArrow, "←"},
    {rightArrow, "→"},
    {downArrow, "↓"},
    {upArrow, "↑"},
}};

// Ordered so that the first row of a key equivalent is the key keyCode() should give for it.
constexpr std::array<std::pair<std::uint32_t, KeyEquivalent>, 49> equivalents{{
    {0, {U'a'}},
    {1, {U's'}},
    {2, {U'd'}},
    {3, {U'f'}},
    {4, {U'h'}},
    {5, {U'g'}},
    {6, {U'z'}},
    {7, {U'x'}},
    {8, {U'c'}},
    {9, {U'v'}},
    {11, {U'b'}},
    {12, {U'q'}},
    {13, {U'w'}},
    {14, {U'e'}},
    {15, {U'r'}},
    {16, {U'y'}},
    {17, {U't'}},
    {31, {U'o'}},
    {32, {U'u'}},
    {34, {U'i'}},
    {35, {U'p'}},
    {37, {U'l'}},
    {38, {U'j'}},
    {40, {U'k'}},
    {45, {U'n'}},
    {46, {U'm'}},
    {18, {U'1'}},
    {19, {U'2'}},
    {20, {U'3'}},
    {21, {U'4'}},
    {22, {U'6'}},
    {23, {U'5'}},
    {25, {U'9'}},
    {26, {U'7'}},
    {28, {U'8'}},
    {29, {U'0'}},
    {33, {U'['}},
    {43, {U','}},
    {returnKey, KeyEquivalent::returnKey},
    {keypadEnter, KeyEquivalent::returnKey},
    {tab, KeyEquivalent::tab},
    {space, KeyEquivalent::space},
    {delete_, KeyEquivalent::delete_},
    {escape, KeyEquivalent::escape},
    {leftArrow, KeyEquivalent::leftArrow},
    {rightArrow, KeyEquivalent::rightArrow},
    {downArrow, KeyEquivalent::downArrow},
    {upArrow, KeyEquivalent::upArrow},
    {forwardDelete, KeyEquivalent::deleteForward},
}};

} // namespace

std::optional<std::string_view> specialKeyLabel(std::uint32_t keyCode) {
    for (const auto& [code, label] : specialLabels) {
        if (code == keyCode) {
            return label;
        }
    }
    return std::nullopt;
}

std::optional<KeyEquivalent> keyEquivalent(std::uint32_t keyCode) {
    for (const auto& [code, key] : equivalents) {
        if (code == keyCode) {
            return key;
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> keyCode(KeyEquivalent key) {
    if (key.character >= U'A' && key.character <= U'Z') {
        key.character += U'a' - U'A';
    }
    for (const auto& [code, candidate] : equivalents) {
        if (candidate == key) {
            return code;
        }
    }
    return std::nullopt;
}

} // namespace quorvane::VirtualKey
