#include "platform/hotkey/KeySymbolTable.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <set>

namespace quorvane {
namespace {

struct KeyRow {
    std::uint32_t virtualKeyCode;
    std::uint32_t keysym;
    const char* name;
};

class KeySymbolTableRows : public testing::TestWithParam<KeyRow> {};

TEST_P(KeySymbolTableRows, MapsVirtualKeyToKeysymAndName) {
    const auto row = GetParam();
    EXPECT_EQ(KeySymbolTable::keysym(row.virtualKeyCode), row.keysym);
    EXPECT_EQ(KeySymbolTable::keysymName(row.virtualKeyCode), row.name);
}

// The irregular corners of the virtual numbering: digits 5/6 and 7/9 are out of order, Return
// and keypad Enter differ, Delete is backspace while 117 is forward delete, F-keys scatter.
INSTANTIATE_TEST_SUITE_P(
    Keys, KeySymbolTableRows,
    testing::Values(KeyRow{0, XK_a, "a"}, KeyRow{14, XK_e, "e"}, KeyRow{22, XK_6, "6"},
                    KeyRow{23, XK_5, "5"}, KeyRow{25, XK_9, "9"}, KeyRow{26, XK_7, "7"},
                    KeyRow{29, XK_0, "0"}, KeyRow{33, XK_bracketleft, "bracketleft"},
                    KeyRow{43, XK_comma, "comma"}, KeyRow{41, XK_semicolon, "semicolon"},
                    KeyRow{36, XK_Return, "Return"}, KeyRow{76, XK_KP_Enter, "KP_Enter"},
                    KeyRow{48, XK_Tab, "Tab"}, KeyRow{49, XK_space, "space"},
                    KeyRow{51, XK_BackSpace, "BackSpace"}, KeyRow{117, XK_Delete, "Delete"},
                    KeyRow{53, XK_Escape, "Escape"}, KeyRow{123, XK_Left, "Left"},
                    KeyRow{126, XK_Up, "Up"}, KeyRow{122, XK_F1, "F1"}, KeyRow{96, XK_F5, "F5"},
                    KeyRow{111, XK_F12, "F12"}));

TEST(KeySymbolTable, KeysWithoutAnXKeyHaveNoKeysym) {
    for (const std::uint32_t code : {10u, 52u, 54u, 55u, 200u}) {
        EXPECT_FALSE(KeySymbolTable::keysym(code)) << code;
        EXPECT_FALSE(KeySymbolTable::portalTrigger(code, 0x0100)) << code;
    }
}

TEST(KeySymbolTable, NoTwoVirtualKeysShareAKeysym) {
    std::set<std::uint32_t> seen;
    for (std::uint32_t code = 0; code < 128; ++code) {
        if (const auto keysym = KeySymbolTable::keysym(code)) {
            EXPECT_TRUE(seen.insert(*keysym).second) << "key code " << code;
        }
    }
    EXPECT_GE(seen.size(), 70u);
}

TEST(KeySymbolTable, ModifiersMapOntoTheirXCounterparts) {
    struct Case {
        std::uint32_t carbon;
        std::uint16_t x11;
    };
    const Case cases[] = {
        {0, 0},
        {0x0100, KeySymbolTable::x11Control},
        {0x0200, KeySymbolTable::x11Shift},
        {0x0800, KeySymbolTable::x11Mod1},
        {0x1000, KeySymbolTable::x11Mod4},
        {0x0300, KeySymbolTable::x11Control | KeySymbolTable::x11Shift},
        {0x1B00, KeySymbolTable::x11Significant},
        // Caps Lock and other bits are not part of a combination.
        {0x0400 | 0x0080 | 0x0200, KeySymbolTable::x11Shift},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeySymbolTable::x11ModifierMask(c.carbon), c.x11) << std::hex << c.carbon;
    }
}

TEST(KeySymbolTable, PortalTriggerNamesModifiersInOneOrder) {
    EXPECT_EQ(KeySymbolTable::portalTrigger(14, 0x0300), "CTRL+SHIFT+e");
    EXPECT_EQ(KeySymbolTable::portalTrigger(49, 0x1800), "ALT+LOGO+space");
    EXPECT_EQ(KeySymbolTable::portalTrigger(33, 0x1B00), "CTRL+ALT+SHIFT+LOGO+bracketleft");
    EXPECT_EQ(KeySymbolTable::portalTrigger(96, 0), "F5");
}

} // namespace
} // namespace quorvane
