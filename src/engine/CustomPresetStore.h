#pragma once

#include "CustomPreset.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class UserDefaults;

// The user's own presets, in the user's order, kept as one JSON array (as
// data) under one key. Nothing is cached; a missing or unreadable value reads
// as no presets.
class CustomPresetStore {
public:
    static constexpr std::string_view defaultKey = "quorvane.customPresets.v1";

    explicit CustomPresetStore(UserDefaults& defaults, std::string key = std::string(defaultKey));

    std::vector<CustomPreset> load() const;
    // Replaces the whole stored list; writes nothing when it cannot be encoded.
    void save(const std::vector<CustomPreset>& presets);

private:
    UserDefaults& defaults_;
    std::string key_;
};

} // namespace quorvane
