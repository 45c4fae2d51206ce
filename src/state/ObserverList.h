#pragma once

#include "Subscription.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace quorvane {

// The callbacks registered by a subject's observers. An observer may
// subscribe or unsubscribe others (or itself) from inside a notification:
// the notification walks a copy and skips whoever left meanwhile.
template <typename... Args>
class ObserverList {
public:
    using Callback = std::function<void(Args...)>;

    ObserverList()
        : entries_(std::make_shared<Entries>()) {}

    ObserverList(const ObserverList&) = delete;
    ObserverList& operator=(const ObserverList&) = delete;

    Subscription add(Callback callback) {
        auto entry = std::make_shared<Entry>(Entry{std::move(callback), true});
        entries_->push_back(entry);
        return Subscription([list = std::weak_ptr<Entries>(entries_), entry] {
            entry->active = false;
            if (const auto entries = list.lock()) {
                std::erase(*entries, entry);
            }
        });
    }

    void notify(const Args&... args) const {
        const Entries snapshot = *entries_;
        for (const auto& entry : snapshot) {
            if (entry->active) {
                entry->callback(args...);
            }
        }
    }

private:
    struct Entry {
        Callback callback;
        bool active;
    };
    using Entries = std::vector<std::shared_ptr<Entry>>;

    // Shared with the subscriptions, which may outlive the list.
    std::shared_ptr<Entries> entries_;
};

} // namespace quorvane
