#include "engine/AnthropicProvider.h"

#include "platform/http/HttpSession.h"
#include "platform/task/CancellationError.h"
#include "support/FakeHttpSession.h"
#include "support/HttpFaults.h"
#include "support/LoopbackServer.h"
#include "support/ProviderErrorCapture.h"
#include "support/StallingHandler.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <ostream>
#include <thread>

namespace quorvane {
namespace {

using namespace std::chrono_literals;
using test::captureProviderError;

ProviderConfig configAt(const std::string& baseURL) {
    ProviderConfig config = ProviderConfig::config(ProviderID::anthropic);
    config.baseURL = Url::parse(baseURL);
    return config;
}

// Requests as the provider hands them to the session, before any transport.
class AnthropicRequestTest : public testing::Test {
protected:
    test::FakeHttpSession session;
    AnthropicProvider provider{configAt("https://anthropic.test/v1"), "sk-ant-1", session};
};

TEST_F(AnthropicRequestTest, MessagesRequestCarriesExactlyTheDocumentedParts) {
    session.respond(200, R"({"content":[{"type":"text","text":"ok"}]})");
    provider.enhance("Be terse.", "Draft:\nhello", "claude-sonnet-4-6", {});

    const auto requests = session.requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& request = requests[0];
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.url, "https://anthropic.test/v1/messages");
    EXPECT_EQ(request.timeout, 60s);
    EXPECT_EQ(request.headers, (std::vector<HttpHeader>{{"content-type", "application/json"},
                                                        {"x-api-key", "sk-ant-1"},
                                                        {"anthropic-version", "2023-06-01"}}));
    const auto body = nlohmann::json::parse(request.body);
    EXPECT_EQ(body, nlohmann::json::parse(R"({
        "model": "claude-sonnet-4-6",
        "max_tokens": 2048,
        "system": "Be terse.",
        "messages": [{"role": "user", "content": "Draft:\nhello"}]
    })"));
    EXPECT_TRUE(body["max_tokens"].is_number_integer());
}

TEST_F(AnthropicRequestTest, ModelsRequestIsAPlainGet) {
    session.respond(200, R"({"data":[{"id":"claude-b"},{"id":"claude-a"}]})");
    EXPECT_EQ(provider.fetchModels({}), (std::vector<std::string>{"claude-a", "claude-b"}));

    const auto request = session.requests().at(0);
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.url, "https://anthropic.test/v1/models");
    EXPECT_EQ(request.timeout, 30s);
    EXPECT_EQ(request.headers, (std::vector<HttpHeader>{{"x-api-key", "sk-ant-1"},
                                                        {"anthropic-version", "2023-06-01"}}));
    EXPECT_TRUE(request.body.empty());
}

TEST_F(AnthropicRequestTest, FallsBackToTheBuiltInRootWithoutABaseURL) {
    ProviderConfig config = ProviderConfig::config(ProviderID::anthropic);
    config.baseURL.reset();
    const AnthropicProvider fallback(config, "k", session);
    EXPECT_EQ(fallback.baseURL(), ProviderConfig::config(ProviderID::anthropic).baseURL);
    EXPECT_EQ(fallback.displayName(), "Anthropic Claude");
    EXPECT_TRUE(fallback.requiresAPIKey());
}

TEST_F(AnthropicRequestTest, KeyQuotedInAnErrorNeverReachesTheMessage) {
    session.respond(401,
                    R"({"error":{"type":"authentication_error","message":"bad key sk-ant-1"}})");
    for (const auto& error : {captureProviderError([&] { provider.enhance("s", "u", "m", {}); }),
                              captureProviderError([&] { provider.fetchModels({}); })}) {
        ASSERT_TRUE(error);
        EXPECT_EQ(error->errorDescription(), "Request failed (HTTP 401). bad key [redacted]");
    }
}

class AnthropicMissingKeyTest : public testing::TestWithParam<std::optional<std::string>> {};

