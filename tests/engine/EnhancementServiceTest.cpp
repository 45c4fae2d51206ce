#include "engine/EnhancementService.h"

#include "engine/MetaPrompt.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quorvane {
namespace {

struct BaseCase {
    const char* name;
    std::optional<std::string> custom;
    std::optional<std::string> replacement;
    std::optional<std::string> expectedBase; // nothing: the preset's built-in text
};

class EnhancementServiceBaseTest : public testing::TestWithParam<BaseCase> {};

TEST_P(EnhancementServiceBaseTest, ChoosesTheBaseText) {
    const auto& row = GetParam();
    const EnhanceOptions options{Tone::persuasive, Length::balanced, "founders"};
    for (const Preset preset : allCases<Preset>()) {
        const std::string base = row.expectedBase.value_or(MetaPrompt::forPreset(preset));
        EXPECT_EQ(EnhancementService::systemPrompt(preset, options, row.custom, row.replacement),
                  MetaPrompt::system(base, options))
            << rawValue(preset);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EnhancementServiceBaseTest,
    testing::Values(BaseCase{"NeitherGiven", std::nullopt, std::nullopt, std::nullopt},
                    BaseCase{"CustomWinsOverOverride", "  Mine\n", "Theirs", "Mine"},
                    BaseCase{"OverrideWhenNoCustom", std::nullopt, "\tTheirs  ", "Theirs"},
                    BaseCase{"BlankCustomFallsToOverride", " \n ", "Theirs", "Theirs"},
                    BaseCase{"BothBlankFallToBuiltIn", " \n\t", "\u00a0 \r\n", std::nullopt},
                    BaseCase{"EmptyCustomAndNoOverride", "", std::nullopt, std::nullopt},
                    // Inner line breaks belong to the instructions; only the ends are trimmed.
                    BaseCase{"InnerLinesKept", "\nLine one\n\nLine two\n", std::nullopt,
                             "Line one\n\nLine two"}),
    [](const testing::TestParamInfo<BaseCase>& info) { return info.param.name; });

TEST(EnhancementServiceTest, DefaultOptionsGiveBaseAndClarifyInstructionOnly) {
    EXPECT_EQ(EnhancementService::systemPrompt(Preset::code, EnhanceOptions{}, std::nullopt,
                                               std::nullopt),
              MetaPrompt::forPreset(Preset::code) + "\n\n" + MetaPrompt::clarifyInstruction());
}

} // namespace
} // namespace quorvane
