#include "engine/ProviderHttp.h"

#include "engine/ProviderError.h"
#include "platform/http/HttpTransportError.h"
#include "platform/task/CancellationError.h"
#include "support/FakeHttpSession.h"
#include "support/ProviderErrorCapture.h"

#include <gtest/gtest.h>

#include <ostream>

namespace quorvane {
namespace {

using test::captureProviderError;
using test::FakeHttpSession;

HttpRequest anyRequest() {
    HttpRequest request;
    request.url = "http://127.0.0.1:9/models";
    return request;
}

struct StatusCase {
    const char* label;
    long status;
    std::string body;
    std::optional<ProviderError> error; // nothing: the body comes back
    friend void PrintTo(const StatusCase& row, std::ostream* out) { *out << row.label; }
};

class ProviderHttpStatusTest : public testing::TestWithParam<StatusCase> {};

TEST_P(ProviderHttpStatusTest, MapsTheStatus) {
    const auto& row = GetParam();
    FakeHttpSession session;
    session.respond(row.status, row.body);
    if (!row.error) {
        EXPECT_EQ(ProviderHttp::send(session, anyRequest(), {}), row.body);
        return;
    }
    EXPECT_EQ(captureProviderError([&] { ProviderHttp::send(session, anyRequest(), {}); }),
              row.error);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProviderHttpStatusTest,
    testing::Values(
        StatusCase{"ok", 200, "{}", std::nullopt},
        StatusCase{"lastSuccess", 299, "done", std::nullopt},
        StatusCase{"noHttpAnswer", 0, "junk", ProviderError::network("No HTTP response")},
        StatusCase{"informational", 199, "x", ProviderError::http(199, "x")},
        StatusCase{"redirectNotFollowed", 302, "", ProviderError::http(302, "")},
        StatusCase{"unauthorised", 401, R"({"error":{"message":"bad key"}})",
                   ProviderError::http(401, R"({"error":{"message":"bad key"}})")},
        StatusCase{"serverError", 503, "down", ProviderError::http(503, "down")},
        StatusCase{"illFormedUtf8BodyBecomesEmpty", 500, "\xFF\xFE", ProviderError::http(500, "")}),
    [](const auto& info) { return std::string(info.param.label); });

// A service that quotes the key it was sent back in its error message, as
// some proxies and self-hosted endpoints do.
const std::string echoedKey = "sk-live/AbC+xyz-0123456789";

struct EchoCase {
    const char* label;
    std::string body;
    std::string description;
    bool bodyKept;
    std::string key = echoedKey;
    friend void PrintTo(const EchoCase& row, std::ostream* out) { *out << row.label; }
};

class ProviderHttpEchoedKeyTest : public testing::TestWithParam<EchoCase> {};

TEST_P(ProviderHttpEchoedKeyTest, KeyNeverReachesTheMessage) {
    const auto& row = GetParam();
    FakeHttpSession session;
    session.respond(401, row.body);
    const auto error =
        captureProviderError([&] { ProviderHttp::send(session, anyRequest(), {}, row.key); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorDescription(), row.description);
    EXPECT_EQ(error->code(), "http_401");
    if (row.bodyKept) {
        EXPECT_EQ(error->text(), row.body);
    } else {
        EXPECT_EQ(error->text().find(row.key), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProviderHttpEchoedKeyTest,
    testing::Values(
        EchoCase{
            "inTheErrorMessage",
            R"({"error":{"message":"Incorrect API key provided: sk-live/AbC+xyz-0123456789."}})",
            "Request failed (HTTP 401). Incorrect API key provided: [redacted].", false},
        EchoCase{"inTheTopLevelMessage", R"({"message":"sk-live/AbC+xyz-0123456789 is revoked"})",
                 "Request failed (HTTP 401). [redacted] is revoked", false},
        EchoCase{"slashesEscaped", R"({"error":"bad key sk-live\/AbC+xyz-0123456789"})",
                 "Request failed (HTTP 401). bad key [redacted]", false},
        EchoCase{"escapedOtherwise", R"({"error":"bad key sk-live\u002fAbC+xyz-0123456789"})",
                 "Request failed (HTTP 401). bad key [redacted]", false},
        EchoCase{"partlyBeforeTheLengthLimit",
                 R"({"message":")" + std::string(150, 'x') + echoedKey + R"("})",
                 "Request failed (HTTP 401). " + std::string(150, 'x') + "[redacted]", false},
        EchoCase{"onlyInAMemberNeverShown",
                 R"({"error":{"message":"invalid x-api-key","key":"sk-live/AbC+xyz-0123456789"}})",
                 "Request failed (HTTP 401). invalid x-api-key", true},
        EchoCase{"shortKeyInsideAMemberName", R"({"error":{"message":"Rate limit reached"}})",
                 "Request failed (HTTP 401). Rate limit reached", true, "e"},
        EchoCase{"shortKeyInsideTheMessage", R"({"error":{"message":"Rate limit reached"}})",
                 "Request failed (HTTP 401). Rate limit reached", true, "Rate"},
        EchoCase{"shortWordKeyStandingAlone", R"({"error":{"message":"Rate limit reached"}})",
                 "Request failed (HTTP 401). Rate limit reached", true, "limit"},
        EchoCase{"shortKeyStandingAlone", R"({"error":{"message":"Invalid key sk-1234"}})",
                 "Request failed (HTTP 401). Invalid key [redacted]", false, "sk-1234"},
        EchoCase{"shortKeyQuotedBeforeAFullStop",
                 R"({"error":{"message":"Key 'sk-1234' is wrong; got sk-1234."}})",
                 "Request failed (HTTP 401). Key '[redacted]' is wrong; got [redacted].", false,
                 "sk-1234"},
        EchoCase{"shortKeyInsideLongerTokens",
                 R"({"error":{"message":"Keys sk-12345, xsk-1234 and sk-1234.5 are unknown"}})",
                 "Request failed (HTTP 401). Keys sk-12345, xsk-1234 and sk-1234.5 are unknown",
                 true, "sk-1234"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ProviderHttpTest, TransportFailureBecomesNetworkWithItsDescription) {
    FakeHttpSession session([](const HttpRequest&) -> HttpResponse {
        throw HttpTransportError("Could not connect to server");
    });
    EXPECT_EQ(captureProviderError([&] { ProviderHttp::send(session, anyRequest(), {}); }),
              ProviderError::network("Could not connect to server"));
}

TEST(ProviderHttpTest, CancellationPassesThroughAsItself) {
    FakeHttpSession session([](const HttpRequest&) -> HttpResponse { throw CancellationError{}; });
    EXPECT_THROW(ProviderHttp::send(session, anyRequest(), {}), CancellationError);

    std::stop_source stopped;
    stopped.request_stop();
    FakeHttpSession idle;
    EXPECT_THROW(ProviderHttp::send(idle, anyRequest(), stopped.get_token()), CancellationError);
    EXPECT_TRUE(idle.requests().empty());
}

TEST(ProviderHttpTest, HeaderSafeKeyIsTrimmedAndRefusesControlCharacters) {
    EXPECT_EQ(ProviderHttp::headerSafeKey(std::nullopt), std::nullopt);
    EXPECT_EQ(ProviderHttp::headerSafeKey(""), std::nullopt);
    EXPECT_EQ(ProviderHttp::headerSafeKey(" \n "), std::nullopt);
    EXPECT_EQ(ProviderHttp::headerSafeKey(" sk-1 \r\n"), "sk-1");
    EXPECT_EQ(ProviderHttp::headerSafeKey("sk-1\r\nX-Injected: yes"), std::nullopt);
    EXPECT_EQ(ProviderHttp::headerSafeKey(std::string("sk\0x", 4)), std::nullopt);
}

struct ModelsCase {
    const char* label;
    std::string body;
    std::vector<std::string> models; // empty: emptyResponse
    friend void PrintTo(const ModelsCase& row, std::ostream* out) { *out << row.label; }
};

class ProviderHttpModelsTest : public testing::TestWithParam<ModelsCase> {};

TEST_P(ProviderHttpModelsTest, ReadsTheIdsOfTheDataArray) {
    const auto& row = GetParam();
    if (row.models.empty()) {
        EXPECT_EQ(captureProviderError([&] { ProviderHttp::modelIdentifiers(row.body); }),
                  ProviderError::emptyResponse());
        return;
    }
    EXPECT_EQ(ProviderHttp::modelIdentifiers(row.body), row.models);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProviderHttpModelsTest,
    testing::Values(ModelsCase{"sortedUpperCaseFirst",
                               R"({"data":[{"id":"b"},{"id":"A"},{"id":"a"}]})",
                               {"A", "a", "b"}},
                    ModelsCase{"duplicatesKept", R"({"data":[{"id":"m"},{"id":"m"}]})", {"m", "m"}},
                    ModelsCase{
                        "othersSkipped",
                        R"({"object":"list","data":[{"id":7},"x",{"name":"n"},{"id":"kept"}]})",
                        {"kept"}},
                    ModelsCase{"noIds", R"({"data":[{"name":"a"},{"object":"model"}]})", {}},
                    ModelsCase{"emptyData", R"({"data":[]})", {}},
                    ModelsCase{"dataNotArray", R"({"data":{"id":"a"}})", {}},
                    ModelsCase{"topLevelArray", R"([{"id":"a"}])", {}},
                    ModelsCase{"notJson", "<html>", {}}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace quorvane
