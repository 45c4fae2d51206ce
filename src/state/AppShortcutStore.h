#pragma once

#include "AppShortcuts.h"
#include "SettingsStore.h"

#include <functional>
#include <string_view>

namespace quorvane {

class UserDefaults;

// The in-app shortcuts as the interface sees them: loaded once, and saved after every assignment,
// so the stored value always matches the last one assigned.
class AppShortcutStore {
public:
    static constexpr std::string_view key = SettingsKey::appShortcuts;

    // Over the standard user defaults.
    AppShortcutStore();
    // Loads the stored shortcuts; absent or undecodable data gives the built-in ones. Never writes.
    explicit AppShortcutStore(UserDefaults& defaults);

    AppShortcutStore(const AppShortcutStore&) = delete;
    AppShortcutStore& operator=(const AppShortcutStore&) = delete;

    const AppShortcuts& shortcuts() const { return shortcuts_; }

    // Each assignment saves, also when nothing changed, then tells the observer.
    void setShortcuts(const AppShortcuts& shortcuts);
    void setShortcut(AppShortcutAction action, const HotkeyConfig& config);

    // Writes the current shortcuts; a value that cannot be encoded leaves the stored data as it is.
    void save();

    // Called after every assignment with the new shortcuts.
    void setOnChanged(std::function<void(const AppShortcuts&)> observer);

private:
    void assigned();

    UserDefaults& defaults_;
    AppShortcuts shortcuts_;
    std::function<void(const AppShortcuts&)> onChanged_;
};

} // namespace quorvane
