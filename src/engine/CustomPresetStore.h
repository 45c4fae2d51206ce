#pragma once

#include "CustomPreset.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class UserDefaults;

// The user's own presets, in the user's order, kept as one JSON array (as
// data) under one key. Nothing is cached; a missing value reads as no presets.
// A stored list that does not decode whole reads as the presets that do, and
// its raw value is copied to a side key before the first save replaces it.
class CustomPresetStore {
public:
    static constexpr std::string_view defaultKey = "quorvane.customPresets.v1";
    static constexpr std::string_view defaultUnreadableKey = "quorvane.customPresets.unreadable";

    explicit CustomPresetStore(UserDefaults& defaults, std::string key = std::string(defaultKey),
                               std::string unreadableKey = std::string(defaultUnreadableKey));

    std::vector<CustomPreset> load() const;
    // Replaces the whole stored list; writes nothing when it cannot be encoded, or when a stored
    // list that does not decode whole could not be kept aside.
    void save(const std::vector<CustomPreset>& presets);

private:
    CustomPreset::DecodedList stored() const;

    UserDefaults& defaults_;
    std::string key_;
    std::string unreadableKey_;
};

} // namespace quorvane
