#include "CustomPresetStore.h"

#include "UnreadableValue.h"
#include "platform/defaults/UserDefaults.h"

namespace quorvane {

CustomPresetStore::CustomPresetStore(UserDefaults& defaults, std::string key,
                                     std::string unreadableKey)
    : defaults_(defaults)
    , key_(std::move(key))
    , unreadableKey_(std::move(unreadableKey)) {}

std::vector<CustomPreset> CustomPresetStore::load() const {
    return stored().presets;
}

void CustomPresetStore::save(const std::vector<CustomPreset>& presets) {
    const auto data = CustomPreset::encodeList(presets);
    if (!data) {
        return;
    }
    if (!stored().whole && !UnreadableValue::keepAside(defaults_, key_, unreadableKey_)) {
        return;
    }
    defaults_.setData(key_, *data);
}

CustomPreset::DecodedList CustomPresetStore::stored() const {
    if (!defaults_.contains(key_)) {
        return {};
    }
    const auto data = defaults_.dataValue(key_);
    if (!data) {
        return {{}, false};
    }
    return CustomPreset::decodeList(*data);
}

} // namespace quorvane
