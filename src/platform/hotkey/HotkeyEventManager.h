// The event manager that delivers system-wide hot keys to the application: handlers installed on
// the application's event target, and key combinations registered with it. Backends sit on the X
// server or on the desktop portal; a registration the backend cannot make simply never fires.
#pragma once

#include <cstdint>
#include <optional>

namespace quorvane {

enum class HotkeyStatus : std::int32_t {
    noError = 0,
    // Another client owns the combination.
    hotKeyExists = -9878,
    // The key or the modifiers cannot be expressed on this backend.
    hotKeyInvalid = -9879,
    // The handler declined the event; the next handler gets it.
    eventNotHandled = -9874,
    // The reference names nothing this manager knows.
    invalidReference = -50,
    // No hot-key service in this session.
    unavailable = -9880,
};

// Which registration fired: a four-character signature and a number of the caller's choosing.
struct EventHotKeyID {
    std::uint32_t signature = 0;
    std::uint32_t id = 0;

    bool operator==(const EventHotKeyID&) const = default;
};

enum class EventHotKeyRef : std::uint64_t {};
enum class EventHandlerRef : std::uint64_t {};

struct HotKeyPressedEvent {
    EventHotKeyID hotKeyID;
};

// Called on the main thread for each press. Returning anything but eventNotHandled stops the
// event from reaching the handlers installed before this one.
using EventHandlerProc = HotkeyStatus (*)(const HotKeyPressedEvent& event, void* userData);

class HotkeyEventManager {
public:
    virtual ~HotkeyEventManager() = default;

    // Handlers run newest first. outRef is set on success only.
    virtual HotkeyStatus installEventHandler(EventHandlerProc handler, void* userData,
                                             std::optional<EventHandlerRef>& outRef) = 0;

    // keyCode is a virtual key code, modifiers are Carbon-style bits (command 0x100, shift 0x200,
    // option 0x800, control 0x1000). outRef is set on success only.
    virtual HotkeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                             EventHotKeyID hotKeyID, std::uint32_t options,
                                             std::optional<EventHotKeyRef>& outRef) = 0;

    virtual HotkeyStatus unregisterEventHotKey(EventHotKeyRef ref) = 0;
    virtual HotkeyStatus removeEventHandler(EventHandlerRef ref) = 0;
};

} // namespace quorvane
