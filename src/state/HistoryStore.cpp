#include "HistoryStore.h"

#include "SettingsStore.h"
#include "platform/defaults/UserDefaults.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <utility>

namespace quorvane {

std::vector<HistoryItem> HistoryStore::load() const {
    const auto data = defaults_.dataValue(SettingsKey::history);
    if (!data) {
        return {};
    }
    const auto array = nlohmann::json::parse(*data, nullptr, false);
    if (!array.is_array()) {
        return {};
    }
    // Every item is decoded, not only the kept ones, so one bad item anywhere rejects the list.
    std::vector<HistoryItem> items;
    items.reserve(array.size());
    for (const auto& element : array) {
        auto item = HistoryItem::decoded(element.dump());
        if (!item) {
            return {};
        }
        items.push_back(std::move(*item));
    }
    if (items.size() > limit) {
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(limit), items.end());
    }
    return items;
}

void HistoryStore::save(const std::vector<HistoryItem>& items) {
    // Each item is already a complete JSON object, so the array is spliced together.
    std::string data = "[";
    for (const auto& item : items) {
        const auto encoded = item.encoded();
        if (!encoded) {
            return;
        }
        if (data.size() > 1) {
            data += ',';
        }
        data += *encoded;
    }
    data += ']';
    defaults_.setData(SettingsKey::history, data);
}

std::vector<HistoryItem> HistoryStore::prepending(HistoryItem item,
                                                  const std::vector<HistoryItem>& items) {
    std::vector<HistoryItem> result;
    result.reserve(limit);
    result.push_back(std::move(item));
    const auto kept = std::min(items.size(), limit - 1);
    result.insert(result.end(), items.begin(), items.begin() + static_cast<std::ptrdiff_t>(kept));
    return result;
}

} // namespace quorvane