TEST_P(AnthropicMissingKeyTest, FailsBeforeAnyNetworkCall) {
    test::FakeHttpSession session;
    AnthropicProvider provider(configAt("https://anthropic.test/v1"), GetParam(), session);
    const auto expected = ProviderError::missingAPIKey("Anthropic Claude");

    EXPECT_FALSE(provider.isAvailable());
    EXPECT_EQ(captureProviderError([&] { provider.enhance("s", "u", "m", {}); }), expected);
    EXPECT_EQ(captureProviderError([&] { provider.fetchModels({}); }), expected);
    EXPECT_EQ(expected.errorDescription(),
              "No API key set for Anthropic Claude. Add one in Settings.");
    EXPECT_TRUE(session.requests().empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, AnthropicMissingKeyTest,
                         testing::Values(std::nullopt, "", " \n",
                                         "sk-ant\r\nanthropic-beta: injected"));

// Everything below goes over a real HTTP exchange on 127.0.0.1.
class AnthropicLoopbackTest : public testing::Test {
protected:
    void TearDown() override { stall.release(); }

    AnthropicProvider provider(const std::string& key = "sk-ant-1") {
        return AnthropicProvider(configAt(server.baseUrl() + "/v1"), key, HttpSession::shared());
    }

    test::StallingHandler stall;
    test::LoopbackServer server;
};

TEST_F(AnthropicLoopbackTest, SendsTheKeyHeadersAndReadsTheReply) {
    server.post("/v1/messages", test::replyWith(200, R"({"id":"msg_1","type":"message",
        "content":[{"type":"text","text":"  Sharper prompt.\n"}],"stop_reason":"end_turn"})"));
    server.get("/v1/models", test::replyWith(200, R"({"data":[{"id":"b"},{"id":"A"}]})"));

    auto anthropic = provider();
    EXPECT_EQ(anthropic.enhance("sys", "Draft:\nx", "claude-haiku-4-5", {}), "Sharper prompt.");
    EXPECT_EQ(anthropic.fetchModels({}), (std::vector<std::string>{"A", "b"}));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].path, "/v1/messages");
    EXPECT_EQ(requests[0].header("x-api-key"), "sk-ant-1");
    EXPECT_EQ(requests[0].header("anthropic-version"), "2023-06-01");
    EXPECT_EQ(requests[0].header("content-type"), "application/json");
    EXPECT_EQ(nlohmann::json::parse(requests[0].body)["model"], "claude-haiku-4-5");
    EXPECT_EQ(requests[1].method, "GET");
    EXPECT_EQ(requests[1].path, "/v1/models");
    EXPECT_FALSE(requests[1].hasHeader("content-type"));
    EXPECT_FALSE(requests[1].hasHeader("Authorization"));
}

struct ReplyCase {
    const char* label;
    std::string body;
    std::string text; // empty: the request fails with this banner and code
    std::string banner = "The model returned an empty response. Try again.";
    std::string code = "empty_response";
    friend void PrintTo(const ReplyCase& row, std::ostream* out) { *out << row.label; }
};

class AnthropicReplyTest : public AnthropicLoopbackTest,
                           public testing::WithParamInterface<ReplyCase> {};

