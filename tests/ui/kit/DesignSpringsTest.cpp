#include "ui/kit/DesignSprings.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quorvane {
namespace {

struct SpringCase {
    const char* name;
    Spring spring;
    bool overshoots;
};

class SpringCurveTest : public testing::TestWithParam<SpringCase> {};

double peak(const Spring& spring) {
    double highest = 0;
    for (double t = 0; t < 3.0; t += 0.0005) {
        highest = std::max(highest, DesignSprings::value(spring, t));
    }
    return highest;
}

TEST_P(SpringCurveTest, StartsAtZeroAndSettlesAtOne) {
    const Spring& spring = GetParam().spring;
    EXPECT_DOUBLE_EQ(DesignSprings::value(spring, 0), 0.0);
    const double settle = DesignSprings::settlingTime(spring);
    EXPECT_GT(settle, 0.0);
    EXPECT_LT(settle, 3.0);
    // Settled for good, not merely crossing 1 on the way.
    for (double t = settle; t < settle + 2.0; t += 0.01) {
        EXPECT_NEAR(DesignSprings::value(spring, t), 1.0, 0.0011) << "t=" << t;
    }
}

TEST_P(SpringCurveTest, OvershootsOnlyWhenUnderDamped) {
    const double highest = peak(GetParam().spring);
    if (GetParam().overshoots) {
        EXPECT_GT(highest, 1.001);
    } else {
        EXPECT_LE(highest, 1.0 + 1e-12);
    }
}

INSTANTIATE_TEST_SUITE_P(Springs, SpringCurveTest,
                         testing::Values(SpringCase{"press", DesignSprings::press, false},
                                         SpringCase{"quick", DesignSprings::quick, false},
                                         SpringCase{"expand", DesignSprings::expand, true},
                                         SpringCase{"gentle", DesignSprings::gentle, true},
                                         SpringCase{"snappy", DesignSprings::snappy, false},
                                         SpringCase{"overdamped", Spring{0.3, 1.6, 0}, false},
                                         SpringCase{"bouncy", Spring{0.5, 0.3, 0}, true}),
                         [](const testing::TestParamInfo<SpringCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(SpringCurve, ShorterResponseSettlesSooner) {
    EXPECT_LT(DesignSprings::settlingTime(DesignSprings::press),
              DesignSprings::settlingTime(DesignSprings::quick));
    EXPECT_LT(DesignSprings::value(DesignSprings::quick, 0.05),
              DesignSprings::value(DesignSprings::press, 0.05));
}

} // namespace
} // namespace quorvane
