#include "state/Telemetry.h"

#include "engine/Log.h"
#include "harness/ChildProcess.h"
#include "platform/appinfo/ApplicationInfo.h"
#include "platform/crashreport/CrashHandler.h"
#include "platform/crashreport/CrashRecord.h"
#include "platform/crashreport/LoadedImages.h"
#include "platform/crashreport/SentrySDK.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/pasteboard/InMemoryPasteboard.h"
#include "state/KeyStore.h"
#include "state/SettingsStore.h"
#include "support/AppStateBuilder.h"
#include "support/LoopbackServer.h"
#include "support/ManualMainQueue.h"
#include "support/ScopedEnvironmentVariable.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <pwd.h>
#include <spdlog/sinks/null_sink.h>
#include <spdlog/sinks/ringbuffer_sink.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using nlohmann::json;

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

TEST_F(TelemetryTest, CrashRecordsGoInTheUsersOwnStateFolderAndNeverInASharedOne) {
    EXPECT_EQ(crashRecordDirectory(), fs::path(std::getenv("XDG_STATE_HOME")) / "Quorvane");

    // Without a home in the environment the account's own folder is the one, not /tmp.
    const test::ScopedEnvironmentVariable noHome("HOME", std::nullopt);
    const test::ScopedEnvironmentVariable noState("XDG_STATE_HOME", std::nullopt);
    const passwd* account = getpwuid(getuid());
    std::optional<fs::path> expected;
    if (account != nullptr && account->pw_dir != nullptr && account->pw_dir[0] == '/') {
        expected = fs::path(account->pw_dir) / ".local/state/Quorvane";
    }
    EXPECT_EQ(crashRecordDirectory(), expected);
}

// As an account the password database does not know, with no home in the environment: there
// is no folder of the user's own, so nothing may be recorded anywhere.
[[noreturn]] void startWithoutAHome(uid_t stranger) {
    ::unsetenv("HOME");
    ::unsetenv("XDG_STATE_HOME");
    if (::setresuid(stranger, stranger, stranger) != 0) {
        _exit(2);
    }
    if (crashRecordDirectory()) {
        _exit(3); // before anything is made there
    }
    ::setenv("SENTRY_DSN", "http://k@127.0.0.1:9/1", 1);
    telemetryOptedIn = true;
    startTelemetry();
    _exit(SentrySDK::isEnabled() && !CrashHandler::isInstalled() ? 0 : 4);
}

TEST_F(TelemetryTest, WithoutAHomeCrashesAreNotRecorded) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may become an account without a home";
    }
    uid_t stranger = 54321;
    while (getpwuid(stranger) != nullptr) {
        ++stranger;
    }
    EXPECT_EXIT(startWithoutAHome(stranger), testing::ExitedWithCode(0), "");
}

// Crashes of earlier runs.

const std::string soundRecord = "quorvane-crash 1\nsignal 6\ntime 1718000000250\nrelease 0.9\n"
                                "frame 0x1234\nend\n";

void answerOk(const httplib::Request&, httplib::Response& response) {
    response.status = 200;
}

fs::path recordFolder() {
    return crashRecordDirectory().value();
}

std::vector<fs::path> recordFiles() {
    std::vector<fs::path> files;
    std::error_code ignored;
    for (fs::directory_iterator entry(recordFolder(), ignored), end; entry != end;
         entry.increment(ignored)) {
        if (CrashRecord::isRecordFileName(entry->path().filename().string())) {
            files.push_back(entry->path());
        }
    }
    return files;
}

TEST_F(TelemetryTest, RecordsWaitForAStartedClientAndUnreadableOnesAreDropped) {
    fs::create_directories(recordFolder());
    std::ofstream(recordFolder() / "crash-1718000000250-7.record") << soundRecord;
    std::ofstream(recordFolder() / "crash-1718000000300-8.record") << "quorvane-crash 1\nsig";

    telemetryOptedIn = true;
    reportPendingCrashes(); // opted in, but no endpoint to send them to
    EXPECT_EQ(recordFiles().size(), 2u);

    test::LoopbackServer server;
    server.post("/api/1/envelope/", answerOk);
    ::setenv("SENTRY_DSN", ("http://k@127.0.0.1:" + std::to_string(server.port()) + "/1").c_str(),
             1);
    startTelemetry();
    reportPendingCrashes();
    ASSERT_TRUE(SentrySDK::flush(20s));

    EXPECT_TRUE(recordFiles().empty());
    ASSERT_EQ(server.requests().size(), 1u);
    const auto body = server.requests()[0].body;
    const auto event = json::parse(body.substr(body.rfind('\n') + 1));
    EXPECT_EQ(event["exception"]["values"][0]["type"], "SIGABRT");
    EXPECT_EQ(event["release"], "quorvane@0.9");
    EXPECT_EQ(loggedCount("Telemetry: reporting 1 crash(es) of an earlier run"), 1);
}

