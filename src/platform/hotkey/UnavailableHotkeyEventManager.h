#pragma once

#include "HotkeyEventManager.h"
#include "HotkeyHandlerList.h"

namespace quorvane {

// The event manager of a session without any hot-key service (no X server, no portal): handlers
// install, but no combination can be registered, so nothing ever fires.
class UnavailableHotkeyEventManager final : public HotkeyEventManager {
public:
    HotkeyStatus installEventHandler(EventHandlerProc handler, void* userData,
                                     std::optional<EventHandlerRef>& outRef) override;
    HotkeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                     EventHotKeyID hotKeyID, std::uint32_t options,
                                     std::optional<EventHotKeyRef>& outRef) override;
    HotkeyStatus unregisterEventHotKey(EventHotKeyRef ref) override;
    HotkeyStatus removeEventHandler(EventHandlerRef ref) override;

private:
    HotkeyHandlerList handlers_;
};

} // namespace quorvane
