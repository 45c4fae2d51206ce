#include "state/HistoryItem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorvane {
namespace {

using namespace std::chrono_literals;

// 2001-01-01 00:00:00 UTC, the zero of stored timestamps.
constexpr HistoryItem::Timestamp referenceDate{978307200s};

const Uuid itemID = *Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");

HistoryItem sampleItem() {
    return {itemID,           "draft \"quoted\"\n", "résultat ✓",
            Preset::imageGen, ProviderID::groq,     referenceDate + 60s};
}

TEST(HistoryItemTest, EncodesMembersInFieldOrderWithReferenceDateSeconds) {
    const auto json = sampleItem().encoded();
    ASSERT_TRUE(json);
    EXPECT_THAT(*json, testing::MatchesRegex(
                           R"(\{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F",)"
                           R"("input":"draft \\"quoted\\"\\n","output":"résultat ✓",)"
                           R"("preset":"imageGen","provider":"groq","timestamp":60(\.0)?\})"));
}

TEST(HistoryItemTest, RoundTripsEveryField) {
    auto item = sampleItem();
    item.timestamp = referenceDate + 812345678ms;
    EXPECT_EQ(HistoryItem::decoded(*item.encoded()), item);

    item.timestamp = referenceDate - 86400s * 365 * 40 - 250ms; // before the reference date
    EXPECT_EQ(HistoryItem::decoded(*item.encoded()), item);
}

TEST(HistoryItemTest, PresentDayTimestampsKeepSubMicrosecondPrecision) {
    const auto now = std::chrono::system_clock::now();
    const auto back =
        HistoryItem::fromSecondsSinceReferenceDate(HistoryItem::secondsSinceReferenceDate(now));
    ASSERT_TRUE(back);
    EXPECT_LT(std::chrono::abs(*back - now), 1us);
}

TEST(HistoryItemTest, DecodesLowerCaseIDAndIntegerTimestamp) {
    const auto item = HistoryItem::decoded(
        R"({"id":"e621e1f8-c36c-495a-93fc-0c247a3e6e5f","input":"i","output":"o",)"
        R"("preset":"code","provider":"ollama","timestamp":-1,"extra":[1]})");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->id, itemID);
    EXPECT_EQ(item->preset, Preset::code);
    EXPECT_EQ(item->provider, ProviderID::ollama);
    EXPECT_EQ(item->timestamp, referenceDate - 1s);
}

class HistoryItemRejectTest : public testing::TestWithParam<const char*> {};

TEST_P(HistoryItemRejectTest, RejectsTheItem) {
    EXPECT_EQ(HistoryItem::decoded(GetParam()), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Broken, HistoryItemRejectTest,
    testing::Values(
        R"({"input":"i","output":"o","preset":"code","provider":"groq","timestamp":1})",
        R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","output":"o","preset":"code","provider":"groq","timestamp":1})",
        R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","input":"i","output":"o","preset":"code","provider":"groq"})",
        R"({"id":"not-a-uuid","input":"i","output":"o","preset":"code","provider":"groq","timestamp":1})",
        R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","input":"i","output":"o","preset":"Code","provider":"groq","timestamp":1})",
        R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","input":"i","output":"o","preset":"code","provider":"grok","timestamp":1})",
        R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","input":7,"output":"o","preset":"code","provider":"groq","timestamp":1})",
        R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","input":"i","output":"o","preset":"code","provider":"groq","timestamp":"1"})",
        R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","input":"i","output":"o","preset":"code","provider":"groq","timestamp":true})",
        // Far beyond what a time point can hold.
        R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","input":"i","output":"o","preset":"code","provider":"groq","timestamp":1e300})",
        R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","input":"i","output":"o","preset":"code","provider":"groq","timestamp":-1e19})",
        R"(["E621E1F8-C36C-495A-93FC-0C247A3E6E5F"])", "{"));

TEST(HistoryItemTest, TextThatIsNotUTF8CannotBeEncoded) {
    auto item = sampleItem();
    item.output = "cut \xE2\x9C";
    EXPECT_EQ(item.encoded(), std::nullopt);
}

} // namespace
} // namespace quorvane
