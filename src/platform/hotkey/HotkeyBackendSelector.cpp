#include "HotkeyBackendSelector.h"

#include "PortalHotkeyEventManager.h"
#include "UnavailableHotkeyEventManager.h"
#include "X11HotkeyEventManager.h"

#include <QDBusConnection>
#include <QGuiApplication>

namespace quorvane {
namespace {

xcb_connection_t* x11Connection() {
    auto* application = qGuiApp;
    if (application == nullptr) {
        return nullptr;
    }
    auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace

HotkeyBackend HotkeyBackendSelector::choose(bool hasX11Connection, bool hasSessionBus) {
    if (hasX11Connection) {
        return HotkeyBackend::x11;
    }
    return hasSessionBus ? HotkeyBackend::portal : HotkeyBackend::none;
}

HotkeyBackend HotkeyBackendSelector::detect() {
    if (x11Connection() != nullptr) {
        return HotkeyBackend::x11;
    }
    return choose(false, QDBusConnection::sessionBus().isConnected());
}

std::unique_ptr<HotkeyEventManager> HotkeyBackendSelector::makeEventManager() {
    switch (detect()) {
    case HotkeyBackend::x11:
        return std::make_unique<X11HotkeyEventManager>(x11Connection());
    case HotkeyBackend::portal:
        return std::make_unique<PortalHotkeyEventManager>(QDBusConnection::sessionBus());
    case HotkeyBackend::none:
        break;
    }
    return std::make_unique<UnavailableHotkeyEventManager>();
}

} // namespace quorvane
