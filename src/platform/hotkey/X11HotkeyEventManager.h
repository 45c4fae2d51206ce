#pragma once

#include "HotkeyEventManager.h"
#include "HotkeyHandlerList.h"
#include "X11KeyboardMapping.h"

#include <QAbstractNativeEventFilter>

#include <map>
#include <vector>

struct xcb_connection_t;

namespace quorvane {

// Hot keys as passive key grabs on the root windows of the application's X connection. Each
// combination is grabbed four times, with and without Caps Lock and Num Lock, because the X server
// matches modifiers exactly. A combination another client has grabbed is refused (hotKeyExists).
// Presses arrive through Qt's native event filter on the main thread; auto-repeat is dropped.
class X11HotkeyEventManager final : public HotkeyEventManager, public QAbstractNativeEventFilter {
public:
    // The connection is Qt's; it must outlive this object.
    explicit X11HotkeyEventManager(xcb_connection_t* connection);
    ~X11HotkeyEventManager() override;

    X11HotkeyEventManager(const X11HotkeyEventManager&) = delete;
    X11HotkeyEventManager& operator=(const X11HotkeyEventManager&) = delete;

    HotkeyStatus installEventHandler(EventHandlerProc handler, void* userData,
                                     std::optional<EventHandlerRef>& outRef) override;
    HotkeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                     EventHotKeyID hotKeyID, std::uint32_t options,
                                     std::optional<EventHotKeyRef>& outRef) override;
    HotkeyStatus unregisterEventHotKey(EventHotKeyRef ref) override;
    HotkeyStatus removeEventHandler(EventHandlerRef ref) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Registration {
        std::uint32_t virtualKeyCode;
        std::uint16_t modifierMask;
        EventHotKeyID hotKeyID;
        // 0 while the current keyboard mapping has no key for it.
        std::uint8_t keycode = 0;
    };

    void loadKeyboardMapping();
    std::uint8_t keycodeFor(std::uint32_t virtualKeyCode) const;
    bool grab(std::uint8_t keycode, std::uint16_t modifierMask);
    void ungrab(std::uint8_t keycode, std::uint16_t modifierMask);
    void regrabAll();

    bool handleKeyPress(const void* event);
    bool handleKeyRelease(const void* event);
    bool isMappingChange(const void* event) const;

    xcb_connection_t* connection_;
    std::vector<std::uint32_t> roots_;
    std::uint8_t xkbFirstEvent_ = 0;
    X11KeyboardMapping mapping_;
    HotkeyHandlerList handlers_;
    std::map<std::uint64_t, Registration> registrations_;
    std::uint64_t nextRef_ = 1;
    // The grabbed key that is down now, so that its auto-repeat presses are recognised.
    std::uint8_t heldKeycode_ = 0;
    std::uint32_t lastReleaseTime_ = 0;
    std::uint8_t lastReleasedKeycode_ = 0;
};

} // namespace quorvane
