#include "state/Telemetry.h"

#include "engine/Log.h"
#include "platform/appinfo/ApplicationInfo.h"
#include "platform/crashreport/SentrySDK.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>
#include <spdlog/sinks/null_sink.h>
#include <spdlog/sinks/ringbuffer_sink.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string plistWithDsn(const std::string& value) {
    return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>SENTRY_DSN</key>" + value +
           "</dict></plist>";
}

class TelemetryTest : public testing::Test {
protected:
    void SetUp() override {
        dataDir_ = fs::path(std::getenv("TMPDIR")) / "telemetry-data";
        fs::remove_all(dataDir_);
        fs::create_directories(dataDir_);
        ::setenv("QUORVANE_DATA_DIR", dataDir_.c_str(), 1);
        ::unsetenv("SENTRY_DSN");
        telemetryOptedIn = false;
        SentrySDK::close();
        Log::redirect(log_);
    }
    void TearDown() override {
        SentrySDK::close();
        telemetryOptedIn = false;
        ::unsetenv("SENTRY_DSN");
        ::unsetenv("QUORVANE_DATA_DIR");
        Log::redirect(std::make_shared<spdlog::sinks::null_sink_mt>());
    }

    void writeResource(const std::string& text) {
        std::ofstream(dataDir_ / "Sentry.plist") << text;
    }

    int loggedCount(const std::string& text) const {
        int count = 0;
        for (const auto& line : log_->last_formatted()) {
            count += line.find(text) != std::string::npos ? 1 : 0;
        }
        return count;
    }

    static std::optional<std::string> buildDsn() {
        return ApplicationInfo().infoValue("SENTRY_DSN");
    }

    fs::path dataDir_;
    std::shared_ptr<spdlog::sinks::ringbuffer_sink_mt> log_ =
        std::make_shared<spdlog::sinks::ringbuffer_sink_mt>(64);
};

TEST_F(TelemetryTest, DsnComesFromTheEnvironmentThenTheResourceThenTheBuild) {
    struct Case {
        const char* name;
        std::optional<std::string> environment;
        std::optional<std::string> resource;
        std::optional<std::string> expected; // nothing: the build's own value
    };
    const std::string fromResource = plistWithDsn("<string>https://res@ingest.example/2</string>");
    const Case cases[] = {
        {"environmentFirst", "https://env@ingest.example/1", fromResource,
         "https://env@ingest.example/1"},
        {"emptyEnvironmentFallsThrough", "", fromResource, "https://res@ingest.example/2"},
        {"resourceAlone", std::nullopt, fromResource, "https://res@ingest.example/2"},
        {"emptyResourceString", std::nullopt, plistWithDsn("<string></string>"), std::nullopt},
        {"resourceNotAString", std::nullopt, plistWithDsn("<integer>4</integer>"), std::nullopt},
        {"unreadableResource", std::nullopt, "<plist><dict><key>SENTRY_DSN</key>", std::nullopt},
        {"nothing", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        fs::remove(dataDir_ / "Sentry.plist");
        ::unsetenv("SENTRY_DSN");
        if (c.environment) {
            ::setenv("SENTRY_DSN", c.environment->c_str(), 1);
        }
        if (c.resource) {
            writeResource(*c.resource);
        }
        EXPECT_EQ(resolveSentryDSN(), c.expected ? c.expected : buildDsn()) << c.name;
    }
}

TEST_F(TelemetryTest, OptInOffStartsNothingEvenWithADsn) {
    ::setenv("SENTRY_DSN", "https://k@ingest.example/1", 1);
    startTelemetry();
    EXPECT_FALSE(SentrySDK::isEnabled());
    EXPECT_EQ(loggedCount("Telemetry: opt-in OFF — disabled (privacy-first default)"), 1);
}

TEST_F(TelemetryTest, OptInOnWithoutADsnStaysOff) {
    if (buildDsn() && !buildDsn()->empty()) {
        GTEST_SKIP() << "this build carries a DSN of its own";
    }
    telemetryOptedIn = true;
    startTelemetry();
    EXPECT_FALSE(SentrySDK::isEnabled());
    EXPECT_EQ(loggedCount("Telemetry: no SENTRY_DSN — disabled (privacy-first default)"), 1);
    EXPECT_EQ(captureTelemetryMessage("x"), std::nullopt);
    EXPECT_EQ(sentryDSNHost(), std::nullopt);
}

TEST_F(TelemetryTest, AnInvalidDsnIsNotReportedAsStarted) {
    telemetryOptedIn = true;
    ::setenv("SENTRY_DSN", "not-a-dsn", 1);
    startTelemetry();
    EXPECT_FALSE(SentrySDK::isEnabled());
    EXPECT_EQ(loggedCount("Telemetry: Sentry started"), 0);
    EXPECT_EQ(loggedCount("Telemetry: SENTRY_DSN is not a valid DSN — disabled"), 1);
    EXPECT_EQ(captureTelemetryMessage("x"), std::nullopt);
    EXPECT_EQ(sentryDSNHost(), std::nullopt);
}

TEST_F(TelemetryTest, StartingTwiceStartsWithTheSameOptions) {
    telemetryOptedIn = true;
    ::setenv("SENTRY_DSN", "https://k@ingest.example/1", 1);
    startTelemetry();
    startTelemetry();

    EXPECT_EQ(loggedCount("Telemetry: Sentry started (DSN-gated)"), 2);
    const auto options = SentrySDK::options();
    ASSERT_TRUE(options);
    EXPECT_EQ(options->dsn, "https://k@ingest.example/1");
    EXPECT_FALSE(options->debug);
    EXPECT_FALSE(options->sendDefaultPii);
    EXPECT_EQ(options->tracesSampleRate, 0.0);
    EXPECT_EQ(sentryDSNHost(), "ingest.example");
}

TEST_F(TelemetryTest, CapturesGoOutOnlyWhileOptedIn) {
    test::LoopbackServer server;
    server.post("/api/1/envelope/", [](const httplib::Request&, httplib::Response& response) {
        response.status = 200;
    });
    ::setenv("SENTRY_DSN", ("http://k@127.0.0.1:" + std::to_string(server.port()) + "/1").c_str(),
             1);
    telemetryOptedIn = true;
    startTelemetry();

    const auto sent = captureTelemetryMessage("opt-in send");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->size(), 32u);

    // Switching the setting off leaves the client running but silences it.
    telemetryOptedIn = false;
    EXPECT_EQ(captureTelemetryMessage("should-not-send"), std::nullopt);

    ASSERT_TRUE(SentrySDK::flush(20s));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].body.find("opt-in send"), std::string::npos);
    EXPECT_NE(requests[0].body.find(*sent), std::string::npos);
}

} // namespace
} // namespace quorvane
