// How a root view follows the state: every published change asks for one re-read on the next
// turn of the event loop, however many changes come before it, so a burst of changes costs one
// refresh. The re-read runs in the owner's context and never after the owner has gone.
#pragma once

#include "state/AppState.h"
#include "state/Subscription.h"

#include <QObject>
#include <QPointer>

#include <functional>

namespace quorvane {

class CoalescedRefresh {
public:
    // `onChange`, when given, hears each change as it is published, before the re-read is
    // asked for (a view that only rebuilds some of its parts notes which).
    CoalescedRefresh(AppState& state, QObject& owner, std::function<void()> refresh,
                     std::function<void(AppState::Property)> onChange = {});

    CoalescedRefresh(const CoalescedRefresh&) = delete;
    CoalescedRefresh& operator=(const CoalescedRefresh&) = delete;

    // Asks for the re-read for a reason outside the state (the desktop's colour scheme).
    void schedule();
    bool pending() const { return pending_; }
    // No more re-reads, from now on: for an owner that is being torn down.
    void stop();

private:
    QPointer<QObject> owner_;
    std::function<void()> refresh_;
    std::function<void(AppState::Property)> onChange_;
    bool pending_ = false;
    bool stopped_ = false;
    Subscription subscription_;
};

} // namespace quorvane
