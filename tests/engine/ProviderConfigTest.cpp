#include "engine/ProviderConfig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

namespace quorvane {
namespace {

TEST(ProviderConfigTest, TableHoldsOneEntryPerProviderInCaseOrder) {
    const auto& table = ProviderConfig::all();
    const auto ids = allCases<ProviderID>();
    ASSERT_EQ(table.size(), ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        EXPECT_EQ(table[i].id, ids[i]);
        EXPECT_EQ(&ProviderConfig::config(ids[i]), &table[i]);
    }
}

struct EndpointCase {
    ProviderID id;
    const char* displayName;
    const char* baseURL; // empty: none
    const char* defaultModel;
    bool requiresAPIKey;

    friend void PrintTo(const EndpointCase& row, std::ostream* out) { *out << rawValue(row.id); }
};

class ProviderConfigEntryTest : public testing::TestWithParam<EndpointCase> {};

TEST_P(ProviderConfigEntryTest, MatchesTheBuiltInDescription) {
    const auto& row = GetParam();
    const auto& config = ProviderConfig::config(row.id);
    EXPECT_EQ(config.displayName, row.displayName);
    EXPECT_EQ(config.defaultModel, row.defaultModel);
    EXPECT_EQ(config.requiresAPIKey, row.requiresAPIKey);
    if (std::string(row.baseURL).empty()) {
        EXPECT_FALSE(config.baseURL.has_value());
    } else {
        ASSERT_TRUE(config.baseURL.has_value());
        EXPECT_EQ(config.baseURL->text(), row.baseURL);
    }
    if (!config.defaultModel.empty()) {
        EXPECT_NE(std::find(config.availableModels.begin(), config.availableModels.end(),
                            config.defaultModel),
                  config.availableModels.end());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProviderConfigEntryTest,
    testing::Values(EndpointCase{ProviderID::appleFoundation, "Apple Foundation Models", "",
                                 "on-device", false},
                    EndpointCase{ProviderID::anthropic, "Anthropic Claude",
                                 "https://api.anthropic.com/v1", "claude-sonnet-4-6", true},
                    EndpointCase{ProviderID::openAI, "OpenAI", "https://api.openai.com/v1",
                                 "gpt-4o-mini", true},
                    EndpointCase{ProviderID::openRouter, "OpenRouter",
                                 "https://openrouter.ai/api/v1", "openai/gpt-4o-mini", true},
                    EndpointCase{ProviderID::groq, "Groq", "https://api.groq.com/openai/v1",
                                 "llama-3.3-70b-versatile", true},
                    EndpointCase{ProviderID::ollama, "Ollama (local)", "http://127.0.0.1:11434/v1",
                                 "llama3.2", false},
                    EndpointCase{ProviderID::custom, "Custom (OpenAI-compatible)", "", "", true}));

TEST(ProviderConfigTest, CustomEntryOffersNoModels) {
    EXPECT_TRUE(ProviderConfig::config(ProviderID::custom).availableModels.empty());
}

TEST(ProviderConfigTest, ModelListsKeepTheirPickerOrder) {
    EXPECT_EQ(
        ProviderConfig::config(ProviderID::anthropic).availableModels,
        (std::vector<std::string>{"claude-opus-4-8", "claude-sonnet-4-6", "claude-haiku-4-5"}));
    EXPECT_EQ(ProviderConfig::config(ProviderID::ollama).availableModels,
              (std::vector<std::string>{"llama3.2", "qwen2.5", "mistral"}));
}

TEST(ProviderConfigTest, ProviderPathsAppendUnderTheBaseURL) {
    const auto& base = ProviderConfig::config(ProviderID::groq).baseURL;
    ASSERT_TRUE(base.has_value());
    EXPECT_EQ(base->appendingPathComponent("chat/completions").text(),
              "https://api.groq.com/openai/v1/chat/completions");
    const auto& ollama = ProviderConfig::config(ProviderID::ollama).baseURL;
    ASSERT_TRUE(ollama.has_value());
    EXPECT_EQ(ollama->port(), 11434);
    EXPECT_EQ(ollama->scheme(), "http");
}

} // namespace
} // namespace quorvane
