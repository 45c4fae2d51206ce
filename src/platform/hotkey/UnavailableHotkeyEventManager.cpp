#include "UnavailableHotkeyEventManager.h"

namespace quorvane {

HotkeyStatus
UnavailableHotkeyEventManager::installEventHandler(EventHandlerProc handler, void* userData,
                                                   std::optional<EventHandlerRef>& outRef) {
    outRef = handlers_.add(handler, userData);
    return HotkeyStatus::noError;
}

HotkeyStatus UnavailableHotkeyEventManager::registerEventHotKey(std::uint32_t, std::uint32_t,
                                                                EventHotKeyID, std::uint32_t,
                                                                std::optional<EventHotKeyRef>&) {
    return HotkeyStatus::unavailable;
}

HotkeyStatus UnavailableHotkeyEventManager::unregisterEventHotKey(EventHotKeyRef) {
    return HotkeyStatus::invalidReference;
}

HotkeyStatus UnavailableHotkeyEventManager::removeEventHandler(EventHandlerRef ref) {
    return handlers_.remove(ref) ? HotkeyStatus::noError : HotkeyStatus::invalidReference;
}

} // namespace quorvane
