#include "SettingsStore.h"

#include "engine/ProviderConfig.h"
#include "platform/defaults/UserDefaults.h"

#include <utility>

namespace quorvane {
namespace {

template <typename Enum>
Enum enumValue(const UserDefaults& defaults, std::string_view key, Enum fallback) {
    const auto text = defaults.stringValue(key);
    if (!text) {
        return fallback;
    }
    return fromRawValue<Enum>(*text).value_or(fallback);
}

} // namespace

ProviderID SettingsStore::activeProvider() const {
    return enumValue(defaults_, SettingsKey::activeProvider, ProviderID::appleFoundation);
}

void SettingsStore::setActiveProvider(ProviderID provider) {
    defaults_.setString(SettingsKey::activeProvider, rawValue(provider));
}

std::string SettingsStore::activeModel() const {
    if (auto model = defaults_.stringValue(SettingsKey::activeModel)) {
        return std::move(*model);
    }
    return ProviderConfig::config(activeProvider()).defaultModel;
}

Tone SettingsStore::tone() const {
    return enumValue(defaults_, SettingsKey::tone, Tone::auto_);
}

void SettingsStore::setTone(Tone tone) {
    defaults_.setString(SettingsKey::tone, rawValue(tone));
}

Length SettingsStore::length() const {
    return enumValue(defaults_, SettingsKey::length, Length::auto_);
}

void SettingsStore::setLength(Length length) {
    defaults_.setString(SettingsKey::length, rawValue(length));
}

bool SettingsStore::autoPrefillFromClipboard() const {
    return boolValue(SettingsKey::autoPrefill, true);
}

bool SettingsStore::autoCopyOutput() const {
    return boolValue(SettingsKey::autoCopyOutput, false);
}

bool SettingsStore::enableGlobalHotkey() const {
    return boolValue(SettingsKey::enableGlobalHotkey, true);
}

bool SettingsStore::telemetryEnabled() const {
    return boolValue(SettingsKey::telemetryEnabled, false);
}

bool SettingsStore::hasCompletedOnboarding() const {
    return boolValue(SettingsKey::hasCompletedOnboarding, false);
}

bool SettingsStore::showDockIcon() const {
    return boolValue(SettingsKey::showDockIcon, true);
}

Appearance SettingsStore::appearance() const {
    const auto text = defaults_.stringValue(SettingsKey::appearance);
    if (text == "auto") {
        return Appearance::auto_;
    }
    if (text == "light") {
        return Appearance::light;
    }
    return Appearance::dark;
}

double SettingsStore::popoverHeight() const {
    return defaults_.doubleValue(SettingsKey::popoverHeight).value_or(600.0);
}

HotkeyConfig SettingsStore::hotkey() const {
    const auto data = defaults_.dataValue(SettingsKey::hotkey);
    if (!data) {
        return HotkeyConfig::defaultHotkey();
    }
    return HotkeyConfig::decoded(*data).value_or(HotkeyConfig::defaultHotkey());
}

void SettingsStore::setHotkey(const HotkeyConfig& hotkey) {
    if (const auto data = hotkey.encoded()) {
        defaults_.setData(SettingsKey::hotkey, *data);
    }
}

bool SettingsStore::boolValue(std::string_view key, bool fallback) const {
    return defaults_.boolValue(key).value_or(fallback);
}

} // namespace quorvane
