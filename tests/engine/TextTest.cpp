#include "engine/Text.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

struct TrimCase {
    const char* input;
    const char* trimmed;
    const char* horizontal;
};

class TextTrimTest : public testing::TestWithParam<TrimCase> {};

TEST_P(TextTrimTest, TrimsTheRightClassOfWhiteSpace) {
    const auto& row = GetParam();
    EXPECT_EQ(Text::trimmed(row.input), row.trimmed);
    EXPECT_EQ(Text::trimmedHorizontally(row.input), row.horizontal);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextTrimTest,
    testing::Values(TrimCase{"", "", ""}, TrimCase{"  a b  ", "a b", "a b"},
                    TrimCase{"\n\t key \r\n", "key", "\n\t key \r\n"},
                    TrimCase{"\t x \t", "x", "x"},
                    // no-break space, em space and ideographic space are spaces too
                    TrimCase{"\u00a0\u2003word\u3000", "word", "word"},
                    // line and paragraph separators are line breaks, not horizontal space
                    TrimCase{"\u2028a\u2029", "a", "\u2028a\u2029"},
                    // multi-byte text at the edges is kept whole
                    TrimCase{" é→ ", "é→", "é→"},
                    // a stray continuation byte stops trimming instead of being eaten
                    TrimCase{" \x80 ", "\x80", "\x80"}));

TEST(TextTest, BlankMeansOnlyWhiteSpaceAndLineBreaks) {
    EXPECT_TRUE(Text::isBlank(" \n\t\r "));
    EXPECT_FALSE(Text::isBlank(" . "));
}

TEST(TextTest, Utf8ValidationRejectsMalformedSequences) {
    EXPECT_TRUE(Text::isValidUTF8("plain — ≠ 🙂"));
    EXPECT_FALSE(Text::isValidUTF8("\xC3"));             // truncated
    EXPECT_FALSE(Text::isValidUTF8("\xC0\xAF"));         // overlong slash
    EXPECT_FALSE(Text::isValidUTF8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(Text::isValidUTF8("\xF4\x90\x80\x80")); // above U+10FFFF
}

TEST(TextTest, PrefixCountsScalarsAndNeverCutsASequence) {
    EXPECT_EQ(Text::characterCount("a→🙂"), 3u);
    EXPECT_EQ(Text::prefix("a→🙂b", 3), "a→🙂");
    EXPECT_EQ(Text::prefix("ab", 10), "ab");
    EXPECT_EQ(Text::prefix("→", 0), "");
}

} // namespace
} // namespace quorvane
