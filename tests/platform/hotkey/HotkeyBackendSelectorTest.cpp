#include "platform/hotkey/HotkeyBackendSelector.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(HotkeyBackendSelector, PrefersX11ThenThePortalThenNothing) {
    EXPECT_EQ(HotkeyBackendSelector::choose(true, true), HotkeyBackend::x11);
    EXPECT_EQ(HotkeyBackendSelector::choose(true, false), HotkeyBackend::x11);
    EXPECT_EQ(HotkeyBackendSelector::choose(false, true), HotkeyBackend::portal);
    EXPECT_EQ(HotkeyBackendSelector::choose(false, false), HotkeyBackend::none);
}

// The test main runs the offscreen platform, which has no X connection.
TEST(HotkeyBackendSelector, WithoutAnXConnectionNoGrabIsAttempted) {
    EXPECT_NE(HotkeyBackendSelector::detect(), HotkeyBackend::x11);
}

TEST(HotkeyBackendSelector, WithoutAnyServiceRegistrationFailsQuietly) {
    if (HotkeyBackendSelector::detect() != HotkeyBackend::none) {
        GTEST_SKIP() << "a session bus is reachable here";
    }
    const auto manager = HotkeyBackendSelector::makeEventManager();
    std::optional<EventHotKeyRef> ref;
    EXPECT_NE(manager->registerEventHotKey(14, 0x0300, {1, 1}, 0, ref), HotkeyStatus::noError);
    EXPECT_FALSE(ref);
}

} // namespace
} // namespace quorvane
