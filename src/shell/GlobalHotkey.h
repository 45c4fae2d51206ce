// The system-wide key combination that summons the panel. One combination is registered at a
// time, always under the identifier QRVT/1; each press runs onPressed on the main thread, as a
// task of its own posted to the main queue.
#pragma once

#include "platform/hotkey/HotkeyEventManager.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace quorvane {

class MainQueue;

class GlobalHotkey final {
public:
    static constexpr EventHotKeyID hotKeyID{0x51525654 /* 'QRVT' */, 1};

    // Both must outlive this object. Nothing is registered yet.
    GlobalHotkey(
        HotkeyEventManager& eventManager, MainQueue& mainQueue,
        std::function<void()> onPressed = [] {});
    ~GlobalHotkey();

    GlobalHotkey(const GlobalHotkey&) = delete;
    GlobalHotkey& operator=(const GlobalHotkey&) = delete;

    // Read at the moment each press is handled, so a new action applies to the next press
    // without registering again.
    void setOnPressed(std::function<void()> onPressed);

    // Replaces any earlier combination. A combination the system refuses (taken by another
    // application, or not expressible) is not reported and simply never fires.
    void registerHotkey(std::uint32_t keyCode, std::uint32_t modifiers);
    // Safe when nothing is registered.
    void unregister();

    bool isHandlerInstalled() const { return handlerRef_.has_value(); }

private:
    static HotkeyStatus handlePress(const HotKeyPressedEvent& event, void* userData);

    HotkeyEventManager& eventManager_;
    MainQueue& mainQueue_;
    // Shared with the posted press tasks, which may run after this object is gone.
    std::shared_ptr<std::function<void()>> onPressed_;
    std::optional<EventHotKeyRef> hotKeyRef_;
    std::optional<EventHandlerRef> handlerRef_;
};

} // namespace quorvane
