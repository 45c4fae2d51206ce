#include "HistoryStore.h"

#include "SettingsStore.h"
#include "engine/UnreadableValue.h"
#include "platform/defaults/UserDefaults.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <utility>

namespace quorvane {

namespace {

// The longest prefix of at most `maximum` bytes that ends on a character boundary.
void cutAtCharacterBoundary(std::string& text, std::size_t maximum) {
    if (text.size() <= maximum) {
        return;
    }
    std::size_t end = maximum;
    // A UTF-8 sequence is at most four bytes: step back over the continuation bytes of the one
    // the cut would split.
    for (int step = 0;
         step < 3 && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80; ++step) {
        --end;
    }
    text.resize(end);
}

HistoryItem storable(HistoryItem item) {
    cutAtCharacterBoundary(item.input, HistoryStore::maximumTextBytes);
    cutAtCharacterBoundary(item.output, HistoryStore::maximumTextBytes);
    return item;
}

} // namespace

std::vector<HistoryItem> HistoryStore::load() const {
    auto items = stored().items;
    if (items.size() > limit) {
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(limit), items.end());
    }
    return items;
}

void HistoryStore::save(const std::vector<HistoryItem>& items) {
    // Each item is already a complete JSON object, so the array is spliced together, newest
    // first. An item too large for the room left is passed over, not the end of the list:
    // escaping can make one item larger than the whole budget, and the older ones still fit.
    std::string data = "[";
    for (const auto& item : items) {
        const auto encoded = storable(item).encoded();
        if (!encoded) {
            return;
        }
        if (data.size() + encoded->size() + 2 > maximumStoredBytes) {
            continue;
        }
        if (data.size() > 1) {
            data += ',';
        }
        data += *encoded;
    }
    data += ']';
    if (!stored().whole &&
        !UnreadableValue::keepAside(defaults_, SettingsKey::history, unreadableKey)) {
        return;
    }
    defaults_.setData(SettingsKey::history, data);
}

std::vector<HistoryItem> HistoryStore::prepending(HistoryItem item,
                                                  const std::vector<HistoryItem>& items) {
    std::vector<HistoryItem> result;
    result.reserve(limit);
    result.push_back(storable(std::move(item)));
    const auto kept = std::min(items.size(), limit - 1);
    result.insert(result.end(), items.begin(), items.begin() + static_cast<std::ptrdiff_t>(kept));
    return result;
}

// Every stored item is decoded, not only the kept ones, so that a list with an item this version
// cannot read is known before a save replaces it.
HistoryStore::Stored HistoryStore::stored() const {
    if (!defaults_.contains(SettingsKey::history)) {
        return {};
    }
    const auto data = defaults_.dataValue(SettingsKey::history);
    const auto array = data ? nlohmann::json::parse(*data, nullptr, false) : nlohmann::json();
    if (!array.is_array()) {
        return {{}, false};
    }
    Stored result;
    result.items.reserve(array.size());
    for (const auto& element : array) {
        if (auto item = HistoryItem::decoded(element.dump())) {
            result.items.push_back(std::move(*item));
        } else {
            result.whole = false;
        }
    }
    return result;
}

} // namespace quorvane
