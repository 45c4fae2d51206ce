#include "engine/OpenAICompatibleProvider.h"

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

const std::string chatReply = R"({"choices":[{"message":{"role":"assistant","content":"ok"}}]})";

ProviderConfig configFor(ProviderID id, std::optional<std::string> baseURL) {
    ProviderConfig config = ProviderConfig::config(id);
    config.baseURL = baseURL ? Url::parse(*baseURL) : std::nullopt;
    return config;
}

// Requests as the provider hands them to the session, before any transport.
class OpenAIRequestTest : public testing::Test {
protected:
    test::FakeHttpSession session;
};

TEST_F(OpenAIRequestTest, ChatRequestCarriesExactlyTheDocumentedParts) {
    session.respond(200, chatReply);
    OpenAICompatibleProvider provider(configFor(ProviderID::openAI, "https://oa.test/v1"), "sk-oa",
                                      session);
    EXPECT_EQ(provider.enhance("Be terse.", "Draft:\nhello", "gpt-4o-mini", {}), "ok");

    const auto request = session.requests().at(0);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.url, "https://oa.test/v1/chat/completions");
    EXPECT_EQ(request.timeout, 60s);
    EXPECT_EQ(request.headers, (std::vector<HttpHeader>{{"content-type", "application/json"},
                                                        {"Authorization", "Bearer sk-oa"}}));
    EXPECT_EQ(nlohmann::json::parse(request.body), nlohmann::json::parse(R"({
        "model": "gpt-4o-mini",
        "messages": [{"role": "system", "content": "Be terse."},
                     {"role": "user", "content": "Draft:\nhello"}],
        "stream": false
    })"));
    EXPECT_EQ(request.body.find('\n'), std::string::npos) << "compact serialisation";
}

TEST_F(OpenAIRequestTest, ModelsRequestSkipsTheKeyCheck) {
    session.respond(200, R"({"data":[{"id":"gpt-4o"}]})");
    OpenAICompatibleProvider keyless(configFor(ProviderID::openAI, "https://oa.test/v1"),
                                     std::nullopt, session);
    EXPECT_EQ(keyless.fetchModels({}), std::vector<std::string>{"gpt-4o"});
    OpenAICompatibleProvider keyed(configFor(ProviderID::groq, "https://groq.test/openai/v1"),
                                   "gsk", session);
    keyed.fetchModels({});

    const auto requests = session.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].url, "https://oa.test/v1/models");
    EXPECT_EQ(requests[0].timeout, 30s);
    EXPECT_TRUE(requests[0].headers.empty());
    EXPECT_TRUE(requests[0].body.empty());
    EXPECT_EQ(requests[1].url, "https://groq.test/openai/v1/models");
    EXPECT_EQ(requests[1].headers, (std::vector<HttpHeader>{{"Authorization", "Bearer gsk"}}));
}

TEST_F(OpenAIRequestTest, CustomWithoutBaseURLIsUnavailableEvenWithAKey) {
    OpenAICompatibleProvider custom(configFor(ProviderID::custom, std::nullopt), "sk", session);
    const auto expected = ProviderError::providerUnavailable(
        "No endpoint configured for Custom (OpenAI-compatible).");

    EXPECT_FALSE(custom.isAvailable());
    EXPECT_EQ(captureProviderError([&] { custom.enhance("s", "u", "m", {}); }), expected);
    EXPECT_EQ(captureProviderError([&] { custom.fetchModels({}); }), expected);
    EXPECT_EQ(expected.code(), "provider_unavailable");
    EXPECT_TRUE(session.requests().empty());
}

TEST_F(OpenAIRequestTest, EndpointIsCheckedBeforeTheKey) {
    OpenAICompatibleProvider custom(configFor(ProviderID::custom, std::nullopt), std::nullopt,
                                    session);
    EXPECT_EQ(captureProviderError([&] { custom.enhance("s", "u", "m", {}); })->kind(),
              ProviderError::Case::providerUnavailable);
}

TEST_F(OpenAIRequestTest, KeyQuotedInAnErrorNeverReachesTheMessage) {
    session.respond(401, R"({"error":{"message":"Incorrect API key provided: sk-oa-42."}})");
    OpenAICompatibleProvider provider(configFor(ProviderID::custom, "https://c.test/v1"),
                                      " sk-oa-42\n", session);
    for (const auto& error : {captureProviderError([&] { provider.enhance("s", "u", "m", {}); }),
                              captureProviderError([&] { provider.fetchModels({}); })}) {
        ASSERT_TRUE(error);
        EXPECT_EQ(error->errorDescription(),
                  "Request failed (HTTP 401). Incorrect API key provided: [redacted].");
    }
}