// A program that crashes with reporting on, started from a copy under the home folder so that
// its own path is one that must not be sent.
class TelemetryCrashTest : public TelemetryTest {
protected:
    void SetUp() override {
        TelemetryTest::SetUp();
        program_ = fs::path(std::getenv("HOME")) / "apps" / "telemetry-crash-child";
        fs::create_directories(program_.parent_path());
        fs::copy_file(QUORVANE_TELEMETRY_CHILD, program_, fs::copy_options::overwrite_existing);
        CrashRecord::discardAll(recordFolder());
        server_.post("/api/7/envelope/", answerOk);
    }

    // How the child ended: its wait status, or nothing when it outlived its time.
    std::optional<int> run(const char* mode, const char* optIn) {
        test::SpawnOptions options;
        options.environment = {
            {"SENTRY_DSN", "http://pub@127.0.0.1:" + std::to_string(server_.port()) + "/7"},
            {"OPENAI_API_KEY", "sk-test-crash-key-0123456789"},
        };
        const pid_t pid = test::spawn({program_.string(), mode, optIn}, options);
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
                return std::nullopt;
            }
            std::this_thread::sleep_for(10ms);
        }
        return status;
    }

    void crash() {
        const auto status = run("crash", "on");
        ASSERT_TRUE(status);
        ASSERT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGSEGV) << *status;
        ASSERT_EQ(recordFiles().size(), 1u);
        EXPECT_TRUE(server_.requests().empty()) << "the crashing run sends nothing itself";
    }

    fs::path program_;
    test::LoopbackServer server_;
};

TEST_F(TelemetryCrashTest, TheNextStartSendsOneFatalEventWithoutPersonalData) {
    crash();

    ASSERT_EQ(run("start", "on"), 0);

    EXPECT_TRUE(recordFiles().empty());
    const auto requests = server_.requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& body = requests[0].body;
    const auto event = json::parse(body.substr(body.rfind('\n') + 1));
    EXPECT_EQ(event["level"], "fatal");
    const auto& exception = event["exception"]["values"][0];
    EXPECT_EQ(exception["type"], "SIGSEGV");
    EXPECT_FALSE(exception["stacktrace"]["frames"].empty());
    const auto& images = event["debug_meta"]["images"];
    ASSERT_FALSE(images.empty());
    EXPECT_EQ(images[0]["code_file"], "telemetry-crash-child") << "the program, by name alone";
    EXPECT_FALSE(images[0]["code_id"].get<std::string>().empty());

    EXPECT_EQ(body.find(std::getenv("HOME")), std::string::npos) << "a path under the home";
    EXPECT_EQ(body.find("DRAFT-MARKER"), std::string::npos);
    EXPECT_EQ(body.find("sk-test-crash-key"), std::string::npos);
    for (const auto& name : LoadedImages::currentIdentity().userNames) {
        if (name.size() >= 4) {
            EXPECT_EQ(body.find("/" + name), std::string::npos) << name;
        }
    }

    ASSERT_EQ(run("start", "on"), 0);
    EXPECT_EQ(server_.requests().size(), 1u) << "a crash is reported once";
}

TEST_F(TelemetryCrashTest, WithOptInOffTheRecordIsDeletedUnsent) {
    crash();

    ASSERT_EQ(run("start", "off"), 0);

    EXPECT_TRUE(recordFiles().empty());
    EXPECT_TRUE(server_.requests().empty());
}

// Libraries loaded after start.

// Starts reporting as launch does, fetches a model list from an address where nothing answers
// (which still opens libcurl, the first request's library) and crashes once the flow has ended.
[[noreturn]] void crashAfterARequest(const fs::path& folder) {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    std::signal(SIGSEGV, SIG_DFL);
    ::setenv("SENTRY_DSN", "http://k@127.0.0.1:9/1", 1);
    telemetryOptedIn = true;
    startTelemetry();

    fs::create_directories(folder);
    UserDefaults defaults(folder / "defaults.json");
    const KeyStore keys(folder / "keys");
    defaults.setString(SettingsKey::activeProvider, "custom");
    defaults.setString(SettingsKey::customBaseURL, "http://127.0.0.1:9/v1");
    keys.setKey("sk-test", ProviderID::custom);
    test::ManualMainQueue queue;
    InMemoryPasteboard pasteboard;
    const auto state = test::AppStateBuilder{defaults, keys, queue, pasteboard, folder}.build();
    bool ended = false;
    state->fetchModels([&ended] { ended = true; });
    if (!queue.runUntil([&ended] { return ended; }, 20s)) {
        _exit(2);
    }
    raise(SIGSEGV);
    _exit(3);
}

TEST_F(TelemetryTest, ACrashAfterARequestNamesTheLibraryTheRequestLoaded) {
    if (dlopen("libcurl.so.4", RTLD_NOW | RTLD_NOLOAD) != nullptr) {
        GTEST_SKIP() << "libcurl was loaded before the request";
    }
    CrashRecord::discardAll(recordFolder());

    EXPECT_EXIT(crashAfterARequest(dataDir_ / "state"), testing::KilledBySignal(SIGSEGV), "");

    const auto records = CrashRecord::readAll(recordFolder());
    ASSERT_EQ(records.size(), 1u);
    const auto& images = records[0].record.images;
    EXPECT_TRUE(std::any_of(images.begin(), images.end(), [](const CrashImage& image) {
        return image.path.ends_with("/libcurl.so.4");
    }));
}

} // namespace
} // namespace quorvane
