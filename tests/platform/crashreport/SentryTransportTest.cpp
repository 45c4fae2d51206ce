#include "platform/crashreport/SentryTransport.h"

#include "platform/http/HttpSession.h"
#include "support/LoopbackServer.h"
#include "support/StallingHandler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace quorvane {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;

constexpr auto enough = 20s;
const char* endpoint = "/api/3/envelope/";

const SentryEventContext context{"2.0.0", OsRelease{"Test OS", "1"}};

SentryEvent event(const std::string& text) {
    return SentryEvent::message(text, context);
}

std::string loggedText(const test::RecordedRequest& request) {
    const auto start = request.body.find("\"formatted\":\"");
    if (start == std::string::npos) {
        return {};
    }
    const auto from = start + 13;
    return request.body.substr(from, request.body.find('"', from) - from);
}

// Answers the first request only when the test opens the gate, with what the
// test chose; later requests are answered at once with 200.
class Gate {
public:
    LoopbackServer::Handler handler(long status,
                                    std::vector<std::pair<std::string, std::string>> headers) {
        return [this, status, headers](const httplib::Request&, httplib::Response& response) {
            std::unique_lock lock(mutex_);
            if (first_) {
                first_ = false;
                arrived_ = true;
                changed_.notify_all();
                changed_.wait_for(lock, 30s, [this] { return open_; });
                response.status = static_cast<int>(status);
                for (const auto& [name, value] : headers) {
                    response.set_header(name, value);
                }
                return;
            }
            response.status = 200;
        };
    }
    bool waitUntilArrived() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, enough, [this] { return arrived_; });
    }
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool first_ = true;
    bool arrived_ = false;
    bool open_ = false;
};

class SentryTransportTest : public testing::Test {
protected:
    std::unique_ptr<SentryTransport> makeTransport(const std::string& credentials = "pub") {
        const auto dsn = SentryDsn::parse("http://" + credentials +
                                          "@127.0.0.1:" + std::to_string(server_.port()) + "/3");
        return std::make_unique<SentryTransport>(*dsn, "2.0.0", HttpSession::shared());
    }

    LoopbackServer server_;
};

TEST_F(SentryTransportTest, PostsEachEnvelopeWithTheIngestHeadersAndFlushWaitsForThem) {
    server_.post(endpoint, [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(100ms); // flush must wait for slow replies too
        response.status = 200;
    });
    auto transport = makeTransport();

    ASSERT_TRUE(transport->enqueue(event("first")));
    ASSERT_TRUE(transport->enqueue(event("second")));
    ASSERT_TRUE(transport->enqueue(event("third")));
    ASSERT_TRUE(transport->flush(enough));

    const auto requests = server_.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(loggedText(requests[0]), "first");
    EXPECT_EQ(loggedText(requests[1]), "second");
    EXPECT_EQ(loggedText(requests[2]), "third");
    const auto& request = requests[0];
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, endpoint);
    EXPECT_EQ(request.header("X-Sentry-Auth"),
              "Sentry sentry_version=7, sentry_client=quorvane/2.0.0, sentry_key=pub");
    EXPECT_EQ(request.header("Content-Type"), "application/x-sentry-envelope");
    EXPECT_EQ(request.header("User-Agent"), "quorvane/2.0.0");
}

TEST_F(SentryTransportTest, FlushGivesUpAfterItsTimeOut) {
    test::StallingHandler stalling;
    server_.post(endpoint, stalling.handler());
    auto transport = makeTransport();
    transport->enqueue(event("held"));
    ASSERT_TRUE(stalling.waitUntilArrived(enough));

    EXPECT_FALSE(transport->flush(50ms));

    stalling.release();
    EXPECT_TRUE(transport->flush(enough));
}

TEST_F(SentryTransportTest, ClosingCancelsARequestInFlight) {
    test::StallingHandler stalling;
    server_.post(endpoint, stalling.handler());
    auto transport = makeTransport();
    transport->enqueue(event("held"));
    ASSERT_TRUE(stalling.waitUntilArrived(enough));

    // Without the cancellation the sender would wait out the request's own 15 s time-out.
    const auto start = std::chrono::steady_clock::now();
    transport.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    stalling.release();
}

