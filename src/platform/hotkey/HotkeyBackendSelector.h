#pragma once

#include "HotkeyBackend.h"
#include "HotkeyEventManager.h"

#include <memory>

namespace quorvane {

class HotkeyBackendSelector {
public:
    // X11 wherever the application has an X connection (also under XWayland when Qt chose xcb);
    // the portal only when there is none but a session bus is there to reach it.
    static HotkeyBackend choose(bool hasX11Connection, bool hasSessionBus);

    // The backend for the running application; call on the main thread after the application
    // object exists. The session bus is only consulted when there is no X connection.
    static HotkeyBackend detect();
    static std::unique_ptr<HotkeyEventManager> makeEventManager();
};

} // namespace quorvane
