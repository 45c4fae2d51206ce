#include "ui/kit/DesignSprings.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorvane {

namespace {

double angularFrequency(const Spring& spring) {
    return 2.0 * std::numbers::pi / std::max(spring.response, 1e-6);
}

double damping(const Spring& spring) {
    return std::max(spring.dampingFraction, 0.0);
}

// An upper bound of |1 - value(t)| that only falls with time, so that the
// settling search cannot stop at a zero crossing of an oscillating spring.
double envelope(const Spring& spring, double t) {
    const double omega = angularFrequency(spring);
    const double zeta = damping(spring);
    if (zeta < 1.0) {
        return std::exp(-zeta * omega * t) / std::sqrt(1.0 - zeta * zeta);
    }
    return std::abs(1.0 - DesignSprings::value(spring, t));
}

} // namespace

double DesignSprings::value(const Spring& spring, double seconds) {
    if (seconds <= 0.0) {
        return 0.0;
    }
    const double omega = angularFrequency(spring);
    const double zeta = damping(spring);
    const double t = seconds;
    if (std::abs(zeta - 1.0) < 1e-9) {
        return 1.0 - std::exp(-omega * t) * (1.0 + omega * t);
    }
    if (zeta < 1.0) {
        const double damped = omega * std::sqrt(1.0 - zeta * zeta);
        return 1.0 - std::exp(-zeta * omega * t) *
                         (std::cos(damped * t) + zeta * omega / damped * std::sin(damped * t));
    }
    // Overdamped: the sum of two decaying exponentials, written so that the
    // fast root cannot overflow.
    const double root = omega * std::sqrt(zeta * zeta - 1.0);
    const double slow = -zeta * omega + root;
    const double fast = -zeta * omega - root;
    return 1.0 - (fast * std::exp(slow * t) - slow * std::exp(fast * t)) / (fast - slow);
}

double DesignSprings::settlingTime(const Spring& spring, double tolerance) {
    constexpr double step = 0.001;
    constexpr double limit = 10.0;
    double t = 0.0;
    while (t < limit && envelope(spring, t) > tolerance) {
        t += step;
    }
    return t;
}

} // namespace quorvane
