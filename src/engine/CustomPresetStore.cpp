#include "CustomPresetStore.h"

#include "platform/defaults/UserDefaults.h"

namespace quorvane {

CustomPresetStore::CustomPresetStore(UserDefaults& defaults, std::string key)
    : defaults_(defaults)
    , key_(std::move(key)) {}

std::vector<CustomPreset> CustomPresetStore::load() const {
    const auto data = defaults_.dataValue(key_);
    if (!data) {
        return {};
    }
    return CustomPreset::decodeList(*data).value_or(std::vector<CustomPreset>{});
}

void CustomPresetStore::save(const std::vector<CustomPreset>& presets) {
    if (const auto data = CustomPreset::encodeList(presets)) {
        defaults_.setData(key_, *data);
    }
}

} // namespace quorvane
