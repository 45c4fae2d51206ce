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
    return enumValue(*defaults_, SettingsKey::activeProvider, ProviderID::openAI);
}

void SettingsStore::setActiveProvider(ProviderID provider) {
    defaults_->setString(SettingsKey::activeProvider, rawValue(provider));
}

std::string SettingsStore::activeModel() const {
    if (auto model = defaults_->stringValue(SettingsKey::activeModel)) {
        return std::move(*model);
    }
    return ProviderConfig::config(activeProvider()).defaultModel;
}

void SettingsStore::setActiveModel(std::string_view model) {
    defaults_->setString(SettingsKey::activeModel, model);
}

Tone SettingsStore::tone() const {
    return enumValue(*defaults_, SettingsKey::tone, Tone::auto_);
}

void SettingsStore::setTone(Tone tone) {
    defaults_->setString(SettingsKey::tone, rawValue(tone));
}

Length SettingsStore::length() const {
    return enumValue(*defaults_, SettingsKey::length, Length::auto_);
}

void SettingsStore::setLength(Length length) {
    defaults_->setString(SettingsKey::length, rawValue(length));
}

std::string SettingsStore::audience() const {
    return defaults_->stringValue(SettingsKey::audience).value_or("");
}

void SettingsStore::setAudience(std::string_view audience) {
    defaults_->setString(SettingsKey::audience, audience);
}

std::string SettingsStore::customBaseURL() const {
    return defaults_->stringValue(SettingsKey::customBaseURL).value_or("");
}

void SettingsStore::setCustomBaseURL(std::string_view url) {
    defaults_->setString(SettingsKey::customBaseURL, url);
}

bool SettingsStore::autoPrefillFromClipboard() const {
    return boolValue(SettingsKey::autoPrefill, true);
}

void SettingsStore::setAutoPrefillFromClipboard(bool enabled) {
    defaults_->setBool(SettingsKey::autoPrefill, enabled);
}

bool SettingsStore::autoCopyOutput() const {
    return boolValue(SettingsKey::autoCopyOutput, false);
}

void SettingsStore::setAutoCopyOutput(bool enabled) {
    defaults_->setBool(SettingsKey::autoCopyOutput, enabled);
}

bool SettingsStore::enableGlobalHotkey() const {
    return boolValue(SettingsKey::enableGlobalHotkey, true);
}

void SettingsStore::setEnableGlobalHotkey(bool enabled) {
    defaults_->setBool(SettingsKey::enableGlobalHotkey, enabled);
}

bool SettingsStore::telemetryEnabled() const {
    return boolValue(SettingsKey::telemetryEnabled, false);
}

void SettingsStore::setTelemetryEnabled(bool enabled) {
    defaults_->setBool(SettingsKey::telemetryEnabled, enabled);
}

bool SettingsStore::hasCompletedOnboarding() const {
    return boolValue(SettingsKey::hasCompletedOnboarding, false);
}

void SettingsStore::setHasCompletedOnboarding(bool completed) {
    defaults_->setBool(SettingsKey::hasCompletedOnboarding, completed);
}

bool SettingsStore::showDockIcon() const {
    return boolValue(SettingsKey::showDockIcon, true);
}

void SettingsStore::setShowDockIcon(bool shown) {
    defaults_->setBool(SettingsKey::showDockIcon, shown);
}

Appearance SettingsStore::appearance() const {
    const auto text = defaults_->stringValue(SettingsKey::appearance);
    if (text == "auto") {
        return Appearance::auto_;
    }
    if (text == "light") {
        return Appearance::light;
    }
    return Appearance::dark;
}

void SettingsStore::setAppearance(Appearance appearance) {
    defaults_->setString(SettingsKey::appearance, rawValue(appearance));
}

double SettingsStore::popoverHeight() const {
    return defaults_->doubleValue(SettingsKey::popoverHeight).value_or(600.0);
}

void SettingsStore::setPopoverHeight(double height) {
    defaults_->setDouble(SettingsKey::popoverHeight, height);
}

HotkeyConfig SettingsStore::hotkey() const {
    const auto data = defaults_->dataValue(SettingsKey::hotkey);
    if (!data) {
        return HotkeyConfig::defaultHotkey();
    }
    return HotkeyConfig::decoded(*data).value_or(HotkeyConfig::defaultHotkey());
}

void SettingsStore::setHotkey(const HotkeyConfig& hotkey) {
    if (const auto data = hotkey.encoded()) {
        defaults_->setData(SettingsKey::hotkey, *data);
    }
}

bool SettingsStore::boolValue(std::string_view key, bool fallback) const {
    return defaults_->boolValue(key).value_or(fallback);
}

} // namespace quorvane
