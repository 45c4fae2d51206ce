#include "engine/ProviderError.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace quorvane {
namespace {

struct MessageCase {
    const char* label;
    ProviderError error;
    std::string description;
    std::string code;
    friend void PrintTo(const MessageCase& row, std::ostream* out) { *out << row.label; }
};

class ProviderErrorMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(ProviderErrorMessageTest, GivesTheBannerTextAndCode) {
    const auto& row = GetParam();
    EXPECT_EQ(row.error.errorDescription(), row.description);
    EXPECT_STREQ(row.error.what(), row.description.c_str());
    EXPECT_EQ(row.error.code(), row.code);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProviderErrorMessageTest,
    testing::Values(
        MessageCase{"missingAPIKey", ProviderError::missingAPIKey("Groq"),
                    "No API key set for Groq. Add one in Settings.", "missing_api_key"},
        MessageCase{"providerUnavailable",
                    ProviderError::providerUnavailable("On-device model unavailable."),
                    "On-device model unavailable.", "provider_unavailable"},
        MessageCase{"network", ProviderError::network("No HTTP response"),
                    "Network error: No HTTP response", "network"},
        MessageCase{"httpPlainTextBody", ProviderError::http(500, "Internal error sk-secret"),
                    "Request failed (HTTP 500).", "http_500"},
        MessageCase{"httpEmptyBody", ProviderError::http(404, ""), "Request failed (HTTP 404).",
                    "http_404"},
        MessageCase{"httpJsonMessage",
                    ProviderError::http(401,
                                        R"({"type":"error","error":{"type":"authentication_error",)"
                                        R"("message":"invalid x-api-key","key":"sk-ant-secret"}})"),
                    "Request failed (HTTP 401). invalid x-api-key", "http_401"},
        MessageCase{"sessionFailure", ProviderError::sessionFailure("guardrail"),
                    "Generation failed: guardrail", "session_failure"},
        MessageCase{"deviceNotEligible", ProviderError::deviceNotEligible(),
                    "Apple Foundation Models aren't supported on this computer. Pick another "
                    "provider in Settings.",
                    "device_not_eligible"},
        MessageCase{"appleIntelligenceNotEnabled", ProviderError::appleIntelligenceNotEnabled(),
                    "Apple Intelligence is off. Enable it in System Settings, or pick another "
                    "provider.",
                    "ai_not_enabled"},
        MessageCase{"modelNotReady", ProviderError::modelNotReady(),
                    "The on-device model is still downloading. Try again shortly.",
                    "model_not_ready"},
        MessageCase{"contextLimitExceeded", ProviderError::contextLimitExceeded(),
                    "The draft is too long for this model. Shorten it and try again.",
                    "context_limit"},
        MessageCase{"emptyResponse", ProviderError::emptyResponse(),
                    "The model returned an empty response. Try again.", "empty_response"},
        MessageCase{"refused", ProviderError::refused("The model declined this request."),
                    "The model declined this request.", "refused"}),
    [](const auto& info) { return std::string(info.param.label); });

struct ExtractCase {
    const char* label;
    std::string body;
    std::string message;
    friend void PrintTo(const ExtractCase& row, std::ostream* out) { *out << row.label; }
};

class ProviderErrorExtractTest : public testing::TestWithParam<ExtractCase> {};

TEST_P(ProviderErrorExtractTest, ShowsOnlyTheMessageMember) {
    EXPECT_EQ(ProviderError::extractMessage(GetParam().body), GetParam().message);
}

const std::string longMessage = std::string(150, 'x') + std::string(20, 'y');
// 159 ASCII characters, then two-byte and four-byte characters across the cut.
const std::string multibyteMessage = std::string(159, 'm') + "é🙂tail";

INSTANTIATE_TEST_SUITE_P(
    Rows, ProviderErrorExtractTest,
    testing::Values(
        ExtractCase{"plainText", "Bad Gateway", ""},
        ExtractCase{"html", "<html><body>key sk-1</body></html>", ""},
        ExtractCase{"jsonArray", R"(["message"])", ""},
        ExtractCase{"jsonString", R"("message")", ""},
        ExtractCase{"noKnownMember", R"({"detail":"sk-secret"})", ""},
        ExtractCase{
            "errorObjectMessage",
            R"({"error":{"message":"quota exceeded","api_key":"sk-secret"},"message":"top"})",
            "quota exceeded"},
        ExtractCase{"topLevelMessage", R"({"message":"model not found"})", "model not found"},
        ExtractCase{"errorAsText", R"({"error":"invalid model"})", "invalid model"},
        ExtractCase{"errorObjectWithoutMessageFallsBack",
                    R"({"error":{"code":42},"message":"top"})", "top"},
        ExtractCase{"nonTextMessageFallsBack", R"({"error":{"message":7},"message":"top"})", "top"},
        ExtractCase{"errorObjectAloneGivesNothing", R"({"error":{"code":42}})", ""},
        ExtractCase{"cutTo160", R"({"message":")" + longMessage + R"("})",
                    std::string(150, 'x') + std::string(10, 'y')},
        ExtractCase{"cutNeverSplitsACharacter", R"({"message":")" + multibyteMessage + R"("})",
                    std::string(159, 'm') + "é"},
        ExtractCase{"truncatedJson", R"({"error":{"message":"quota)", ""},
        ExtractCase{"deeplyNested", std::string(100000, '[') + std::string(100000, ']'), ""},
        ExtractCase{"invalidUtf8", "{\"message\":\"\xC3\x28\"}", ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ProviderErrorTest, EqualityComparesCaseAndEveryPayload) {
    EXPECT_EQ(ProviderError::http(401, "a"), ProviderError::http(401, "a"));
    EXPECT_NE(ProviderError::http(401, "a"), ProviderError::http(401, "b"));
    EXPECT_NE(ProviderError::http(401, "a"), ProviderError::http(403, "a"));
    EXPECT_NE(ProviderError::network("x"), ProviderError::sessionFailure("x"));
    EXPECT_EQ(ProviderError::emptyResponse(), ProviderError::emptyResponse());
}

} // namespace
} // namespace quorvane
