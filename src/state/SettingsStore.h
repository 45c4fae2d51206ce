// Typed access to the scalar user settings, the one way they are read and written. Every getter
// reads the defaults at the moment it is called; a missing value, a value of the wrong stored type
// or an unknown enumeration text reads as the setting's default, and nothing is reported. A setter
// that cannot save leaves that to the defaults' reporter, which logs it.
#pragma once

#include "Appearance.h"
#include "HotkeyConfig.h"
#include "engine/Length.h"
#include "engine/ProviderID.h"
#include "engine/Tone.h"

#include <string>
#include <string_view>

namespace quorvane {

class UserDefaults;

// Every key the application keeps in the user defaults. JSON values carry a version suffix.
namespace SettingsKey {
inline constexpr std::string_view activeProvider = "quorvane.activeProvider";
inline constexpr std::string_view activeModel = "quorvane.activeModel";
inline constexpr std::string_view tone = "quorvane.tone";
inline constexpr std::string_view length = "quorvane.length";
inline constexpr std::string_view audience = "quorvane.audience";
inline constexpr std::string_view customBaseURL = "quorvane.customBaseURL";
inline constexpr std::string_view autoPrefill = "quorvane.autoPrefill";
inline constexpr std::string_view autoCopyOutput = "quorvane.autoCopyOutput";
inline constexpr std::string_view enableGlobalHotkey = "quorvane.enableGlobalHotkey";
inline constexpr std::string_view hotkey = "quorvane.hotkey.v1";
inline constexpr std::string_view telemetryEnabled = "quorvane.telemetryEnabled";
inline constexpr std::string_view hasCompletedOnboarding = "quorvane.hasCompletedOnboarding";
inline constexpr std::string_view appearance = "quorvane.appearance";
inline constexpr std::string_view showDockIcon = "quorvane.showDockIcon";
inline constexpr std::string_view popoverHeight = "quorvane.popoverHeight";
inline constexpr std::string_view history = "quorvane.history.v1";
inline constexpr std::string_view appShortcuts = "quorvane.appShortcuts.v1";
inline constexpr std::string_view customPresets = "quorvane.customPresets.v1";
inline constexpr std::string_view presetOverrides = "quorvane.presetOverrides.v1";
} // namespace SettingsKey

// A copy reads and writes the same defaults, and may be used on any thread.
class SettingsStore {
public:
    explicit SettingsStore(UserDefaults& defaults)
        : defaults_(&defaults) {}

    // An unknown stored provider reads as the fresh default, OpenAI: this system has no on-device
    // model. A stored "appleFoundation" stays what the user chose.
    ProviderID activeProvider() const;
    void setActiveProvider(ProviderID provider);

    // The stored model, else the default model of the active provider (not written back).
    std::string activeModel() const;
    void setActiveModel(std::string_view model);

    Tone tone() const;
    void setTone(Tone tone);
    Length length() const;
    void setLength(Length length);

    // Plain text, as typed; empty when absent.
    std::string audience() const;
    void setAudience(std::string_view audience);
    // As typed, untrimmed; empty when absent.
    std::string customBaseURL() const;
    void setCustomBaseURL(std::string_view url);

    bool autoPrefillFromClipboard() const;
    void setAutoPrefillFromClipboard(bool enabled);
    bool autoCopyOutput() const;
    void setAutoCopyOutput(bool enabled);
    bool enableGlobalHotkey() const;
    void setEnableGlobalHotkey(bool enabled);
    bool telemetryEnabled() const;
    void setTelemetryEnabled(bool enabled);
    bool hasCompletedOnboarding() const;
    void setHasCompletedOnboarding(bool completed);
    bool showDockIcon() const;
    void setShowDockIcon(bool shown);

    // Anything but "auto" or "light" reads as dark, so a fresh installation starts dark.
    Appearance appearance() const;
    void setAppearance(Appearance appearance);

    // Unclamped; the state keeps it within the panel's range.
    double popoverHeight() const;
    void setPopoverHeight(double height);

    HotkeyConfig hotkey() const;
    // Writes nothing when the combination cannot be encoded.
    void setHotkey(const HotkeyConfig& hotkey);

private:
    bool boolValue(std::string_view key, bool fallback) const;

    UserDefaults* defaults_;
};

} // namespace quorvane
