#include "PresetOverrideStore.h"

#include "platform/defaults/UserDefaults.h"

#include <algorithm>

namespace quorvane {

PresetOverrideStore::PresetOverrideStore(UserDefaults& defaults, std::string key)
    : defaults_(defaults)
    , key_(std::move(key)) {}

std::vector<PresetOverride> PresetOverrideStore::loadAll() const {
    const auto data = defaults_.dataValue(key_);
    if (!data) {
        return {};
    }
    return PresetOverride::decodeList(*data).value_or(std::vector<PresetOverride>{});
}

void PresetOverrideStore::saveAll(const std::vector<PresetOverride>& overrides) {
    if (const auto data = PresetOverride::encodeList(overrides)) {
        defaults_.setData(key_, *data);
    }
}

void PresetOverrideStore::upsert(const PresetOverride& item) {
    auto overrides = loadAll();
    const auto same = std::find_if(overrides.begin(), overrides.end(), [&](const auto& candidate) {
        return candidate.presetRawValue == item.presetRawValue;
    });
    if (same != overrides.end()) {
        *same = item;
    } else {
        overrides.push_back(item);
    }
    saveAll(overrides);
}

std::optional<PresetOverride> PresetOverrideStore::activeOverride(Preset preset) const {
    const auto raw = rawValue(preset);
    for (auto& candidate : loadAll()) {
        if (candidate.presetRawValue == raw && candidate.isActive) {
            return std::move(candidate);
        }
    }
    return std::nullopt;
}

} // namespace quorvane
