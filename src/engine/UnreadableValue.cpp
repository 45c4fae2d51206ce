#include "UnreadableValue.h"

#include "Log.h"
#include "platform/defaults/UserDefaults.h"

#include <array>
#include <string>

namespace quorvane::UnreadableValue {

namespace {

std::array<std::string, sideCopies> sideKeys(std::string_view sideKey) {
    std::array<std::string, sideCopies> keys;
    keys[0] = std::string(sideKey);
    for (std::size_t slot = 1; slot < keys.size(); ++slot) {
        keys[slot] = std::string(sideKey) + "-" + std::to_string(slot + 1);
    }
    return keys;
}

// A failed save has been logged by the defaults' reporter.
bool copied(UserDefaults& defaults, std::string_view key, const std::string& target) {
    if (defaults.copyValue(key, target)) {
        return false;
    }
    Log::app().error("%s did not decode whole; the stored value is kept as %s", std::string(key),
                     target);
    return true;
}

} // namespace

bool keepAside(UserDefaults& defaults, std::string_view key, std::string_view sideKey) {
    const auto raw = defaults.dataValue(key);
    const auto keys = sideKeys(sideKey);
    const std::string* target = &keys.back();
    for (const auto& side : keys) {
        if (!defaults.contains(side)) {
            target = &side;
            break;
        }
        if (raw && defaults.dataValue(side) == raw) {
            return true;
        }
    }
    if (copied(defaults, key, *target)) {
        return true;
    }
    // The earlier copies may be what leaves no room in the file: they give way, the latest
    // first, so that the value about to be replaced is kept and saving goes on.
    for (auto side = keys.rbegin(); side != keys.rend(); ++side) {
        if (*side == *target || !defaults.contains(*side)) {
            continue;
        }
        defaults.remove(*side);
        Log::app().error("%s was removed to make room for a copy of %s", *side, std::string(key));
        if (copied(defaults, key, *target)) {
            return true;
        }
    }
    return false;
}

} // namespace quorvane::UnreadableValue
