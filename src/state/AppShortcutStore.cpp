#include "AppShortcutStore.h"

#include "platform/defaults/UserDefaults.h"

#include <utility>

namespace quorvane {

AppShortcutStore::AppShortcutStore()
    : AppShortcutStore(UserDefaults::standard()) {}

AppShortcutStore::AppShortcutStore(UserDefaults& defaults)
    : defaults_(defaults) {
    const auto data = defaults_.dataValue(key);
    if (!data) {
        return;
    }
    if (auto stored = AppShortcuts::decoded(*data)) {
        shortcuts_ = std::move(*stored);
    }
}

void AppShortcutStore::setShortcuts(const AppShortcuts& shortcuts) {
    shortcuts_ = shortcuts;
    assigned();
}

void AppShortcutStore::setShortcut(AppShortcutAction action, const HotkeyConfig& config) {
    shortcuts_.shortcut(action) = config;
    assigned();
}

void AppShortcutStore::save() {
    if (const auto data = shortcuts_.encoded()) {
        defaults_.setData(key, *data);
    }
}

void AppShortcutStore::setOnChanged(std::function<void(const AppShortcuts&)> observer) {
    onChanged_ = std::move(observer);
}

void AppShortcutStore::assigned() {
    save();
    if (onChanged_) {
        onChanged_(shortcuts_);
    }
}

} // namespace quorvane
