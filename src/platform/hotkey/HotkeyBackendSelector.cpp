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

bool isWaylandSession() {
    return qgetenv("XDG_SESSION_TYPE") == "wayland" ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

HotkeyBackend HotkeyBackendSelector::choose(const Session& session) {
    if (session.hasX11Connection && !session.wayland) {
        return HotkeyBackend::x11;
    }
    return session.hasSessionBus ? HotkeyBackend::portal : HotkeyBackend::none;
}

HotkeyBackendSelector::Session HotkeyBackendSelector::currentSession() {
    Session session{isWaylandSession(), x11Connection() != nullptr, false};
    if (session.wayland || !session.hasX11Connection) {
        session.hasSessionBus = QDBusConnection::sessionBus().isConnected();
    }
    return session;
}

HotkeyBackend HotkeyBackendSelector::detect() {
    return choose(currentSession());
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
