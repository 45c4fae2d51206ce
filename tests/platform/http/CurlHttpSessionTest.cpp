#include "platform/http/CurlHttpSession.h"

#include "RawSocketPeer.h"
#include "platform/http/HttpTransportError.h"
#include "platform/task/CancellationError.h"
#include "support/LoopbackServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <ostream>
#include <thread>

namespace quorvane {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;
using test::RawSocketPeer;
using testing::HasSubstr;

constexpr std::size_t limit = std::size_t{32} * 1024 * 1024;

HttpRequest get(std::string url) {
    HttpRequest request;
    request.url = std::move(url);
    return request;
}

// Holds the request until the server stops, as a service that never answers.
LoopbackServer::Handler stallUntilStopped(const LoopbackServer& server) {
    return [&server](const httplib::Request&, httplib::Response& response) {
        server.waitUntilStopped();
        response.status = 200;
    };
}

void waitForFirstRequest(const LoopbackServer& server) {
    const auto giveUp = std::chrono::steady_clock::now() + 10s;
    while (server.requests().empty() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(5ms);
    }
}

// Streams size bytes of filler, with or without a Content-Length header.
LoopbackServer::Handler filler(std::size_t size, bool chunked) {
    return [size, chunked](const httplib::Request&, httplib::Response& response) {
        auto sent = std::make_shared<std::size_t>(0);
        auto provide = [size, sent](std::size_t, httplib::DataSink& sink) {
            static const std::string block(64 * 1024, 'x');
            if (*sent >= size) {
                sink.done();
                return true;
            }
            const std::size_t count = std::min(block.size(), size - *sent);
            *sent += count;
            return sink.write(block.data(), count);
        };
        if (chunked) {
            response.set_chunked_content_provider("text/plain", provide);
        } else {
            response.set_content_provider(
                size, "text/plain",
                [provide](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    return provide(offset, sink);
                });
        }
    };
}

class CurlHttpSessionTest : public testing::Test {
protected:
    CurlHttpSession session;
};

TEST_F(CurlHttpSessionTest, SendsTheRequestAsGivenAndReturnsTheResponse) {
    RawSocketPeer peer(
        "HTTP/1.1 201 Created\r\nX-B: 1\r\nx-a:  two \r\nContent-Length: 5\r\n\r\nhello");
    HttpRequest request;
    request.method = "POST";
    request.url = peer.url("/v1/messages?beta=1");
    request.headers = {{"content-type", "application/json"},
                       {"x-api-key", "sk-test"},
                       {"anthropic-version", "2023-06-01"},
                       {"X-Empty", ""}};
    request.body = R"({"model":"m"})";

    const auto response = session.send(request, {});

    EXPECT_EQ(response.statusCode, 201);
    EXPECT_EQ(response.body, "hello");
    ASSERT_GE(response.headers.size(), 3u);
    EXPECT_EQ(response.headers[0], HttpHeader("X-B", "1"));
    EXPECT_EQ(response.headers[1], HttpHeader("x-a", "two"));
    EXPECT_EQ(response.header("X-A"), "two");
    EXPECT_EQ(response.header("content-length"), "5");
    EXPECT_EQ(response.header("X-Missing"), std::nullopt);

    const auto raw = peer.received();
    EXPECT_TRUE(raw.starts_with("POST /v1/messages?beta=1 HTTP/1.1\r\n")) << raw;
    const auto type = raw.find("\r\ncontent-type: application/json\r\n");
    const auto key = raw.find("\r\nx-api-key: sk-test\r\n");
    const auto version = raw.find("\r\nanthropic-version: 2023-06-01\r\n");
    ASSERT_NE(type, std::string::npos) << raw;
    ASSERT_NE(key, std::string::npos) << raw;
    ASSERT_NE(version, std::string::npos) << raw;
    EXPECT_LT(type, key);
    EXPECT_LT(key, version);
    EXPECT_THAT(raw, HasSubstr("\r\nX-Empty:\r\n"));
    EXPECT_THAT(raw, testing::Not(HasSubstr("Expect:")));
    EXPECT_TRUE(raw.ends_with("\r\n\r\n" + request.body)) << raw;
}

// The transfers of one thread run on the same kept handle one after another.
TEST_F(CurlHttpSessionTest, NothingOfOneRequestReachesTheNext) {
    struct Step {
        std::string method;
        std::string body;
        std::vector<HttpHeader> headers;
        std::string reply;
        std::string requestLine;
    };
    const std::string ok = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n";
    const std::vector<Step> steps = {
        {"HEAD", "", {}, "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n", "HEAD /1 "},
        {"POST", "payload", {{"X-One", "1"}}, ok + "post", "POST /2 "},
        {"DELETE", "", {}, ok + "gone", "DELETE /3 "},
        {"GET", "", {}, ok + "four", "GET /4 "},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        RawSocketPeer peer(step.reply);
        HttpRequest request = get(peer.url("/" + std::to_string(i + 1)));
        request.method = step.method;
        request.body = step.body;
        request.headers = step.headers;

        const auto response = session.send(request, {});

        const auto raw = peer.received();
        EXPECT_TRUE(raw.starts_with(step.requestLine)) << raw;
        EXPECT_EQ(response.body, step.method == "HEAD" ? "" : step.reply.substr(ok.size()));
        EXPECT_EQ(raw.find("payload") != std::string::npos, step.method == "POST") << raw;
        EXPECT_EQ(raw.find("X-One") != std::string::npos, step.method == "POST") << raw;
        if (step.method != "POST") {
            EXPECT_THAT(raw, testing::Not(HasSubstr("Content-Length"))) << raw;
        }
    }
}

TEST_F(CurlHttpSessionTest, AFailedRequestLeavesNothingToTheNext) {
    const std::string ok = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
    {
        RawSocketPeer first(ok);
        session.send(get(first.url("/first")), {});
    }
    {
        RawSocketPeer closing(""); // closes without an answer
        HttpRequest request = get(closing.url("/failing"));
        request.method = "DELETE";
        request.headers = {{"X-Failing", "1"}};
        EXPECT_THROW(session.send(request, {}), HttpTransportError);
    }
    RawSocketPeer next(ok);
    EXPECT_EQ(session.send(get(next.url("/next")), {}).body, "ok");
    const auto raw = next.received();
    EXPECT_TRUE(raw.starts_with("GET /next ")) << raw;
    EXPECT_THAT(raw, testing::Not(HasSubstr("X-Failing"))) << raw;
}

TEST_F(CurlHttpSessionTest, KeepsOnlyTheHeadersOfTheFinalResponse) {
    RawSocketPeer peer("HTTP/1.1 100 Continue\r\nX-Interim: 1\r\n\r\n"
                       "HTTP/1.1 200 OK\r\nX-Final: 1\r\nContent-Length: 0\r\n\r\n");
    const auto response = session.send(get(peer.url("/")), {});
    EXPECT_EQ(response.statusCode, 200);
    EXPECT_EQ(response.header("X-Interim"), std::nullopt);
    EXPECT_EQ(response.header("X-Final"), "1");
}

TEST_F(CurlHttpSessionTest, ReturnsErrorStatusesWithTheirBody) {
    LoopbackServer server;
    server.get("/limited", [](const httplib::Request&, httplib::Response& response) {
        response.status = 429;
        response.set_content(R"({"error":{"message":"slow down"}})", "application/json");
    });
    const auto response = session.send(get(server.baseUrl() + "/limited"), {});
    EXPECT_EQ(response.statusCode, 429);
    EXPECT_EQ(response.body, R"({"error":{"message":"slow down"}})");
    EXPECT_EQ(response.header("Content-Type"), "application/json");

    EXPECT_EQ(session.send(get(server.baseUrl() + "/nowhere"), {}).statusCode, 404);
    const auto arrivals = server.requests();
    ASSERT_EQ(arrivals.size(), 2u);
    EXPECT_EQ(arrivals[1].path, "/nowhere");
}

struct TransportFailure {
    const char* label;
    std::string reply; // what a raw peer answers; unused when url is set
    std::string url;   // a fixed target instead of the peer
    std::string description;
};

void PrintTo(const TransportFailure& row, std::ostream* out) {
    *out << row.label;
}

class TransportFailureTest : public testing::TestWithParam<TransportFailure> {};

TEST_P(TransportFailureTest, ThrowsAReadableTransportError) {
    const auto& row = GetParam();
    std::optional<RawSocketPeer> peer;
    if (row.url.empty()) {
        peer.emplace(row.reply);
    }
    const std::string url = peer ? peer->url("/") : row.url;
    CurlHttpSession session;
    try {
        session.send(get(url), {});
        FAIL() << "no error for " << url;
    } catch (const HttpTransportError& error) {
        EXPECT_THAT(error.what(), HasSubstr(row.description));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, TransportFailureTest,
    testing::Values(
        TransportFailure{"ConnectionRefused", "",
                         "http://127.0.0.1:" + std::to_string(RawSocketPeer::closedPort()) + "/",
                         "Couldn't connect to server: Failed to connect to 127.0.0.1 port"},
        TransportFailure{"ClosedWithoutAnswer", "", "", "Server returned nothing"},
        TransportFailure{"NotHttp", "SSH-2.0-OpenSSH_9.2\r\n", "", "HTTP/0.9"},
        TransportFailure{"TruncatedBody", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial",
                         "", "Transferred a partial file"},
        TransportFailure{"DeclaredOver32MiB",
                         "HTTP/1.1 200 OK\r\nContent-Length: 33554433\r\n\r\nabc", "", "32 MiB"},
        TransportFailure{"FileScheme", "", "file:///etc/passwd", "Unsupported protocol"},
        TransportFailure{"FtpScheme", "", "ftp://127.0.0.1/", "Unsupported protocol"},
        TransportFailure{"NotAUrl", "", "http://exa mple.com/", "URL"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(CurlHttpSessionTest, StopDuringTheRequestEndsItPromptly) {
    LoopbackServer server;
    server.get("/stall", stallUntilStopped(server));
    std::stop_source stop;
    auto stopper = std::async(std::launch::async, [&] {
        waitForFirstRequest(server);
        stop.request_stop();
        return std::chrono::steady_clock::now();
    });

    EXPECT_THROW(session.send(get(server.baseUrl() + "/stall"), stop.get_token()),
                 CancellationError);
    const auto ended = std::chrono::steady_clock::now();
    EXPECT_LT(ended - stopper.get(), 2s);
}

TEST_F(CurlHttpSessionTest, StopRequestedBeforehandSendsNothing) {
    LoopbackServer server;
    server.get("/",
               [](const httplib::Request&, httplib::Response& response) { response.status = 200; });
    std::stop_source stop;
    stop.request_stop();
    EXPECT_THROW(session.send(get(server.baseUrl() + "/"), stop.get_token()), CancellationError);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(CurlHttpSessionTest, RequestTimeOutIsATransportError) {
    LoopbackServer server;
    server.get("/stall", stallUntilStopped(server));
    auto request = get(server.baseUrl() + "/stall");
    request.timeout = 300ms;
    EXPECT_THROW(
        {
            try {
                session.send(request, {});
            } catch (const HttpTransportError& error) {
                EXPECT_THAT(error.what(), HasSubstr("Timeout"));
                throw;
            }
        },
        HttpTransportError);
}

TEST_F(CurlHttpSessionTest, RefusesHeadersThatCouldSplitTheHeaderBlock) {
    LoopbackServer server;
    server.get("/",
               [](const httplib::Request&, httplib::Response& response) { response.status = 200; });
    const std::vector<HttpHeader> unsafe = {{"X-Note", "a\r\nX-Injected: 1"},
                                            {"X-Note", "a\nb"},
                                            {"Bad Name", "v"},
                                            {"Bad:Name", "v"},
                                            {"", "v"}};
    for (const auto& header : unsafe) {
        auto request = get(server.baseUrl() + "/");
        request.headers = {header};
        EXPECT_THROW(session.send(request, {}), HttpTransportError)
            << header.first << ": " << header.second;
    }
    EXPECT_TRUE(server.requests().empty());
}

struct KeyRedirect {
    const char* label;
    bool toOtherServer;
    bool keysArrive;
};

void PrintTo(const KeyRedirect& row, std::ostream* out) {
    *out << row.label;
}

class KeyRedirectTest : public testing::TestWithParam<KeyRedirect> {};

TEST_P(KeyRedirectTest, KeysReachOnlyTheServerFirstAsked) {
    const auto& row = GetParam();
    LoopbackServer first;
    LoopbackServer other; // another port: another origin
    LoopbackServer& landing = row.toOtherServer ? other : first;
    const std::string target = landing.baseUrl() + "/land";
    first.post("/start", [target](const httplib::Request&, httplib::Response& response) {
        response.status = 307;
        response.set_header("Location", target);
    });
    landing.post("/land", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("landed", "text/plain");
    });
    HttpRequest request;
    request.method = "POST";
    request.url = first.baseUrl() + "/start";
    request.headers = {{"content-type", "application/json"},
                       {"X-API-Key", "sk-ant"},
                       {"authorization", "Bearer sk-oai"},
                       {"x-sentry-auth", "Sentry sentry_key=public"},
                       {"anthropic-version", "2023-06-01"}};
    request.body = "{}";

    const auto response = CurlHttpSession().send(request, {});

    EXPECT_EQ(response.statusCode, 200);
    EXPECT_EQ(response.body, "landed");
    const auto arrivals = landing.requests();
    ASSERT_FALSE(arrivals.empty());
    const auto& landed = arrivals.back();
    EXPECT_EQ(landed.path, "/land");
    EXPECT_EQ(landed.method, "POST");
    EXPECT_EQ(landed.body, "{}");
    EXPECT_EQ(landed.header("anthropic-version"), "2023-06-01");
    EXPECT_EQ(landed.hasHeader("x-api-key"), row.keysArrive);
    EXPECT_EQ(landed.hasHeader("Authorization"), row.keysArrive);
    EXPECT_EQ(landed.hasHeader("X-Sentry-Auth"), row.keysArrive);
}

INSTANTIATE_TEST_SUITE_P(Redirects, KeyRedirectTest,
                         testing::Values(KeyRedirect{"SameServer", false, true},
                                         KeyRedirect{"OtherPort", true, false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(CurlHttpSessionTest, KeysStayDroppedWhenARedirectLeadsBack) {
    LoopbackServer first;
    LoopbackServer other;
    const std::string back = first.baseUrl() + "/back";
    first.get("/start", [&other](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(other.baseUrl() + "/bounce", 302);
    });
    other.get("/bounce", [back](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(back, 302);
    });
    first.get("/back",
              [](const httplib::Request&, httplib::Response& response) { response.status = 204; });
    auto request = get(first.baseUrl() + "/start");
    request.headers = {{"Authorization", "Bearer k"}};

    EXPECT_EQ(session.send(request, {}).statusCode, 204);
    EXPECT_FALSE(other.requests().back().hasHeader("Authorization"));
    EXPECT_FALSE(first.requests().back().hasHeader("Authorization"));
}

struct MethodRedirect {
    int status;
    std::string method;
    std::string body;
};

void PrintTo(const MethodRedirect& row, std::ostream* out) {
    *out << row.status;
}

class MethodRedirectTest : public testing::TestWithParam<MethodRedirect> {};

TEST_P(MethodRedirectTest, PostIsRepeatedOrTurnedIntoGet) {
    const auto& row = GetParam();
    LoopbackServer server;
    server.post("/from", [&row](const httplib::Request&, httplib::Response& response) {
        response.status = row.status;
        response.set_header("Location", "/to?x=1"); // relative: resolved against the request
    });
    const auto reply = [](const httplib::Request&, httplib::Response& response) {
        response.set_content("final", "text/plain");
    };
    server.get("/to", reply);
    server.post("/to", reply);
    HttpRequest request;
    request.method = "POST";
    request.url = server.baseUrl() + "/from";
    request.headers = {{"Content-Type", "application/json"}};
    request.body = R"({"a":1})";

    const auto response = CurlHttpSession().send(request, {});

    EXPECT_EQ(response.statusCode, 200);
    EXPECT_EQ(response.body, "final");
    const auto arrivals = server.requests();
    ASSERT_EQ(arrivals.size(), 2u);
    EXPECT_EQ(arrivals[1].method, row.method);
    EXPECT_EQ(arrivals[1].path, "/to");
    EXPECT_EQ(arrivals[1].body, row.body);
    EXPECT_EQ(arrivals[1].hasHeader("Content-Type"), !row.body.empty());
}

INSTANTIATE_TEST_SUITE_P(Redirects, MethodRedirectTest,
                         testing::Values(MethodRedirect{301, "GET", ""},
                                         MethodRedirect{302, "GET", ""},
                                         MethodRedirect{303, "GET", ""},
                                         MethodRedirect{307, "POST", R"({"a":1})"},
                                         MethodRedirect{308, "POST", R"({"a":1})"}),
                         [](const auto& info) { return std::to_string(info.param.status); });

TEST_F(CurlHttpSessionTest, EndlessRedirectsFail) {
    LoopbackServer server;
    server.get("/loop", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/loop", 302);
    });
    EXPECT_THROW(session.send(get(server.baseUrl() + "/loop"), {}), HttpTransportError);
    EXPECT_EQ(server.requests().size(), CurlHttpSession::maximumRedirects + 1u);
}

TEST_F(CurlHttpSessionTest, RedirectToAnotherSchemeIsRefused) {
    LoopbackServer server;
    server.get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("file:///etc/passwd", 302);
    });
    EXPECT_THROW(session.send(get(server.baseUrl() + "/"), {}), HttpTransportError);
}

struct OversizedBody {
    const char* label;
    std::size_t size;
    bool chunked;
    bool accepted;
};

void PrintTo(const OversizedBody& row, std::ostream* out) {
    *out << row.label;
}

class BodySizeTest : public testing::TestWithParam<OversizedBody> {};

TEST_P(BodySizeTest, BodiesOver32MiBAreRefused) {
    const auto& row = GetParam();
    LoopbackServer server;
    server.get("/big", filler(row.size, row.chunked));
    const auto request = get(server.baseUrl() + "/big");
    CurlHttpSession session;
    if (row.accepted) {
        EXPECT_EQ(session.send(request, {}).body.size(), row.size);
        return;
    }
    try {
        session.send(request, {});
        FAIL() << "an oversized body was accepted";
    } catch (const HttpTransportError& error) {
        EXPECT_THAT(error.what(), HasSubstr("32 MiB"));
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, BodySizeTest,
                         testing::Values(OversizedBody{"ExactlyTheLimit", limit, true, true},
                                         OversizedBody{"DeclaredLength", limit + 1, false, false},
                                         OversizedBody{"ChunkedStream", limit + 1, true, false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(CurlHttpSessionTest, ServesConcurrentRequestsFromSeveralThreads) {
    LoopbackServer server;
    server.get("/echo", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(request.get_param_value("n"), "text/plain");
    });
    constexpr int threads = 8;
    constexpr int perThread = 6;
    std::vector<std::future<int>> workers;
    for (int t = 0; t < threads; ++t) {
        workers.push_back(std::async(std::launch::async, [&, t] {
            int correct = 0;
            for (int i = 0; i < perThread; ++i) {
                const std::string n = std::to_string(t * 100 + i);
                const auto response = session.send(get(server.baseUrl() + "/echo?n=" + n), {});
                correct += response.statusCode == 200 && response.body == n ? 1 : 0;
            }
            return correct;
        }));
    }
    for (auto& worker : workers) {
        EXPECT_EQ(worker.get(), perThread);
    }
}

} // namespace
} // namespace quorvane
