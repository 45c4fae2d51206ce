#pragma once

#include "HistoryItem.h"

#include <cstddef>
#include <vector>

namespace quorvane {

class UserDefaults;

// The kept enhancements, newest first, as one JSON array in the user defaults. Holds no copy of
// the list: the state owns it in memory and saves it after every change.
class HistoryStore {
public:
    static constexpr std::size_t limit = 20;

    explicit HistoryStore(UserDefaults& defaults)
        : defaults_(defaults) {}

    // At most the first `limit` stored items; empty when nothing is stored or when any item fails
    // to decode. Never rewrites the stored data.
    std::vector<HistoryItem> load() const;

    // Replaces the stored array, also with an empty one; writes nothing when an item cannot be
    // encoded.
    void save(const std::vector<HistoryItem>& items);

    // The item followed by the current ones, cut to `limit`, so the oldest falls off.
    static std::vector<HistoryItem> prepending(HistoryItem item,
                                               const std::vector<HistoryItem>& items);

private:
    UserDefaults& defaults_;
};

} // namespace quorvane
