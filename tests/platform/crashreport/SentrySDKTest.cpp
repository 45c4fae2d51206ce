#include "platform/crashreport/SentrySDK.h"

#include "platform/appinfo/ApplicationInfo.h"
#include "platform/crashreport/CrashHandler.h"
#include "support/LoopbackServer.h"
#include "support/StallingHandler.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>

namespace quorvane {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using test::LoopbackServer;

constexpr auto enough = 20s;

void answerOk(const httplib::Request&, httplib::Response& response) {
    response.status = 200;
}

// A sound record of the signal, as the crash handler writes it.
void writeRecord(const std::filesystem::path& folder, const std::string& name, int signal) {
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name) << "quorvane-crash 1\nsignal " << signal
                                 << "\ntime 1718000000250\nrelease 0.9\nframe 0x1234\nend\n";
}

class SentrySDKTest : public testing::Test {
protected:
    void SetUp() override {
        SentrySDK::close();
        osRelease_ = std::filesystem::path(std::getenv("TMPDIR")) / "os-release";
        std::ofstream(osRelease_) << "NAME=\"Fixture OS\"\nVERSION_ID=\"9.1\"\n";
    }
    void TearDown() override { SentrySDK::close(); }

    std::string dsnFor(const LoopbackServer& server, const std::string& project = "5") const {
        return "http://pubkey@127.0.0.1:" + std::to_string(server.port()) + "/" + project;
    }

    void start(const std::string& dsn) {
        SentrySDK::start([&](SentryOptions& options) {
            options.dsn = dsn;
            options.osReleasePath = osRelease_;
        });
    }

    // Reporting started against a server that holds the first event on the wire, so that what
    // is captured next waits in the queue.
    void startWithOneEventInFlight(LoopbackServer& server, test::StallingHandler& stalling) {
        server.post("/api/5/envelope/", stalling.handler());
        start(dsnFor(server));
        SentrySDK::capture("in flight");
        ASSERT_TRUE(stalling.waitUntilArrived(enough));
    }

    std::filesystem::path osRelease_;
};

TEST_F(SentrySDKTest, WithoutAStartNothingIsCapturedOrSent) {
    EXPECT_FALSE(SentrySDK::isEnabled());
    EXPECT_EQ(SentrySDK::capture("ignored"), SentrySDK::emptyEventId);
    EXPECT_EQ(SentrySDK::capture(SentryError{"ProviderError", "timeout"}), SentrySDK::emptyEventId);
    EXPECT_TRUE(SentrySDK::flush(1s));
    EXPECT_EQ(SentrySDK::options(), std::nullopt);
}

TEST_F(SentrySDKTest, ADsnThatDoesNotParseLeavesReportingOff) {
    for (const char* dsn : {"", "not a dsn", "https://example.com/1", "https://k@example.com"}) {
        start(dsn);
        EXPECT_FALSE(SentrySDK::isEnabled()) << dsn;
        EXPECT_EQ(SentrySDK::capture("ignored"), SentrySDK::emptyEventId) << dsn;
    }
}

TEST_F(SentrySDKTest, CapturedMessageArrivesAsAnEnvelopeWithoutPersonalData) {
    LoopbackServer server;
    server.post("/api/5/envelope/", answerOk);
    start(dsnFor(server));
    ASSERT_TRUE(SentrySDK::isEnabled());

    const auto eventId = SentrySDK::capture("Quorvane DSN wiring test");
    ASSERT_TRUE(SentrySDK::flush(enough));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& request = requests[0];
    const auto version = ApplicationInfo().shortVersionString();
    EXPECT_EQ(request.header("X-Sentry-Auth"),
              "Sentry sentry_version=7, sentry_client=quorvane/" + version + ", sentry_key=pubkey");
    EXPECT_EQ(request.header("User-Agent"), "quorvane/" + version);
    EXPECT_EQ(request.header("Content-Type"), "application/x-sentry-envelope");

    const auto firstBreak = request.body.find('\n');
    const auto secondBreak = request.body.find('\n', firstBreak + 1);
    ASSERT_NE(secondBreak, std::string::npos);
    const auto header = json::parse(request.body.substr(0, firstBreak));
    const auto item =
        json::parse(request.body.substr(firstBreak + 1, secondBreak - firstBreak - 1));
    const auto payloadText = request.body.substr(secondBreak + 1);
    const auto event = json::parse(payloadText);
    EXPECT_EQ(header["event_id"], eventId);
    EXPECT_EQ(item["length"], payloadText.size());
    EXPECT_EQ(event["event_id"], eventId);
    EXPECT_EQ(event["logentry"]["formatted"], "Quorvane DSN wiring test");
    EXPECT_EQ(event["release"], "quorvane@" + version);
    EXPECT_EQ(event["contexts"]["os"], json({{"name", "Fixture OS"}, {"version", "9.1"}}));
    EXPECT_EQ(event["sdk"]["settings"]["infer_ip"], "never");
    EXPECT_FALSE(event.contains("user"));
    EXPECT_FALSE(event.contains("server_name"));
    char hostname[256] = {};
    ASSERT_EQ(::gethostname(hostname, sizeof hostname - 1), 0);
    if (std::string(hostname).size() >= 4) {
        EXPECT_EQ(request.body.find(hostname), std::string::npos) << "the machine's name was sent";
    }
    EXPECT_EQ(request.body.find("pubkey"), std::string::npos) << "the key went into the body";
}

