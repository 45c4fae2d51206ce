#pragma once

#include <functional>

namespace quorvane {

// Keeps one observer registered for as long as it lives; destroying or
// resetting it unregisters the observer. Safe to outlive what it observes.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel);
    ~Subscription();

    Subscription(Subscription&& other) noexcept;
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

    void reset();

private:
    std::function<void()> cancel_;
};

} // namespace quorvane