TEST_F(SentryTransportTest, ATooManyRequestsReplySuspendsSendingAndDropsWaitingEvents) {
    Gate gate;
    server_.post(endpoint, gate.handler(429, {{"Retry-After", "60"}}));
    auto transport = makeTransport();

    ASSERT_TRUE(transport->enqueue(event("answered with 429")));
    ASSERT_TRUE(gate.waitUntilArrived());
    ASSERT_TRUE(transport->enqueue(event("waiting behind it")));
    gate.open();
    ASSERT_TRUE(transport->flush(enough));

    EXPECT_FALSE(transport->enqueue(event("while suspended")));
    ASSERT_TRUE(transport->flush(enough));
    ASSERT_EQ(server_.requests().size(), 1u);
}

TEST_F(SentryTransportTest, RateLimitHeaderOnASuccessfulReplyIsHonoured) {
    struct Case {
        const char* header;
        bool suspended;
    };
    for (const auto& c : {Case{"60:error:key", true}, Case{"60:transaction:key", false}}) {
        LoopbackServer server;
        server.post(endpoint, [&c](const httplib::Request&, httplib::Response& response) {
            response.status = 200;
            response.set_header("X-Sentry-Rate-Limits", c.header);
        });
        const auto dsn =
            SentryDsn::parse("http://pub@127.0.0.1:" + std::to_string(server.port()) + "/3");
        SentryTransport transport(*dsn, "2.0.0", HttpSession::shared());

        transport.enqueue(event("one"));
        ASSERT_TRUE(transport.flush(enough));
        EXPECT_EQ(transport.enqueue(event("two")), !c.suspended) << c.header;
        ASSERT_TRUE(transport.flush(enough));
        EXPECT_EQ(server.requests().size(), c.suspended ? 1u : 2u) << c.header;
    }
}

TEST_F(SentryTransportTest, AuthHeaderCarriesTheSecretWhenTheDsnHasOne) {
    server_.post(endpoint, [](const httplib::Request&, httplib::Response& response) {
        response.status = 200;
    });
    auto transport = makeTransport("pub:sec");
    transport->enqueue(event("x"));
    ASSERT_TRUE(transport->flush(enough));
    ASSERT_EQ(server_.requests().size(), 1u);
    EXPECT_EQ(
        server_.requests()[0].header("X-Sentry-Auth"),
        "Sentry sentry_version=7, sentry_client=quorvane/2.0.0, sentry_key=pub, sentry_secret=sec");
}

TEST_F(SentryTransportTest, OnlyAnEventTheServiceAcceptedIsReportedAccepted) {
    struct Case {
        const char* name;
        int status; // 0: nothing listens
        bool accepted;
    };
    const Case cases[] = {
        {"ok", 200, true},
        {"accepted", 202, true},
        {"server error", 500, false},
        {"rate limited", 429, false},
        {"bad request", 400, false},
        {"unreachable", 0, false},
    };
    for (const auto& c : cases) {
        auto server = std::make_unique<LoopbackServer>();
        server->post(endpoint, [&c](const httplib::Request&, httplib::Response& response) {
            response.status = c.status;
        });
        const auto dsn =
            SentryDsn::parse("http://pub@127.0.0.1:" + std::to_string(server->port()) + "/3");
        if (c.status == 0) {
            server.reset();
        }
        SentryTransport transport(*dsn, "2.0.0", HttpSession::shared());
        std::atomic<int> accepted{0};

        ASSERT_TRUE(transport.enqueue(event(c.name), [&accepted] { ++accepted; })) << c.name;
        ASSERT_TRUE(transport.flush(enough)) << c.name;

        EXPECT_EQ(accepted, c.accepted ? 1 : 0) << c.name;
    }
}

TEST_F(SentryTransportTest, AFullQueueDropsFurtherEvents) {
    test::StallingHandler stalling;
    server_.post(endpoint, stalling.handler());
    auto transport = makeTransport();
    transport->enqueue(event("in flight"));
    ASSERT_TRUE(stalling.waitUntilArrived(enough));

    for (std::size_t i = 0; i < SentryTransport::queueLimit; ++i) {
        ASSERT_TRUE(transport->enqueue(event("queued")));
    }
    EXPECT_FALSE(transport->enqueue(event("one too many")));

    stalling.release();
    ASSERT_TRUE(transport->flush(enough));
    EXPECT_EQ(server_.requests().size(), SentryTransport::queueLimit + 1);
}

} // namespace
} // namespace quorvane
