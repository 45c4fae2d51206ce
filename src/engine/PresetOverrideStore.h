#pragma once

#include "Preset.h"
#include "PresetOverride.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class UserDefaults;

// The overrides of built-in presets, kept as one JSON array (as data) under
// one key. Nothing is cached: every read decodes the stored value anew, and a
// missing or unreadable value reads as no overrides.
class PresetOverrideStore {
public:
    static constexpr std::string_view defaultKey = "quorvane.presetOverrides.v1";

    explicit PresetOverrideStore(UserDefaults& defaults, std::string key = std::string(defaultKey));

    std::vector<PresetOverride> loadAll() const;
    // Writes nothing when the list cannot be encoded.
    void saveAll(const std::vector<PresetOverride>& overrides);
    // Replaces the first override of the same preset in place, or appends.
    void upsert(const PresetOverride& item);
    // The first stored override of the preset that is active.
    std::optional<PresetOverride> activeOverride(Preset preset) const;

private:
    UserDefaults& defaults_;
    std::string key_;
};

} // namespace quorvane
