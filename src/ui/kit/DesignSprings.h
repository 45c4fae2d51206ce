// The kit's springs and the one curve every spring animation follows: the
// step response of a damped harmonic oscillator with angular frequency
// 2π / response, going from 0 to 1.
#pragma once

namespace quorvane {

struct Spring {
    double response = 0.5;        // seconds per undamped oscillation
    double dampingFraction = 1.0; // 1 is critical; below 1 overshoots
    double blendDuration = 0.0;
};

class DesignSprings {
public:
    static constexpr Spring press{0.16, 1.0, 0.0};
    static constexpr Spring quick{0.22, 1.0, 0.0};
    static constexpr Spring expand{0.36, 0.82, 0.0};
    static constexpr Spring gentle{0.42, 0.8, 0.0};
    // The button styles' own press and hover spring.
    static constexpr Spring snappy{0.15, 1.0, 0.0};

    // Progress of the spring after `seconds`: 0 at the start, tending to 1.
    static double value(const Spring& spring, double seconds);

    // When the curve stays within `tolerance` of 1 for good; animations run
    // this long and then land exactly on their end value.
    static double settlingTime(const Spring& spring, double tolerance = 0.001);
};

} // namespace quorvane
