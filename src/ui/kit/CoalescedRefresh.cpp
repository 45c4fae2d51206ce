#include "ui/kit/CoalescedRefresh.h"

#include <QTimer>

namespace quorvane {

CoalescedRefresh::CoalescedRefresh(AppState& state, QObject& owner, std::function<void()> refresh,
                                   std::function<void(AppState::Property)> onChange)
    : owner_(&owner)
    , refresh_(std::move(refresh))
    , onChange_(std::move(onChange))
    , subscription_(state.observe([this](AppState::Property property) {
        if (onChange_) {
            onChange_(property);
        }
        schedule();
    })) {}

void CoalescedRefresh::schedule() {
    if (pending_ || stopped_ || owner_ == nullptr) {
        return;
    }
    pending_ = true;
    QTimer::singleShot(0, owner_, [this] {
        pending_ = false;
        if (!stopped_) {
            refresh_();
        }
    });
}

void CoalescedRefresh::stop() {
    stopped_ = true;
    subscription_.reset();
}

} // namespace quorvane
