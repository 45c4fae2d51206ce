#include "state/RequestSnapshot.h"

#include "engine/ProviderRegistry.h"
#include "support/FakeHttpSession.h"
#include "support/ProviderErrorCapture.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace quorvane {
namespace {

using test::captureProviderError;

struct UnavailableRow {
    const char* label;
    ProviderID provider;
    std::optional<std::string> key;
    std::optional<std::string> customBaseURL;
    std::string message;
    std::string code;
    friend void PrintTo(const UnavailableRow& row, std::ostream* out) { *out << row.label; }
};

class RequestSnapshotUnavailableTest : public testing::TestWithParam<UnavailableRow> {};

TEST_P(RequestSnapshotUnavailableTest, SaysWhatIsMissingBeforeAnyRequest) {
    const auto& row = GetParam();
    test::FakeHttpSession session;
    const ProviderRegistry registry([&](ProviderID) { return row.key; },
                                    [&] { return row.customBaseURL; }, session);
    RequestSnapshot snapshot;
    snapshot.inputText = "draft";
    snapshot.provider = row.provider;

    const auto error = captureProviderError([&] { snapshot.send(registry, "s", "u", {}); });

    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorDescription(), row.message);
    EXPECT_EQ(error->code(), row.code);
    EXPECT_TRUE(session.requests().empty());
}

const std::string noEndpoint = "No endpoint configured for Custom (OpenAI-compatible).";
const std::string noCustomKey =
    "No API key set for Custom (OpenAI-compatible). Add one in Settings.";

INSTANTIATE_TEST_SUITE_P(
    Rows, RequestSnapshotUnavailableTest,
    testing::Values(UnavailableRow{"keyButNoBaseURL", ProviderID::custom, "sk-c", std::nullopt,
                                   noEndpoint, "provider_unavailable"},
                    UnavailableRow{"keyButEmptyBaseURL", ProviderID::custom, "sk-c", "", noEndpoint,
                                   "provider_unavailable"},
                    UnavailableRow{"keyButBaseURLWithoutScheme", ProviderID::custom, "sk-c",
                                   "localhost:11434/v1", noEndpoint, "provider_unavailable"},
                    UnavailableRow{"keyButNotAURL", ProviderID::custom, "sk-c", "not a url",
                                   noEndpoint, "provider_unavailable"},
                    UnavailableRow{"neitherKeyNorBaseURL", ProviderID::custom, std::nullopt,
                                   "not a url", noCustomKey, "missing_api_key"},
                    UnavailableRow{"baseURLButNoKey", ProviderID::custom, std::nullopt,
                                   "https://c.test/v1", noCustomKey, "missing_api_key"},
                    UnavailableRow{"builtInWithoutKey", ProviderID::groq, std::nullopt,
                                   std::nullopt, "No API key set for Groq. Add one in Settings.",
                                   "missing_api_key"},
                    UnavailableRow{"onDevice", ProviderID::appleFoundation, std::nullopt,
                                   std::nullopt,
                                   "Apple Foundation Models is unavailable. Check Settings.",
                                   "provider_unavailable"}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace quorvane
