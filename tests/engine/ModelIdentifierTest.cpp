#include "engine/ModelIdentifier.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace quorvane {
namespace {

struct SameRow {
    const char* a;
    const char* b;
    bool same;
    friend void PrintTo(const SameRow& row, std::ostream* out) { *out << row.a << " / " << row.b; }
};

class ModelIdentifierSameTest : public testing::TestWithParam<SameRow> {};

TEST_P(ModelIdentifierSameTest, TreatsTheDefaultTagAsNoTagInBothDirections) {
    const auto& row = GetParam();
    EXPECT_EQ(ModelIdentifier::same(row.a, row.b), row.same);
    EXPECT_EQ(ModelIdentifier::same(row.b, row.a), row.same);
}

INSTANTIATE_TEST_SUITE_P(Rows, ModelIdentifierSameTest,
                         testing::Values(SameRow{"llama3.2", "llama3.2", true},
                                         SameRow{"llama3.2", "llama3.2:latest", true},
                                         SameRow{"library/qwen2.5", "library/qwen2.5:latest", true},
                                         SameRow{"llama3.2", "llama3.2:1b", false},
                                         SameRow{"llama3.2:1b", "llama3.2:1b:latest", true},
                                         SameRow{"llama3", "llama3.2:latest", false},
                                         SameRow{"llama3.2", "Llama3.2:latest", false},
                                         SameRow{"gpt-4o", "gpt-4o-mini", false},
                                         SameRow{"", ":latest", true}));

TEST(ModelIdentifierTest, IsListedUnderEitherSpelling) {
    const std::vector<std::string> pulled = {"deepseek-r1:7b", "llama3.2:latest", "mistral"};
    EXPECT_TRUE(ModelIdentifier::isListed("llama3.2", pulled));
    EXPECT_TRUE(ModelIdentifier::isListed("mistral:latest", pulled));
    EXPECT_FALSE(ModelIdentifier::isListed("qwen2.5", pulled));
    EXPECT_FALSE(ModelIdentifier::isListed("deepseek-r1", pulled));
}

TEST(ModelIdentifierTest, TheListedPlaceIsTheOwnSpellingsBeforeTheOther) {
    const std::vector<std::string> pulled = {"mistral", "llama3.2:latest", "llama3.2"};
    EXPECT_EQ(ModelIdentifier::listedIndex("llama3.2", pulled), 2u);
    EXPECT_EQ(ModelIdentifier::listedIndex("llama3.2:latest", pulled), 1u);
    EXPECT_EQ(ModelIdentifier::listedIndex("mistral:latest", pulled), 0u);
    EXPECT_EQ(ModelIdentifier::listedIndex("qwen2.5", pulled), std::nullopt);
}

} // namespace
} // namespace quorvane