struct AvailabilityCase {
    const char* label;
    ProviderID id;
    std::optional<std::string> baseURL;
    std::optional<std::string> key;
    bool available;
    friend void PrintTo(const AvailabilityCase& row, std::ostream* out) { *out << row.label; }
};

class OpenAIAvailabilityTest : public testing::TestWithParam<AvailabilityCase> {};

TEST_P(OpenAIAvailabilityTest, NeedsABaseURLAndAnyRequiredKey) {
    const auto& row = GetParam();
    test::FakeHttpSession session;
    OpenAICompatibleProvider provider(configFor(row.id, row.baseURL), row.key, session);
    EXPECT_EQ(provider.isAvailable(), row.available);
    if (row.baseURL && !row.available) {
        EXPECT_EQ(captureProviderError([&] { provider.enhance("s", "u", "m", {}); }),
                  ProviderError::missingAPIKey(provider.displayName()));
        EXPECT_TRUE(session.requests().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OpenAIAvailabilityTest,
    testing::Values(
        AvailabilityCase{"keyed", ProviderID::openAI, "https://oa.test/v1", "sk", true},
        AvailabilityCase{"noKey", ProviderID::openRouter, "https://or.test/api/v1", std::nullopt,
                         false},
        AvailabilityCase{"emptyKey", ProviderID::groq, "https://g.test/v1", "", false},
        AvailabilityCase{"blankKey", ProviderID::openAI, "https://oa.test/v1", " \t\n", false},
        AvailabilityCase{"keyWithLineBreak", ProviderID::openAI, "https://oa.test/v1",
                         "sk\r\nX-Injected: 1", false},
        AvailabilityCase{"ollamaNeedsNoKey", ProviderID::ollama, "http://127.0.0.1:11434/v1",
                         std::nullopt, true},
        AvailabilityCase{"customWithURLAndKey", ProviderID::custom, "https://c.test/v1", "k", true},
        AvailabilityCase{"customWithoutURL", ProviderID::custom, std::nullopt, "k", false}),
    [](const auto& info) { return std::string(info.param.label); });

// Everything below goes over a real HTTP exchange on 127.0.0.1.
class OpenAILoopbackTest : public testing::Test {
protected:
    void TearDown() override { stall.release(); }

    OpenAICompatibleProvider provider(ProviderID id = ProviderID::openAI,
                                      std::optional<std::string> key = "sk-oa") {
        return OpenAICompatibleProvider(configFor(id, server.baseUrl() + "/v1"), std::move(key),
                                        HttpSession::shared());
    }

    test::StallingHandler stall;
    test::LoopbackServer server;
};

TEST_F(OpenAILoopbackTest, SendsTheBearerKeyAndReadsTheReply) {
    server.post("/v1/chat/completions", test::replyWith(200, R"({"id":"c1","choices":[
        {"index":0,"message":{"role":"assistant","content":"\n  Better prompt. \n"}}]})"));
    server.get("/v1/models",
               test::replyWith(200, R"({"data":[{"id":"b"},{"id":"A"},{"id":"a"}]})"));

    auto openAI = provider();
    EXPECT_EQ(openAI.enhance("sys", "Draft:\nx", "gpt-4o", {}), "Better prompt.");
    EXPECT_EQ(openAI.fetchModels({}), (std::vector<std::string>{"A", "a", "b"}));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].path, "/v1/chat/completions");
    EXPECT_EQ(requests[0].header("Authorization"), "Bearer sk-oa");
    EXPECT_EQ(requests[0].header("content-type"), "application/json");
    EXPECT_EQ(nlohmann::json::parse(requests[0].body)["stream"], false);
    EXPECT_EQ(requests[1].method, "GET");
    EXPECT_EQ(requests[1].path, "/v1/models");
    EXPECT_EQ(requests[1].header("Authorization"), "Bearer sk-oa");
    EXPECT_FALSE(requests[1].hasHeader("content-type"));
}

TEST_F(OpenAILoopbackTest, OllamaSendsAuthorizationOnlyWhenGivenAKey) {
    server.post("/v1/chat/completions", test::replyWith(200, chatReply));
    auto keyless = provider(ProviderID::ollama, std::nullopt);
    EXPECT_TRUE(keyless.isAvailable());
    keyless.enhance("s", "u", "llama3.2", {});
    provider(ProviderID::ollama, "local-key").enhance("s", "u", "llama3.2", {});

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[0].hasHeader("Authorization"));
    EXPECT_EQ(requests[1].header("Authorization"), "Bearer local-key");
}

const std::string emptyBanner = "The model returned an empty response. Try again.";

struct ReplyCase {
    const char* label;
    std::string body;
    std::string text; // empty: the request fails with this banner and code
    std::string banner = emptyBanner;
    std::string code = "empty_response";
    friend void PrintTo(const ReplyCase& row, std::ostream* out) { *out << row.label; }
};

