#include "engine/NetworkJson.h"

#include "engine/Text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace quorvane {
namespace {

std::string nested(std::size_t depth) {
    return std::string(depth, '[') + std::string(depth, ']');
}

struct RejectCase {
    const char* label;
    std::string text;
    friend void PrintTo(const RejectCase& row, std::ostream* out) { *out << row.label; }
};

class NetworkJsonRejectTest : public testing::TestWithParam<RejectCase> {};

TEST_P(NetworkJsonRejectTest, GivesNothingInsteadOfThrowingOrRecursing) {
    EXPECT_FALSE(NetworkJson::parse(GetParam().text).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NetworkJsonRejectTest,
    testing::Values(RejectCase{"empty", ""}, RejectCase{"plainText", "Service Unavailable"},
                    RejectCase{"truncated", R"({"choices":[{"message":{"content":"hi)"},
                    RejectCase{"trailingGarbage", R"({"a":1} {"b":2})"},
                    RejectCase{"illFormedUtf8", "{\"a\":\"\xFF\"}"},
                    RejectCase{"oneLevelTooDeep", nested(NetworkJson::maxDepth + 1)},
                    RejectCase{"hundredThousandArrays", nested(100000)},
                    RejectCase{"hundredThousandObjects",
                               [] {
                                   std::string text;
                                   for (int i = 0; i < 100000; ++i) {
                                       text += "{\"a\":";
                                   }
                                   return text + "1" + std::string(100000, '}');
                               }()},
                    RejectCase{"unclosedDeepArrays", std::string(1 << 20, '[')}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(NetworkJsonTest, AcceptsNestingUpToTheLimit) {
    const auto value = NetworkJson::parse(nested(NetworkJson::maxDepth));
    ASSERT_TRUE(value.has_value());
    EXPECT_TRUE(value->is_array());
}

TEST(NetworkJsonTest, AnEscapedQuoteAtAnyPlaceInAWordKeepsTheStringOpen) {
    const std::string inside = std::string(NetworkJson::maxDepth + 1, '[');
    for (std::size_t lead = 0; lead < 80; ++lead) {
        const std::string text =
            R"({"c":")" + std::string(lead, 'x') + R"(\"\\)" + inside + R"("})";
        EXPECT_FALSE(NetworkJson::nestsTooDeeply(text)) << lead;
        EXPECT_TRUE(NetworkJson::nestsTooDeeply(text + "," + inside)) << lead;
    }
}

TEST(NetworkJsonTest, BracketsInsideStringsAreNotNesting) {
    // An escaped quote must not end the string early and expose the brackets.
    const std::string text = R"({"content":"say \"hi\" )" + std::string(10000, '[') + R"("})";
    const auto value = NetworkJson::parse(text);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ((*value)["content"].get<std::string>().size(), 10000u + 9u);
}

TEST(NetworkJsonTest, StringMemberOnlyForTextMembersOfObjects) {
    const auto value = NetworkJson::parse(R"({"s":"x","n":1})");
    ASSERT_TRUE(value.has_value());
    ASSERT_NE(NetworkJson::stringMember(*value, "s"), nullptr);
    EXPECT_EQ(*NetworkJson::stringMember(*value, "s"), "x");
    EXPECT_EQ(NetworkJson::stringMember(*value, "n"), nullptr);
    EXPECT_EQ(NetworkJson::stringMember(*value, "missing"), nullptr);
    EXPECT_EQ(NetworkJson::stringMember(nlohmann::json::array({"s"}), "s"), nullptr);
}

struct QuoteCase {
    const char* label;
    std::string text;
    std::string literal;

    friend void PrintTo(const QuoteCase& row, std::ostream* out) { *out << row.label; }
};

class NetworkJsonQuoteTest : public testing::TestWithParam<QuoteCase> {};

TEST_P(NetworkJsonQuoteTest, WritesALiteralTheParserReadsBack) {
    const auto literal = NetworkJson::quoted(GetParam().text);
    EXPECT_EQ(literal, GetParam().literal);
    const auto back = NetworkJson::parse(literal);
    ASSERT_TRUE(back.has_value());
    if (Text::isValidUTF8(GetParam().text)) {
        EXPECT_EQ(back->get<std::string>(), GetParam().text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NetworkJsonQuoteTest,
    testing::Values(QuoteCase{"empty", "", R"("")"}, QuoteCase{"plain", "Draft:", R"("Draft:")"},
                    QuoteCase{"quoteAndBackslash", R"(say "a\b")", R"("say \"a\\b\"")"},
                    QuoteCase{"lineBreaksAndTab", "a\nb\r\tc", R"("a\nb\r\tc")"},
                    QuoteCase{"otherControls", std::string("\x01\x1f\0", 3),
                              R"("\u0001\u001f\u0000")"},
                    QuoteCase{"deleteAndUnicodeKept", "\x7f é 🙂", "\"\x7f é 🙂\""},
                    QuoteCase{"illFormedUtf8Replaced",
                              "a\xFF"
                              "b",
                              "\"a\xEF\xBF\xBD"
                              "b\""},
                    QuoteCase{"truncatedSequenceReplaced", "x\xE2\x82", "\"x\xEF\xBF\xBD\""}),
    [](const auto& info) { return std::string(info.param.label); });

// Long texts are scanned many bytes at a time: each byte that needs care is
// tried at every place of such a stretch and of the one after it.
TEST(NetworkJsonTest, QuotingFindsASpecialByteAtAnyPlaceOfALongText) {
    const std::vector<std::string> specials = {"\"", "\\",   "\n", "\x01", "\x1f",
                                               " ",  "\x7f", "é",  "🙂"};
    for (const auto& special : specials) {
        for (std::size_t lead = 0; lead < 140; ++lead) {
            const std::string text = std::string(lead, 'a') + special + std::string(140, 'b');
            const auto back = NetworkJson::parse(NetworkJson::quoted(text));
            ASSERT_TRUE(back.has_value()) << lead;
            EXPECT_EQ(back->get<std::string>(), text) << lead;
        }
    }
    const std::string illFormed = std::string(21, 'a') + "\xFF" + std::string(40, 'b');
    EXPECT_EQ(NetworkJson::quoted(illFormed),
              "\"" + std::string(21, 'a') + "\xEF\xBF\xBD" + std::string(40, 'b') + "\"");
}

// Written into a buffer that holds more already, as request bodies are.
TEST(NetworkJsonTest, AppendingAnIllFormedTextLeavesOnlyItsRepairedLiteral) {
    std::string out = R"({"content":)";
    NetworkJson::appendQuoted(out, std::string(40, 'a') + "\"x\" \xFF");
    EXPECT_EQ(out, R"({"content":")" + std::string(40, 'a') + R"(\"x\" )" + "\xEF\xBF\xBD\"");
}

} // namespace
} // namespace quorvane
