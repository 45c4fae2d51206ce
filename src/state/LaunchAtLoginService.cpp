#include "LaunchAtLoginService.h"

#include "engine/Log.h"
#include "platform/autostart/AutostartEntry.h"

#include <exception>

namespace quorvane {

bool LaunchAtLoginService::setEnabled(bool enabled) const {
    const AutostartEntry entry;
    try {
        if (enabled) {
            entry.registerEntry();
        } else {
            entry.unregisterEntry();
        }
    } catch (const std::exception& error) {
        Log::app().error("LaunchAtLogin toggle failed: %s", error.what());
    }
    return entry.isEnabled();
}

bool LaunchAtLoginService::isEnabled() const {
    return AutostartEntry().isEnabled();
}

} // namespace quorvane