class OpenAIReplyTest : public OpenAILoopbackTest, public testing::WithParamInterface<ReplyCase> {};

TEST_P(OpenAIReplyTest, ReadsTheFirstChoice) {
    const auto& row = GetParam();
    server.post("/v1/chat/completions", test::replyWith(200, row.body));
    auto openAI = provider();
    if (row.text.empty()) {
        const auto error = captureProviderError([&] { openAI.enhance("s", "u", "m", {}); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->errorDescription(), row.banner);
        EXPECT_EQ(error->code(), row.code);
        return;
    }
    EXPECT_EQ(openAI.enhance("s", "u", "m", {}), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OpenAIReplyTest,
    testing::Values(
        ReplyCase{
            "furtherChoicesIgnored",
            R"({"choices":[{"message":{"content":"first"}},{"message":{"content":"second"}}]})",
            "first"},
        ReplyCase{"firstEmptyWinsOverLaterText",
                  R"({"choices":[{"message":{"content":""}},{"message":{"content":"second"}}]})",
                  ""},
        ReplyCase{"whiteSpaceOnly", R"({"choices":[{"message":{"content":" \n\t "}}]})", ""},
        ReplyCase{"noChoices", R"({"choices":[]})", ""},
        ReplyCase{"choicesMissing", R"({"object":"chat.completion"})", ""},
        ReplyCase{"choicesNotArray", R"({"choices":{"message":{"content":"x"}}})", ""},
        ReplyCase{"choiceNotObject", R"({"choices":["x"]})", ""},
        ReplyCase{"messageMissing", R"({"choices":[{"text":"legacy"}]})", ""},
        ReplyCase{"messageNotObject", R"({"choices":[{"message":"x"}]})", ""},
        ReplyCase{"contentNull", R"({"choices":[{"message":{"content":null,"tool_calls":[]}}]})",
                  ""},
        ReplyCase{"contentNotText", R"({"choices":[{"message":{"content":["x"]}}]})", ""},
        // As the services send them.
        ReplyCase{"openAIReply",
                  R"({"id":"chatcmpl-B9MBs8CjcvOU2jLn4n570S5qMJKcT","object":"chat.completion",)"
                  R"("created":1741569952,"model":"gpt-4o-mini-2024-07-18","choices":[{"index":0,)"
                  R"("message":{"role":"assistant","content":"Write a haiku about recursion.",)"
                  R"("refusal":null,"annotations":[]},"logprobs":null,"finish_reason":"stop"}],)"
                  R"("usage":{"prompt_tokens":19,"completion_tokens":10,"total_tokens":29,)"
                  R"("prompt_tokens_details":{"cached_tokens":0,"audio_tokens":0}},)"
                  R"("service_tier":"default","system_fingerprint":"fp_06737a9306"})",
                  "Write a haiku about recursion."},
        ReplyCase{"ollamaReply",
                  R"({"id":"chatcmpl-455","object":"chat.completion","created":1741570000,)"
                  R"("model":"llama3.2","system_fingerprint":"fp_ollama","choices":[{"index":0,)"
                  R"("message":{"role":"assistant","content":"Summarise the PDF.\n"},)"
                  R"("finish_reason":"stop"}],"usage":{"prompt_tokens":31,)"
                  R"("completion_tokens":6,"total_tokens":37}})",
                  "Summarise the PDF."},
        ReplyCase{"refusal",
                  R"({"id":"chatcmpl-9nYAG9LPNonX8DAyrkwYfemr3C8HC","object":"chat.completion",)"
                  R"("created":1721596428,"model":"gpt-4o-2024-08-06","choices":[{"index":0,)"
                  R"("message":{"role":"assistant","content":null,)"
                  R"("refusal":"I'm sorry, I cannot assist with that request."},)"
                  R"("logprobs":null,"finish_reason":"stop"}],"usage":{"prompt_tokens":81,)"
                  R"("completion_tokens":11,"total_tokens":92},)"
                  R"("system_fingerprint":"fp_3407719c7f"})",
                  "", "The model declined: I'm sorry, I cannot assist with that request.",
                  "refused"},
        ReplyCase{"longRefusalIsCut",
                  R"({"choices":[{"message":{"content":null,"refusal":")" + std::string(170, 'n') +
                      R"("}}]})",
                  "", "The model declined: " + std::string(160, 'n'), "refused"},
        ReplyCase{"toolCallsOnly",
                  R"({"id":"chatcmpl-abc123","object":"chat.completion","created":1699896916,)"
                  R"("model":"gpt-4o-mini","choices":[{"index":0,"message":{"role":"assistant",)"
                  R"("content":null,"tool_calls":[{"id":"call_abc123","type":"function",)"
                  R"("function":{"name":"get_current_weather",)"
                  R"("arguments":"{\n\"location\": \"Boston, MA\"\n}"}}],"refusal":null},)"
                  R"("logprobs":null,"finish_reason":"tool_calls"}],"usage":{"prompt_tokens":82,)"
                  R"("completion_tokens":17,"total_tokens":99}})",
                  ""},
        ReplyCase{"errorAfterTheRequestBegan",
                  R"({"error":{"message":"Provider returned error","code":429,)"
                  R"("metadata":{"raw":"{\"error\":\"rate limited upstream\"}",)"
                  R"("provider_name":"Together"}},"user_id":"user_2dHFtVWx2n56w6HkM0000000000"})",
                  "", "Request failed (HTTP 429). Provider returned error", "http_429"},
        ReplyCase{"errorWithoutAStatus",
                  R"({"id":"gen-1741570000-abc","object":"chat.completion","choices":[],)"
                  R"("error":{"code":"server_error","message":"Upstream idle timeout"}})",
                  "", "Request failed (HTTP 502). Upstream idle timeout", "http_502"},
        ReplyCase{"errorOutweighsText",
                  R"({"choices":[{"message":{"content":"partial"}}],)"
                  R"("error":{"code":503,"message":"Provider disconnected"}})",
                  "", "Request failed (HTTP 503). Provider disconnected", "http_503"},
        ReplyCase{"errorWithoutMessageIsNotOne",
                  R"({"choices":[{"message":{"content":"fine"}}],"error":{"code":500}})", "fine"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(OpenAILoopbackTest, RateLimitShowsTheServiceMessage) {
    const std::string body =
        R"({"error":{"message":"Rate limit reached for gpt-4o","type":"requests",)"
        R"("param":"sk-oa-echoed"}})";
    server.post("/v1/chat/completions", test::replyWith(429, body));
    auto openAI = provider();

    const auto error = captureProviderError([&] { openAI.enhance("s", "u", "m", {}); });
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, ProviderError::http(429, body));
    EXPECT_EQ(error->errorDescription(),
              "Request failed (HTTP 429). Rate limit reached for gpt-4o");
    EXPECT_EQ(error->code(), "http_429");
}

