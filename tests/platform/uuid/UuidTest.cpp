#include "platform/uuid/Uuid.h"

#include <gtest/gtest.h>

#include <set>

namespace quorvane {
namespace {

TEST(UuidTest, RandomIdentifiersAreVersionFourAndDistinct) {
    std::set<Uuid> seen;
    for (int i = 0; i < 100; ++i) {
        const auto uuid = Uuid::random();
        EXPECT_EQ(uuid.bytes()[6] >> 4, 4);
        EXPECT_EQ(uuid.bytes()[8] & 0xC0, 0x80);
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 100u);
}

TEST(UuidTest, TextFormsRoundTrip) {
    const auto parsed = Uuid::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(parsed->compactLowercase(), "e621e1f8c36c495a93fc0c247a3e6e5f");
    EXPECT_EQ(Uuid::parse(parsed->uuidString()), parsed);
}

TEST(UuidTest, RejectsMalformedText) {
    for (const char* text :
         {"", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5",
          "E621E1F8-C36C-495A-93FC-0C247A3E6E5G", "E621E1F8_C36C-495A-93FC-0C247A3E6E5F"}) {
        EXPECT_FALSE(Uuid::parse(text)) << text;
    }
}

} // namespace
} // namespace quorvane
