#include "HotkeyHandlerList.h"

#include <algorithm>

namespace quorvane {

EventHandlerRef HotkeyHandlerList::add(EventHandlerProc handler, void* userData) {
    const auto ref = EventHandlerRef{nextRef_++};
    entries_.push_back({ref, handler, userData});
    return ref;
}

bool HotkeyHandlerList::remove(EventHandlerRef ref) {
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [ref](const Entry& e) { return e.ref == ref; });
    if (found == entries_.end()) {
        return false;
    }
    entries_.erase(found);
    return true;
}

bool HotkeyHandlerList::contains(EventHandlerRef ref) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [ref](const Entry& e) { return e.ref == ref; });
}

void HotkeyHandlerList::dispatch(const HotKeyPressedEvent& event) const {
    const auto snapshot = entries_;
    for (auto entry = snapshot.rbegin(); entry != snapshot.rend(); ++entry) {
        if (!contains(entry->ref)) {
            continue;
        }
        if (entry->handler(event, entry->userData) != HotkeyStatus::eventNotHandled) {
            return;
        }
    }
}

} // namespace quorvane
