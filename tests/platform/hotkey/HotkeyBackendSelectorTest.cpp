#include "platform/hotkey/HotkeyBackendSelector.h"

#include "support/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quorvane {
namespace {

using Session = HotkeyBackendSelector::Session;

TEST(HotkeyBackendSelector, WaylandTakesThePortalAndX11ItsGrab) {
    struct Row {
        const char* name;
        Session session;
        HotkeyBackend expected;
    };
    const Row rows[] = {
        {"X11 session", {false, true, true}, HotkeyBackend::x11},
        {"X11 session, no bus", {false, true, false}, HotkeyBackend::x11},
        // The application on XWayland has an X connection, which sees too few keys.
        {"Wayland, on XWayland", {true, true, true}, HotkeyBackend::portal},
        {"Wayland, natively", {true, false, true}, HotkeyBackend::portal},
        {"Wayland, no bus", {true, true, false}, HotkeyBackend::none},
        {"no X, a bus", {false, false, true}, HotkeyBackend::portal},
        {"nothing", {false, false, false}, HotkeyBackend::none},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(HotkeyBackendSelector::choose(row.session), row.expected);
    }
}

TEST(HotkeyBackendSelector, TheEnvironmentNamesAWaylandSession) {
    struct Row {
        std::optional<std::string> sessionType;
        std::optional<std::string> waylandDisplay;
        bool wayland;
    };
    const Row rows[] = {
        {"wayland", std::nullopt, true},
        {std::nullopt, "wayland-0", true},
        {"x11", "wayland-1", true},
        {"x11", std::nullopt, false},
        {"tty", "", false},
        {std::nullopt, std::nullopt, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sessionType.value_or("(unset)") + " " +
                     row.waylandDisplay.value_or("(unset)"));
        const test::ScopedEnvironmentVariable type("XDG_SESSION_TYPE", row.sessionType);
        const test::ScopedEnvironmentVariable display("WAYLAND_DISPLAY", row.waylandDisplay);
        EXPECT_EQ(HotkeyBackendSelector::currentSession().wayland, row.wayland);
    }
}

// The test main runs the offscreen platform, which has no X connection.
TEST(HotkeyBackendSelector, WithoutAnXConnectionNoGrabIsAttempted) {
    EXPECT_FALSE(HotkeyBackendSelector::currentSession().hasX11Connection);
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
