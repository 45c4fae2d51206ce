#include "platform/hotkey/X11KeyboardMapping.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace quorvane {
namespace {

// Four keysyms per key from key code 8, as the server reports them; key 10 carries an "e" on its
// third level only, key 26 is the real E key, key 200 also types Return.
X11KeyboardMapping sampleMapping() {
    std::vector<std::uint32_t> keysyms(4 * 200, 0);
    auto set = [&](int keycode, int level, std::uint32_t keysym) {
        keysyms[(keycode - 8) * 4 + level] = keysym;
    };
    set(10, 0, XK_1);
    set(10, 2, XK_e);
    set(26, 0, XK_e);
    set(26, 1, XK_E);
    set(36, 0, XK_Return);
    set(200, 0, XK_Return);
    set(60, 1, XK_colon);
    return X11KeyboardMapping(8, 4, std::move(keysyms));
}

TEST(X11KeyboardMapping, FindsTheKeyThatTypesTheKeysym) {
    const auto mapping = sampleMapping();
    EXPECT_EQ(mapping.keycode(XK_1), 10);
    // The base level wins over an earlier key that has it on a shifted level.
    EXPECT_EQ(mapping.keycode(XK_e), 26);
    // Of two keys, the lowest code.
    EXPECT_EQ(mapping.keycode(XK_Return), 36);
    // Found on a shifted level when no key has it as its base.
    EXPECT_EQ(mapping.keycode(XK_colon), 60);
}

TEST(X11KeyboardMapping, UnknownKeysymsAndEmptyMappingsFindNothing) {
    EXPECT_FALSE(sampleMapping().keycode(XK_F13));
    // NoSymbol fills the empty slots and must never match.
    EXPECT_FALSE(sampleMapping().keycode(0));
    EXPECT_FALSE(X11KeyboardMapping().keycode(XK_e));
}

} // namespace
} // namespace quorvane
