#include "KeySymbolTable.h"

#include <X11/keysym.h>

#include <array>

namespace quorvane {
namespace {

struct Row {
    std::uint32_t virtualKeyCode;
    std::uint32_t keysym;
    std::string_view name;
};

constexpr auto rows = std::to_array<Row>({
    {0, XK_a, "a"},
    {1, XK_s, "s"},
    {2, XK_d, "d"},
    {3, XK_f, "f"},
    {4, XK_h, "h"},
    {5, XK_g, "g"},
    {6, XK_z, "z"},
    {7, XK_x, "x"},
    {8, XK_c, "c"},
    {9, XK_v, "v"},
    {11, XK_b, "b"},
    {12, XK_q, "q"},
    {13, XK_w, "w"},
    {14, XK_e, "e"},
    {15, XK_r, "r"},
    {16, XK_y, "y"},
    {17, XK_t, "t"},
    {18, XK_1, "1"},
    {19, XK_2, "2"},
    {20, XK_3, "3"},
    {21, XK_4, "4"},
    {22, XK_6, "6"},
    {23, XK_5, "5"},
    {24, XK_equal, "equal"},
    {25, XK_9, "9"},
    {26, XK_7, "7"},
    {27, XK_minus, "minus"},
    {28, XK_8, "8"},
    {29, XK_0, "0"},
    {30, XK_bracketright, "bracketright"},
    {31, XK_o, "o"},
    {32, XK_u, "u"},
    {33, XK_bracketleft, "bracketleft"},
    {34, XK_i, "i"},
    {35, XK_p, "p"},
    {36, XK_Return, "Return"},
    {37, XK_l, "l"},
    {38, XK_j, "j"},
    {39, XK_apostrophe, "apostrophe"},
    {40, XK_k, "k"},
    {41, XK_semicolon, "semicolon"},
    {42, XK_backslash, "backslash"},
    {43, XK_comma, "comma"},
    {44, XK_slash, "slash"},
    {45, XK_n, "n"},
    {46, XK_m, "m"},
    {47, XK_period, "period"},
    {48, XK_Tab, "Tab"},
    {49, XK_space, "space"},
    {50, XK_grave, "grave"},
    {51, XK_BackSpace, "BackSpace"},
    {53, XK_Escape, "Escape"},
    {76, XK_KP_Enter, "KP_Enter"},
    {117, XK_Delete, "Delete"},
    {123, XK_Left, "Left"},
    {124, XK_Right, "Right"},
    {125, XK_Down, "Down"},
    {126, XK_Up, "Up"},
    {122, XK_F1, "F1"},
    {120, XK_F2, "F2"},
    {99, XK_F3, "F3"},
    {118, XK_F4, "F4"},
    {96, XK_F5, "F5"},
    {97, XK_F6, "F6"},
    {98, XK_F7, "F7"},
    {100, XK_F8, "F8"},
    {101, XK_F9, "F9"},
    {109, XK_F10, "F10"},
    {103, XK_F11, "F11"},
    {111, XK_F12, "F12"},
    {105, XK_F13, "F13"},
    {107, XK_F14, "F14"},
    {113, XK_F15, "F15"},
    {106, XK_F16, "F16"},
    {64, XK_F17, "F17"},
    {79, XK_F18, "F18"},
});

const Row* find(std::uint32_t virtualKeyCode) {
    for (const auto& row : rows) {
        if (row.virtualKeyCode == virtualKeyCode) {
            return &row;
        }
    }
    return nullptr;
}

constexpr std::uint32_t command = 0x0100;
constexpr std::uint32_t shift = 0x0200;
constexpr std::uint32_t option = 0x0800;
constexpr std::uint32_t control = 0x1000;

} // namespace

std::optional<std::uint32_t> KeySymbolTable::keysym(std::uint32_t virtualKeyCode) {
    const auto* row = find(virtualKeyCode);
    return row ? std::optional(row->keysym) : std::nullopt;
}

std::optional<std::string_view> KeySymbolTable::keysymName(std::uint32_t virtualKeyCode) {
    const auto* row = find(virtualKeyCode);
    return row ? std::optional(row->name) : std::nullopt;
}

std::uint16_t KeySymbolTable::x11ModifierMask(std::uint32_t carbonModifiers) {
    std::uint16_t mask = 0;
    if (carbonModifiers & command) {
        mask |= x11Control;
    }
    if (carbonModifiers & shift) {
        mask |= x11Shift;
    }
    if (carbonModifiers & option) {
        mask |= x11Mod1;
    }
    if (carbonModifiers & control) {
        mask |= x11Mod4;
    }
    return mask;
}

std::optional<std::string> KeySymbolTable::portalTrigger(std::uint32_t virtualKeyCode,
                                                         std::uint32_t carbonModifiers) {
    const auto name = keysymName(virtualKeyCode);
    if (!name) {
        return std::nullopt;
    }
    std::string trigger;
    if (carbonModifiers & command) {
        trigger += "CTRL+";
    }
    if (carbonModifiers & option) {
        trigger += "ALT+";
    }
    if (carbonModifiers & shift) {
        trigger += "SHIFT+";
    }
    if (carbonModifiers & control) {
        trigger += "LOGO+";
    }
    trigger += *name;
    return trigger;
}

} // namespace quorvane
