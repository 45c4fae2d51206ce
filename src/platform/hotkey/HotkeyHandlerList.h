// The installed handlers of an event manager and the order in which a press reaches them; shared
// by the backends so that every one of them dispatches the same way.
#pragma once

#include "HotkeyEventManager.h"

#include <vector>

namespace quorvane {

class HotkeyHandlerList {
public:
    EventHandlerRef add(EventHandlerProc handler, void* userData);
    bool remove(EventHandlerRef ref);
    bool empty() const { return entries_.empty(); }

    // Newest handler first, until one takes the event. A handler may install or remove handlers
    // while it runs; the press still goes to those installed when it arrived, as long as they are
    // not removed in the meantime.
    void dispatch(const HotKeyPressedEvent& event) const;

private:
    struct Entry {
        EventHandlerRef ref;
        EventHandlerProc handler;
        void* userData;
    };

    bool contains(EventHandlerRef ref) const;

    std::vector<Entry> entries_;
    std::uint64_t nextRef_ = 1;
};

} // namespace quorvane
