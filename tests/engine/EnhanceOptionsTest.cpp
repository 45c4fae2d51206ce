#include "engine/EnhanceOptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quorvane {
namespace {

const std::string lead = "Additional preferences for the rewrite — ";

struct ClauseCase {
    const char* name;
    EnhanceOptions options;
    bool isDefault;
    std::optional<std::string> clause;
};

class EnhanceOptionsClauseTest : public testing::TestWithParam<ClauseCase> {};

TEST_P(EnhanceOptionsClauseTest, BuildsThePreferencesClause) {
    const auto& row = GetParam();
    EXPECT_EQ(row.options.isDefault(), row.isDefault);
    EXPECT_EQ(row.options.preferencesClause(), row.clause);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EnhanceOptionsClauseTest,
    testing::Values(
        ClauseCase{"AllAutomatic", {}, true, std::nullopt},
        ClauseCase{"BlankAudienceIsNoAudience",
                   {Tone::auto_, Length::auto_, " \n\t\u00a0"},
                   true,
                   std::nullopt},
        ClauseCase{"AllThreeInOrder",
                   {Tone::technical, Length::concise, "  platform engineers \n"},
                   false,
                   lead +
                       "a technical tone; keep it concise; target audience: platform engineers."},
        ClauseCase{"OnlyAudience",
                   {Tone::auto_, Length::auto_, " new hires "},
                   false,
                   lead + "target audience: new hires."},
        ClauseCase{
            "OnlyTone", {Tone::academic, Length::auto_, ""}, false, lead + "a academic tone."},
        ClauseCase{"ToneAndBlankAudience",
                   {Tone::friendly, Length::auto_, "   "},
                   false,
                   lead + "a friendly tone."},
        ClauseCase{"LengthAndAudience",
                   {Tone::auto_, Length::detailed, "CFOs"},
                   false,
                   lead + "be thorough and detailed; target audience: CFOs."}),
    [](const testing::TestParamInfo<ClauseCase>& info) { return info.param.name; });

TEST(EnhanceOptionsTest, EveryToneAndLengthHasItsPhrase) {
    for (const Tone tone : allCases<Tone>()) {
        if (tone == Tone::auto_) {
            continue;
        }
        const EnhanceOptions options{tone, Length::auto_, ""};
        EXPECT_EQ(options.preferencesClause(),
                  lead + "a " + std::string(rawValue(tone)) + " tone.");
    }
    const std::pair<Length, std::string> lengths[] = {
        {Length::concise, "keep it concise"},
        {Length::balanced, "balanced length"},
        {Length::detailed, "be thorough and detailed"},
    };
    for (const auto& [length, phrase] : lengths) {
        const EnhanceOptions options{Tone::auto_, length, ""};
        EXPECT_EQ(options.preferencesClause(), lead + phrase + ".");
    }
}

} // namespace
} // namespace quorvane
