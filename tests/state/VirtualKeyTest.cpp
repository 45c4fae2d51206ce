#include "state/VirtualKey.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

// The shell translates its key events through keyCode(); it must land on the very code whose
// equivalent it came from, or recorded shortcuts would never match.
TEST(VirtualKeyTest, KeyCodeInvertsKeyEquivalent) {
    int withEquivalent = 0;
    for (std::uint32_t code = 0; code < 256; ++code) {
        const auto key = VirtualKey::keyEquivalent(code);
        if (!key) {
            continue;
        }
        ++withEquivalent;
        const auto expected = code == VirtualKey::keypadEnter ? VirtualKey::returnKey : code;
        EXPECT_EQ(VirtualKey::keyCode(*key), expected) << code;
    }
    EXPECT_EQ(withEquivalent, 49);
}

TEST(VirtualKeyTest, KeyCodeFoldsUpperCaseLettersOnly) {
    EXPECT_EQ(VirtualKey::keyCode({U'E'}), 14U);
    EXPECT_EQ(VirtualKey::keyCode({U';'}), std::nullopt);
    EXPECT_EQ(VirtualKey::keyCode({U'É'}), std::nullopt);
}

} // namespace
} // namespace quorvane