TEST_F(SentrySDKTest, CapturedErrorArrivesAsAHandledException) {
    LoopbackServer server;
    server.post("/api/5/envelope/", answerOk);
    start(dsnFor(server));

    const auto eventId = SentrySDK::capture(SentryError{"ProviderError", "rate_limited"});
    ASSERT_TRUE(SentrySDK::flush(enough));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& body = requests[0].body;
    const auto event = json::parse(body.substr(body.rfind('\n') + 1));
    EXPECT_EQ(event["event_id"], eventId);
    EXPECT_EQ(event["level"], "error");
    EXPECT_EQ(event["exception"]["values"][0]["type"], "ProviderError");
    EXPECT_EQ(event["exception"]["values"][0]["value"], "rate_limited");
}

TEST_F(SentrySDKTest, StartingAgainWithTheSameOptionsKeepsWhatIsQueued) {
    LoopbackServer server;
    test::StallingHandler stalling;
    startWithOneEventInFlight(server, stalling);
    SentrySDK::capture("queued");

    start(dsnFor(server));
    EXPECT_EQ(SentrySDK::options()->dsn, dsnFor(server));

    stalling.release();
    ASSERT_TRUE(SentrySDK::flush(enough));
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST_F(SentrySDKTest, DiscardingDropsWhatWaitsButKeepsReportingStarted) {
    LoopbackServer server;
    test::StallingHandler stalling;
    startWithOneEventInFlight(server, stalling);
    SentrySDK::capture("captured before consent was withdrawn");
    SentrySDK::capture(SentryError{"ProviderError", "network"});

    SentrySDK::discardQueued();
    stalling.release();
    ASSERT_TRUE(SentrySDK::flush(enough));
    EXPECT_EQ(server.requests().size(), 1u) << "waiting events went out after the discard";

    EXPECT_TRUE(SentrySDK::isEnabled());
    SentrySDK::capture("after consent is given again");
    ASSERT_TRUE(SentrySDK::flush(enough));
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST_F(SentrySDKTest, StartingWithAnotherDsnSendsThereFromThenOn) {
    LoopbackServer first;
    LoopbackServer second;
    first.post("/api/5/envelope/", answerOk);
    second.post("/api/6/envelope/", answerOk);

    start(dsnFor(first));
    SentrySDK::capture("to the first");
    ASSERT_TRUE(SentrySDK::flush(enough));
    start(dsnFor(second, "6"));
    SentrySDK::capture("to the second");
    ASSERT_TRUE(SentrySDK::flush(enough));

    EXPECT_EQ(first.requests().size(), 1u);
    EXPECT_EQ(second.requests().size(), 1u);
}

TEST_F(SentrySDKTest, CrashesAreRecordedWhileReportingRunsAndSentAsFatalEvents) {
    LoopbackServer server;
    server.post("/api/5/envelope/", answerOk);
    const auto folder = std::filesystem::path(std::getenv("TMPDIR")) / "crashes";
    const auto startWith = [&](const std::string& dsn, const std::filesystem::path& crashes) {
        SentrySDK::start([&](SentryOptions& options) {
            options.dsn = dsn;
            options.osReleasePath = osRelease_;
            options.crashDirectory = crashes;
        });
    };

    startWith(dsnFor(server), {});
    EXPECT_FALSE(CrashHandler::isInstalled()) << "no folder, no recording";
    startWith(dsnFor(server), folder);
    EXPECT_TRUE(CrashHandler::isInstalled());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    startWith("not a dsn", folder);
    EXPECT_FALSE(CrashHandler::isInstalled()) << "reporting is off";
    startWith(dsnFor(server), folder);
    SentrySDK::close();
    EXPECT_FALSE(CrashHandler::isInstalled());

    writeRecord(folder, "crash-1718000000250-7.record", 7);
    startWith(dsnFor(server), folder);
    EXPECT_EQ(SentrySDK::sendRecordedCrashes(), 1u);
    ASSERT_TRUE(SentrySDK::flush(enough));
    ASSERT_EQ(server.requests().size(), 1u);
    const auto body = server.requests()[0].body;
    const auto event = json::parse(body.substr(body.rfind('\n') + 1));
    EXPECT_EQ(event["level"], "fatal");
    EXPECT_EQ(event["exception"]["values"][0]["type"], "SIGBUS");
    EXPECT_EQ(event["release"], "quorvane@0.9");
    EXPECT_EQ(event["contexts"]["os"]["name"], "Fixture OS");
    EXPECT_FALSE(std::filesystem::exists(folder / "crash-1718000000250-7.record"))
        << "deleted once accepted";
}

TEST_F(SentrySDKTest, ARecordTheServiceDidNotAcceptWaitsForTheNextRun) {
    LoopbackServer server;
    std::atomic<int> status{503};
    server.post("/api/5/envelope/",
                [&status](const httplib::Request&, httplib::Response& response) {
                    response.status = status;
                });
    const auto folder = std::filesystem::path(std::getenv("TMPDIR")) / "crashes";
    const auto record = folder / "crash-1718000000250-7.record";
    writeRecord(folder, record.filename().string(), 11);
    const auto startRun = [&] {
        SentrySDK::close();
        SentrySDK::start([&](SentryOptions& options) {
            options.dsn = dsnFor(server);
            options.osReleasePath = osRelease_;
            options.crashDirectory = folder;
        });
    };

    startRun();
    EXPECT_EQ(SentrySDK::sendRecordedCrashes(), 1u);
    ASSERT_TRUE(SentrySDK::flush(enough));
    EXPECT_TRUE(std::filesystem::exists(record)) << "the service did not take it";
    EXPECT_EQ(SentrySDK::sendRecordedCrashes(), 0u) << "not tried twice in one run";
    ASSERT_TRUE(SentrySDK::flush(enough));
    EXPECT_EQ(server.requests().size(), 1u);

    status = 200;
    startRun();
    EXPECT_EQ(SentrySDK::sendRecordedCrashes(), 1u);
    ASSERT_TRUE(SentrySDK::flush(enough));
    EXPECT_EQ(server.requests().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(record));
}

} // namespace
} // namespace quorvane
