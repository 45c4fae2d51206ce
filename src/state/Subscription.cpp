#include "Subscription.h"

#include <utility>

namespace quorvane {

Subscription::Subscription(std::function<void()> cancel)
    : cancel_(std::move(cancel)) {}

Subscription::~Subscription() {
    reset();
}

Subscription::Subscription(Subscription&& other) noexcept
    : cancel_(std::exchange(other.cancel_, nullptr)) {}

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        reset();
        cancel_ = std::exchange(other.cancel_, nullptr);
    }
    return *this;
}

void Subscription::reset() {
    if (auto cancel = std::exchange(cancel_, nullptr)) {
        cancel();
    }
}

} // namespace quorvane
