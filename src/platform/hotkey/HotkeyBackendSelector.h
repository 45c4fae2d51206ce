#pragma once

#include "HotkeyBackend.h"
#include "HotkeyEventManager.h"

#include <memory>

namespace quorvane {

class HotkeyBackendSelector {
public:
    // What decides the backend.
    struct Session {
        // The desktop session is Wayland: XDG_SESSION_TYPE is "wayland" or WAYLAND_DISPLAY is set.
        bool wayland = false;
        bool hasX11Connection = false;
        bool hasSessionBus = false;
    };

    // Under Wayland the portal, even though the application itself runs on XWayland: a grab
    // there only sees the keys pressed while an X11 window has the focus. Elsewhere the X11
    // grab, and the portal only for a session without X.
    static HotkeyBackend choose(const Session& session);

    // The session of the running application; call on the main thread after the application
    // object exists. The session bus is only consulted when the choice depends on it.
    static Session currentSession();
    static HotkeyBackend detect();
    static std::unique_ptr<HotkeyEventManager> makeEventManager();
};

} // namespace quorvane
