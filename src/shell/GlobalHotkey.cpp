#include "GlobalHotkey.h"

#include "platform/task/MainQueue.h"

#include <utility>

namespace quorvane {

GlobalHotkey::GlobalHotkey(HotkeyEventManager& eventManager, MainQueue& mainQueue,
                           std::function<void()> onPressed)
    : eventManager_(eventManager)
    , mainQueue_(mainQueue)
    , onPressed_(std::make_shared<std::function<void()>>(std::move(onPressed))) {}

GlobalHotkey::~GlobalHotkey() {
    unregister();
}

void GlobalHotkey::setOnPressed(std::function<void()> onPressed) {
    *onPressed_ = std::move(onPressed);
}

void GlobalHotkey::registerHotkey(std::uint32_t keyCode, std::uint32_t modifiers) {
    unregister();
    // Neither status is examined: a combination that cannot be had leaves the application running
    // without a hot key, and the references stay as the event manager left them.
    eventManager_.installEventHandler(&GlobalHotkey::handlePress, this, handlerRef_);
    eventManager_.registerEventHotKey(keyCode, modifiers, hotKeyID, 0, hotKeyRef_);
}

void GlobalHotkey::unregister() {
    if (hotKeyRef_) {
        eventManager_.unregisterEventHotKey(*hotKeyRef_);
        hotKeyRef_.reset();
    }
    if (handlerRef_) {
        eventManager_.removeEventHandler(*handlerRef_);
        handlerRef_.reset();
    }
}

HotkeyStatus GlobalHotkey::handlePress(const HotKeyPressedEvent&, void* userData) {
    if (userData == nullptr) {
        return HotkeyStatus::noError;
    }
    auto* self = static_cast<GlobalHotkey*>(userData);
    self->mainQueue_.post([onPressed = self->onPressed_] {
        // A copy, so that an action which replaces onPressed does not destroy itself mid-call.
        const auto action = *onPressed;
        if (action) {
            action();
        }
    });
    return HotkeyStatus::noError;
}

} // namespace quorvane
