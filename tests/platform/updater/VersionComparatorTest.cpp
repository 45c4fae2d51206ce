#include "platform/updater/VersionComparator.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

struct Case {
    const char* older;
    const char* newer;
};

class VersionOrderTest : public testing::TestWithParam<Case> {};

TEST_P(VersionOrderTest, OrdersBothWays) {
    EXPECT_LT(VersionComparator::compare(GetParam().older, GetParam().newer), 0);
    EXPECT_GT(VersionComparator::compare(GetParam().newer, GetParam().older), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, VersionOrderTest,
                         testing::Values(Case{"1", "2"}, Case{"1.9", "1.10"}, Case{"1.0", "1.0.1"},
                                         Case{"1.0b1", "1.0"}, Case{"1.0b1", "1.0b2"},
                                         Case{"1.0b2", "1.0b10"}, Case{"1.0a", "1.0b"},
                                         Case{"1.0b5", "1.0rc1"}, Case{"1.0b1", "1.0.1"},
                                         Case{"1.0.0b1", "1.0"}, Case{"99", "100"},
                                         // Beyond any integer type.
                                         Case{"18446744073709551615", "18446744073709551616"},
                                         Case{"2.0", "10.0"}));

TEST(VersionComparatorTest, EqualVersions) {
    const Case equal[] = {
        {"1.0", "1.0"},     {"1.0", "1.0.0"},  {"1", "1.0.0.0"},
        {"1.0", "1_0"},     {"1.0", "1 0"},    {"1.0-beta", "1.0"},
        {"2.1-3", "2.1-9"}, {"01.002", "1.2"}, {"1.0B1", "1.0b1"},
        {"", ""},           {"-", ""},
    };
    for (const auto& c : equal) {
        EXPECT_EQ(VersionComparator::compare(c.older, c.newer), 0) << c.older << " vs " << c.newer;
    }
}

} // namespace
} // namespace quorvane
