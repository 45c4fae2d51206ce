#include "UnreadableValue.h"

#include "Log.h"
#include "platform/defaults/UserDefaults.h"

#include <string>

namespace quorvane::UnreadableValue {

bool keepAside(UserDefaults& defaults, std::string_view key, std::string_view sideKey) {
    const auto raw = defaults.dataValue(key);
    std::string target(sideKey);
    for (int attempt = 2; defaults.contains(target); ++attempt) {
        if (raw && defaults.dataValue(target) == raw) {
            return true;
        }
        target = std::string(sideKey) + "-" + std::to_string(attempt);
    }
    // A failed save has been logged by the defaults' reporter.
    if (defaults.copyValue(key, target)) {
        return false;
    }
    Log::app().error("%s did not decode whole; the stored value is kept as %s", std::string(key),
                     target);
    return true;
}

} // namespace quorvane::UnreadableValue
