#include "ui/kit/ReduceMotion.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(ReduceMotionTest, GnomeSettingIsInverted) {
    EXPECT_EQ(ReduceMotion::fromGnomeSetting("false\n"), true);
    EXPECT_EQ(ReduceMotion::fromGnomeSetting("true\n"), false);
    EXPECT_EQ(ReduceMotion::fromGnomeSetting(""), std::nullopt);
    EXPECT_EQ(ReduceMotion::fromGnomeSetting("No such schema"), std::nullopt);
}

TEST(ReduceMotionTest, OnlyDesktopsThatFollowGnomeAskItsSettings) {
    const std::pair<const char*, bool> rows[] = {
        {"GNOME", true},
        {"ubuntu:GNOME", true},
        {"Budgie:GNOME", true},
        {"Unity", true},
        {"Pantheon", true},
        {"KDE", false},
        {"XFCE", false},
        {"", false},
        {"GNOME-Flashback:GNOMEX", false},
        {"X-Cinnamon", false},
    };
    for (const auto& [desktop, follows] : rows) {
        EXPECT_EQ(ReduceMotion::followsGnomeSettings(desktop), follows) << desktop;
    }
}

TEST(ReduceMotionTest, KdeFactorCountsOnlyInItsGroup) {
    struct Row {
        const char* text;
        std::optional<bool> expected;
    };
    const Row rows[] = {
        {"[KDE]\nAnimationDurationFactor=0\n", true},
        {"[General]\nfoo=1\n[KDE]\nAnimationDurationFactor=0.5\n", false},
        {"[KDE]\r\nAnimationDurationFactor = 0\r\n", true},
        {"[Other]\nAnimationDurationFactor=0\n", std::nullopt},
        {"[KDE]\nAnimationDurationFactor=fast\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ReduceMotion::fromKdeGlobals(row.text), row.expected) << row.text;
    }
}

TEST(ReduceMotionTest, OverrideWinsUntilCleared) {
    ReduceMotion::setOverride(true);
    EXPECT_TRUE(ReduceMotion::enabled());
    ReduceMotion::setOverride(false);
    EXPECT_FALSE(ReduceMotion::enabled());
    ReduceMotion::setOverride(std::nullopt);
}

} // namespace
} // namespace quorvane
