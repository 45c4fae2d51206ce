#include "engine/ProviderID.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

const std::vector<std::string> keyVariables{"ANTHROPIC_API_KEY", "OPENAI_API_KEY",
                                            "OPENROUTER_API_KEY", "GROQ_API_KEY",
                                            "THRIM_CUSTOM_API_KEY"};

TEST(ProviderIDTest, RawValuesKeepTheirCaseOrderAndAreCaseSensitive) {
    const std::vector<std::string> expected{
        "appleFoundation", "anthropic", "openAI", "openRouter", "groq", "ollama", "custom"};
    std::vector<std::string> actual;
    for (auto id : allCases<ProviderID>()) {
        actual.emplace_back(rawValue(id));
        EXPECT_EQ(fromRawValue<ProviderID>(rawValue(id)), id);
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(fromRawValue<ProviderID>("OpenAI"), std::nullopt);
    EXPECT_EQ(fromRawValue<ProviderID>(""), std::nullopt);
}

struct EnvironmentCase {
    const char* label;
    ProviderID id;
    std::vector<std::pair<std::string, std::string>> environment;
    std::optional<std::string> expected;
    friend void PrintTo(const EnvironmentCase& row, std::ostream* out) { *out << row.label; }
};

class ProviderEnvironmentTest : public testing::TestWithParam<EnvironmentCase> {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }

    static void clear() {
        for (const auto& name : keyVariables) {
            ::unsetenv(name.c_str());
        }
    }
};

TEST_P(ProviderEnvironmentTest, FirstNonBlankVariableWinsTrimmed) {
    for (const auto& [name, value] : GetParam().environment) {
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    EXPECT_EQ(environmentAPIKey(GetParam().id), GetParam().expected);
}

const std::vector<std::pair<std::string, std::string>> everyVariableSet{
    {"ANTHROPIC_API_KEY", "a"}, {"OPENAI_API_KEY", "o"},       {"OPENROUTER_API_KEY", "r"},
    {"GROQ_API_KEY", "g"},      {"THRIM_CUSTOM_API_KEY", "c"},
};

INSTANTIATE_TEST_SUITE_P(
    Rows, ProviderEnvironmentTest,
    testing::Values(
        EnvironmentCase{"unset", ProviderID::anthropic, {}, std::nullopt},
        EnvironmentCase{
            "trimmed", ProviderID::anthropic, {{"ANTHROPIC_API_KEY", " \tsk-a \r\n"}}, "sk-a"},
        EnvironmentCase{
            "blankIsUnset", ProviderID::groq, {{"GROQ_API_KEY", " \n\t "}}, std::nullopt},
        EnvironmentCase{"eachReadsItsOwnOpenAI", ProviderID::openAI, everyVariableSet, "o"},
        EnvironmentCase{"eachReadsItsOwnOpenRouter", ProviderID::openRouter, everyVariableSet, "r"},
        EnvironmentCase{"eachReadsItsOwnGroq", ProviderID::groq, everyVariableSet, "g"},
        EnvironmentCase{"customPrefersItsOwn", ProviderID::custom, everyVariableSet, "c"},
        EnvironmentCase{
            "customFallsBackWhenUnset", ProviderID::custom, {{"OPENAI_API_KEY", "sk-o"}}, "sk-o"},
        EnvironmentCase{"customFallsBackWhenBlank",
                        ProviderID::custom,
                        {{"THRIM_CUSTOM_API_KEY", "  \n"}, {"OPENAI_API_KEY", " sk-o "}},
                        "sk-o"},
        EnvironmentCase{"ollamaReadsNone", ProviderID::ollama, everyVariableSet, std::nullopt},
        EnvironmentCase{"onDeviceReadsNone", ProviderID::appleFoundation, everyVariableSet,
                        std::nullopt}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace quorvane
