#pragma once

namespace quorvane {

// Which service delivers the global hot key in this session.
enum class HotkeyBackend {
    // Key grabs on the X server the application is connected to.
    x11,
    // The desktop portal's GlobalShortcuts, for Wayland sessions and sessions without X.
    portal,
    // Neither: registration fails and nothing fires.
    none,
};

} // namespace quorvane
