// Registers the application to start at login. A change that the system
// refuses is logged, and the returned status tells the caller the real state,
// so a switch bound to it falls back.
#pragma once

namespace quorvane {

class LaunchAtLoginService {
public:
    // Registers or unregisters the login item; returns whether it is now registered.
    bool setEnabled(bool enabled) const;
    bool isEnabled() const;
};

} // namespace quorvane
