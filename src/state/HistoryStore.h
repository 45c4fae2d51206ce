#pragma once

#include "HistoryItem.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace quorvane {

class UserDefaults;

// The kept enhancements, newest first, as one JSON array in the user defaults. Holds no copy of
// the list: the state owns it in memory and saves it after every change.
class HistoryStore {
public:
    static constexpr std::size_t limit = 20;
    // Each item keeps at most this much of its input and of its output, cut at a character
    // boundary: the editor holds the whole text, the history only enough to recognise it.
    static constexpr std::size_t maximumTextBytes = 1024 * 1024;
    // The stored array keeps, newest first, the items that fit in this many bytes, so the
    // settings file stays small.
    static constexpr std::size_t maximumStoredBytes = 4 * 1024 * 1024;
    static constexpr std::string_view unreadableKey = "quorvane.history.v1.unreadable";

    explicit HistoryStore(UserDefaults& defaults)
        : defaults_(defaults) {}

    // At most the first `limit` stored items that decode. Never rewrites the stored data.
    std::vector<HistoryItem> load() const;

    // Replaces the stored array, also with an empty one, leaving out each item that no longer
    // fits after the newer ones. A stored value that did not decode whole is first copied to
    // `unreadableKey`, and nothing is written when that copy fails or an item cannot be encoded.
    void save(const std::vector<HistoryItem>& items);

    // The item, its texts cut to `maximumTextBytes`, followed by the current ones, cut to
    // `limit`, so the oldest falls off.
    static std::vector<HistoryItem> prepending(HistoryItem item,
                                               const std::vector<HistoryItem>& items);

private:
    struct Stored {
        std::vector<HistoryItem> items;
        bool whole = true;
    };
    Stored stored() const;

    UserDefaults& defaults_;
};

} // namespace quorvane