TEST_F(OpenAILoopbackTest, HtmlErrorPageNeverReachesTheMessage) {
    server.get("/v1/models", test::replyWith(502, "<html>bad gateway sk-oa</html>"));
    auto openAI = provider();
    const auto error = captureProviderError([&] { openAI.fetchModels({}); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorDescription(), "Request failed (HTTP 502).");
    EXPECT_EQ(error->code(), "http_502");
}

TEST_F(OpenAILoopbackTest, CancellingAnUnansweredRequestEndsPromptly) {
    server.post("/v1/chat/completions", stall.handler());
    auto openAI = provider();
    std::stop_source stop;
    std::jthread canceller([&] {
        stall.waitUntilArrived(10s);
        stop.request_stop();
    });

    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(openAI.enhance("s", "u", "m", stop.get_token()), CancellationError);
    // The handler holds the request for 30 s.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s)
        << "the request ran on after the stop";
}

TEST_F(OpenAILoopbackTest, DroppedConnectionIsANetworkError) {
    server.get("/v1/models", test::closingMidBody());
    auto openAI = provider();
    const auto error = captureProviderError([&] { openAI.fetchModels({}); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), ProviderError::Case::network);
    EXPECT_FALSE(error->text().empty());
}

TEST_F(OpenAILoopbackTest, NothingListeningIsANetworkError) {
    const auto closedPort = [] {
        test::LoopbackServer gone;
        return gone.baseUrl();
    }();
    OpenAICompatibleProvider openAI(configFor(ProviderID::openAI, closedPort + "/v1"), "k",
                                    HttpSession::shared());
    const auto error = captureProviderError([&] { openAI.enhance("s", "u", "m", {}); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), ProviderError::Case::network);
}

class OpenAIMalformedReplyTest : public OpenAILoopbackTest,
                                 public testing::WithParamInterface<test::MalformedBody> {};

TEST_P(OpenAIMalformedReplyTest, GivesEmptyResponse) {
    server.post("/v1/chat/completions", test::replyWith(200, GetParam().body));
    server.get("/v1/models", test::replyWith(200, GetParam().body));
    auto openAI = provider();
    EXPECT_EQ(captureProviderError([&] { openAI.enhance("s", "u", "m", {}); }),
              ProviderError::emptyResponse());
    EXPECT_EQ(captureProviderError([&] { openAI.fetchModels({}); }),
              ProviderError::emptyResponse());
}

INSTANTIATE_TEST_SUITE_P(Bodies, OpenAIMalformedReplyTest,
                         testing::ValuesIn(test::malformedBodies()),
                         [](const auto& info) { return info.param.label; });

} // namespace
} // namespace quorvane
