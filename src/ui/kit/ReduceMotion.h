// Whether the desktop asks for reduced motion: GNOME's enable-animations key
// or KDE's animation speed set to instant. Read once, on first use; tests and
// the showcase can override it. GNOME's key is only asked for on the desktops
// that follow it: elsewhere it holds a default nobody set, and asking means
// starting a process on the way to the first frame.
#pragma once

#include <optional>
#include <string_view>

namespace quorvane {

class ReduceMotion {
public:
    static bool enabled();

    // nullopt goes back to the desktop's setting.
    static void setOverride(std::optional<bool> reduce);

    // Output of `gsettings get org.gnome.desktop.interface enable-animations`;
    // nullopt when it says neither true nor false.
    static std::optional<bool> fromGnomeSetting(std::string_view output);
    // Text of kdeglobals; reduced when [KDE] AnimationDurationFactor is 0.
    static std::optional<bool> fromKdeGlobals(std::string_view text);
    // Whether a desktop, named as XDG_CURRENT_DESKTOP names it (a colon-separated list),
    // takes its animation setting from GNOME's interface settings.
    static bool followsGnomeSettings(std::string_view currentDesktop);

private:
    static bool readDesktop();
};

} // namespace quorvane