TEST_P(AnthropicReplyTest, JoinsTheTextBlocks) {
    const auto& row = GetParam();
    server.post("/v1/messages", test::replyWith(200, row.body));
    auto anthropic = provider();
    if (row.text.empty()) {
        const auto error = captureProviderError([&] { anthropic.enhance("s", "u", "m", {}); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->errorDescription(), row.banner);
        EXPECT_EQ(error->code(), row.code);
        return;
    }
    EXPECT_EQ(anthropic.enhance("s", "u", "m", {}), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AnthropicReplyTest,
    testing::Values(
        ReplyCase{"textOtherText",
                  R"({"content":[{"type":"text","text":" Hello"},)"
                  R"({"type":"tool_use","id":"t1","name":"n","input":{}},)"
                  R"({"type":"text","text":"world \n"}]})",
                  "Helloworld"},
        ReplyCase{"innerLineBreaksKept",
                  R"({"content":[{"type":"text","text":"a\n"},{"type":"text","text":"\nb"}]})",
                  "a\n\nb"},
        ReplyCase{"nonTextMembersSkipped",
                  R"({"content":[{"type":"text","text":5},{"text":"untyped"},)"
                  R"({"type":"text","text":"kept"}]})",
                  "kept"},
        ReplyCase{"emptyContent", R"({"content":[]})", ""},
        ReplyCase{"onlyOtherBlocks", R"({"content":[{"type":"thinking","thinking":"hm"}]})", ""},
        ReplyCase{"onlyWhiteSpace", R"({"content":[{"type":"text","text":" \n\t"}]})", ""},
        ReplyCase{"contentNotArray", R"({"content":"text"})", ""},
        ReplyCase{"noContent", R"({"type":"message"})", ""},
        // As the service sends them.
        ReplyCase{"message",
                  R"({"id":"msg_013Zva2CMHLNnXjNJJKqJ2EF","type":"message","role":"assistant",)"
                  R"("model":"claude-sonnet-4-6","content":[{"type":"text",)"
                  R"("text":"Act as a senior editor."}],"stop_reason":"end_turn",)"
                  R"("stop_sequence":null,"usage":{"input_tokens":2095,"output_tokens":503}})",
                  "Act as a senior editor."},
        ReplyCase{"refusal",
                  R"({"id":"msg_01XFDUDYJgAACzvnptvVoYEL","type":"message","role":"assistant",)"
                  R"("model":"claude-sonnet-4-6","content":[],"stop_reason":"refusal",)"
                  R"("stop_sequence":null,"usage":{"input_tokens":12,"output_tokens":0}})",
                  "", "The model declined this request.", "refused"},
        ReplyCase{"refusalAfterSomeText",
                  R"({"type":"message","content":[{"type":"text","text":"Here is"}],)"
                  R"("stop_reason":"refusal"})",
                  "Here is"},
        ReplyCase{"toolUseOnly",
                  R"({"id":"msg_01Aq9w938a90dw8q","type":"message","role":"assistant",)"
                  R"("model":"claude-sonnet-4-6","content":[{"type":"tool_use",)"
                  R"("id":"toolu_01A09q90qw90lq917835lq9","name":"get_weather",)"
                  R"("input":{"location":"San Francisco, CA"}}],"stop_reason":"tool_use",)"
                  R"("stop_sequence":null,"usage":{"input_tokens":472,"output_tokens":89}})",
                  ""},
        ReplyCase{"errorInsideA200",
                  R"({"type":"error","error":{"type":"overloaded_error","message":"Overloaded"}})",
                  "", "Request failed (HTTP 502). Overloaded", "http_502"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(AnthropicLoopbackTest, ErrorStatusShowsOnlyTheServiceMessage) {
    const std::string body = R"({"type":"error","error":{"type":"authentication_error",)"
                             R"("message":"invalid x-api-key","echo":"sk-ant-1"}})";
    server.post("/v1/messages", test::replyWith(401, body));
    auto anthropic = provider();

    const auto error = captureProviderError([&] { anthropic.enhance("s", "u", "m", {}); });
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, ProviderError::http(401, body));
    EXPECT_EQ(error->errorDescription(), "Request failed (HTTP 401). invalid x-api-key");
    EXPECT_EQ(error->code(), "http_401");
}

TEST_F(AnthropicLoopbackTest, PlainTextErrorPageNeverReachesTheMessage) {
    server.get("/v1/models", test::replyWith(500, "proxy failure for key sk-ant-1"));
    auto anthropic = provider();
    const auto error = captureProviderError([&] { anthropic.fetchModels({}); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorDescription(), "Request failed (HTTP 500).");
}

TEST_F(AnthropicLoopbackTest, CancellingAnUnansweredRequestEndsPromptly) {
    server.post("/v1/messages", stall.handler());
    auto anthropic = provider();
    std::stop_source stop;
    std::jthread canceller([&] {
        stall.waitUntilArrived(10s);
        stop.request_stop();
    });

    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(anthropic.enhance("s", "u", "m", stop.get_token()), CancellationError);
    // The handler holds the request for 30 s.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s)
        << "the request ran on after the stop";
}

TEST_F(AnthropicLoopbackTest, DroppedConnectionIsANetworkError) {
    server.post("/v1/messages", test::closingMidBody());
    auto anthropic = provider();
    const auto error = captureProviderError([&] { anthropic.enhance("s", "u", "m", {}); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), ProviderError::Case::network);
    EXPECT_FALSE(error->text().empty());
}

class AnthropicMalformedReplyTest : public AnthropicLoopbackTest,
                                    public testing::WithParamInterface<test::MalformedBody> {};

TEST_P(AnthropicMalformedReplyTest, GivesEmptyResponse) {
    server.post("/v1/messages", test::replyWith(200, GetParam().body));
    server.get("/v1/models", test::replyWith(200, GetParam().body));
    auto anthropic = provider();
    EXPECT_EQ(captureProviderError([&] { anthropic.enhance("s", "u", "m", {}); }),
              ProviderError::emptyResponse());
    EXPECT_EQ(captureProviderError([&] { anthropic.fetchModels({}); }),
              ProviderError::emptyResponse());
}

INSTANTIATE_TEST_SUITE_P(Bodies, AnthropicMalformedReplyTest,
                         testing::ValuesIn(test::malformedBodies()),
                         [](const auto& info) { return info.param.label; });

} // namespace
} // namespace quorvane
