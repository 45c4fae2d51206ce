#include "engine/ProviderRegistry.h"

#include "engine/AnthropicProvider.h"
#include "engine/OpenAICompatibleProvider.h"
#include "support/FakeHttpSession.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>

namespace quorvane {
namespace {

using test::FakeHttpSession;

const std::string chatReply = R"({"choices":[{"message":{"content":"ok"}}]})";

// A registry over a fake session whose resolvers read, and count reads of,
// a key table and a base-URL setting the test can change between calls.
class ProviderRegistryTest : public testing::Test {
protected:
    FakeHttpSession session;
    std::map<ProviderID, std::string> keys;
    std::optional<std::string> customBaseURL;
    int keyReads = 0;
    int baseURLReads = 0;

    ProviderRegistry registry{[this](ProviderID id) -> std::optional<std::string> {
                                  ++keyReads;
                                  const auto found = keys.find(id);
                                  return found == keys.end() ? std::nullopt
                                                             : std::optional(found->second);
                              },
                              [this] {
                                  ++baseURLReads;
                                  return customBaseURL;
                              },
                              session};
};

struct BaseURLCase {
    const char* label;
    std::optional<std::string> setting;
    std::optional<std::string> resolved;
    friend void PrintTo(const BaseURLCase& row, std::ostream* out) { *out << row.label; }
};

class ProviderRegistryBaseURLTest : public ProviderRegistryTest,
                                    public testing::WithParamInterface<BaseURLCase> {};

TEST_P(ProviderRegistryBaseURLTest, CustomTakesTheTrimmedSettingWhenItParses) {
    customBaseURL = GetParam().setting;
    const auto config = registry.resolvedConfig(ProviderID::custom);
    EXPECT_EQ(config.baseURL ? std::optional(config.baseURL->text()) : std::nullopt,
              GetParam().resolved);
    EXPECT_EQ(config.displayName, "Custom (OpenAI-compatible)");
}

INSTANTIATE_TEST_SUITE_P(Rows, ProviderRegistryBaseURLTest,
                         testing::Values(BaseURLCase{"unset", std::nullopt, std::nullopt},
                                         BaseURLCase{"empty", "", std::nullopt},
                                         BaseURLCase{"spacesOnly", "   ", std::nullopt},
                                         BaseURLCase{"notAURL", "my server", std::nullopt},
                                         BaseURLCase{"noScheme", "llm.example.com/v1",
                                                     std::nullopt},
                                         BaseURLCase{"trimmed", "  https://llm.example.com/v1 \n",
                                                     "https://llm.example.com/v1"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ProviderRegistryTest, OtherProvidersIgnoreTheCustomBaseURL) {
    customBaseURL = "https://llm.example.com/v1";
    for (auto id : allCases<ProviderID>()) {
        if (id != ProviderID::custom) {
            EXPECT_EQ(registry.resolvedConfig(id), ProviderConfig::config(id));
        }
    }
}

TEST_F(ProviderRegistryTest, BuildsTheProviderKindForEachId) {
    for (auto id : allCases<ProviderID>()) {
        const auto provider = registry.provider(id);
        ASSERT_NE(provider, nullptr);
        EXPECT_EQ(provider->id(), id);
        const auto& config = ProviderConfig::config(id);
        EXPECT_EQ(provider->displayName(), config.displayName);
        EXPECT_EQ(provider->requiresAPIKey(), config.requiresAPIKey);
        EXPECT_EQ(provider->availableModels(), config.availableModels);
        const bool anthropic = dynamic_cast<AnthropicProvider*>(provider.get()) != nullptr;
        const bool compatible = dynamic_cast<OpenAICompatibleProvider*>(provider.get()) != nullptr;
        EXPECT_EQ(anthropic, id == ProviderID::anthropic);
        EXPECT_EQ(compatible, id != ProviderID::anthropic && id != ProviderID::appleFoundation);
    }
}

TEST_F(ProviderRegistryTest, OnDeviceProviderCallsNeitherResolver) {
    const auto provider = registry.provider(ProviderID::appleFoundation);
    EXPECT_EQ(provider->availableModels(), std::vector<std::string>{"on-device"});
    EXPECT_EQ(keyReads, 0);
    EXPECT_EQ(baseURLReads, 0);
}

TEST_F(ProviderRegistryTest, EveryCallBuildsAFreshProviderWithTheCurrentKeyAndURL) {
    session.respond(200, chatReply);
    const auto first = registry.provider(ProviderID::custom);
    EXPECT_FALSE(first->isAvailable());

    keys[ProviderID::custom] = "sk-custom";
    customBaseURL = "http://127.0.0.1:9/v1";
    const auto second = registry.provider(ProviderID::custom);
    EXPECT_NE(first.get(), second.get());
    ASSERT_TRUE(second->isAvailable());
    EXPECT_EQ(second->enhance("s", "u", "m", {}), "ok");

    const auto requests = session.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].url, "http://127.0.0.1:9/v1/chat/completions");
    EXPECT_EQ(requests[0].headers.back(), (HttpHeader{"Authorization", "Bearer sk-custom"}));
}

TEST_F(ProviderRegistryTest, OllamaGetsOnlyAKeyTheResolverGives) {
    session.respond(200, chatReply);
    registry.provider(ProviderID::ollama)->enhance("s", "u", "llama3.2", {});
    keys[ProviderID::ollama] = "local-secret";
    registry.provider(ProviderID::ollama)->enhance("s", "u", "llama3.2", {});

    const auto requests = session.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].headers, (std::vector<HttpHeader>{{"content-type", "application/json"}}));
    EXPECT_EQ(requests[1].headers.back(), (HttpHeader{"Authorization", "Bearer local-secret"}));
}

TEST_F(ProviderRegistryTest, AnthropicSendsTheResolvedKeyThroughTheGivenSession) {
    keys[ProviderID::anthropic] = "sk-ant";
    session.respond(200, R"({"content":[{"type":"text","text":"done"}]})");
    EXPECT_EQ(registry.provider(ProviderID::anthropic)->enhance("s", "u", "m", {}), "done");
    const auto requests = session.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].url, "https://api.anthropic.com/v1/messages");
    EXPECT_EQ(requests[0].headers[1], (HttpHeader{"x-api-key", "sk-ant"}));
}

} // namespace
} // namespace quorvane
