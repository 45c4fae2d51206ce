// Every diagnostic mode as a real process: offscreen, with its own config,
// data, state and temporary directories, reading its report from standard error.
#include "engine/EnumTraits.h"
#include "engine/ProviderID.h"
#include "platform/defaults/UserDefaults.h"
#include "state/DeviceKey.h"
#include "state/KeyStore.h"
#include "state/SettingsStore.h"
#include "support/LoopbackServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::MatchesRegex;
using testing::StartsWith;

struct Outcome {
    int exitCode = -1;
    bool crashed = false;
    std::string report;
};

// One private set of directories for the child process and a loopback chat
// provider that it is configured to use as the custom provider.
class DiagnosticProcess {
public:
    DiagnosticProcess() {
        environment_.insert("QT_QPA_PLATFORM", "offscreen");
        environment_.insert("HOME", path("home"));
        environment_.insert("XDG_CONFIG_HOME", path("config"));
        environment_.insert("XDG_DATA_HOME", path("data"));
        environment_.insert("XDG_STATE_HOME", path("state"));
        environment_.insert("TMPDIR", path("tmp"));
        for (const char* name : {"SENTRY_DSN", "THRIM_SELFTEST", "https_proxy", "HTTPS_PROXY",
                                 "http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
            environment_.remove(name);
        }
        for (const auto& [id, raw] : EnumTraits<ProviderID>::cases) {
            for (const std::string& name : environmentVariableNames(id)) {
                environment_.remove(QString::fromStdString(name));
            }
        }
        server_.post(
            "/v1/chat/completions", [this](const httplib::Request&, httplib::Response& response) {
                const int index = requestCount_++;
                response.set_content(
                    nlohmann::json{
                        {"choices",
                         {{{"message", {{"role", "assistant"}, {"content", reply_(index)}}}}}}}
                        .dump(),
                    "application/json");
            });
        UserDefaults defaults(configHome() / "Quorvane" / "defaults.json");
        defaults.setString(SettingsKey::activeProvider, "custom");
        defaults.setString(SettingsKey::activeModel, "test-model");
        defaults.setString(SettingsKey::customBaseURL, server_.baseUrl() + "/v1");
        keys().setKey("sk-test", ProviderID::custom);
    }

    fs::path root() const { return fs::path(directory_.path().toStdString()); }
    fs::path configHome() const { return root() / "config"; }
    fs::path tmp() const { return root() / "tmp"; }
    KeyStore keys() const { return KeyStore(root() / "data" / "Quorvane"); }
    QProcessEnvironment& environment() { return environment_; }
    int requestCount() const { return requestCount_; }

    // The provider's reply to the request with this index (0 first).
    void replyWith(std::function<std::string(int)> reply) { reply_ = std::move(reply); }

    Outcome run(const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(environment_);
        process.start(QStringLiteral(QUORVANE_BINARY), arguments);
        EXPECT_TRUE(process.waitForStarted());
        const bool finished = process.waitForFinished(60000);
        EXPECT_TRUE(finished) << "still running: " << arguments.join(' ').toStdString();
        if (!finished) {
            process.kill();
            process.waitForFinished();
        }
        return {process.exitCode(), process.exitStatus() != QProcess::NormalExit,
                process.readAllStandardError().toStdString()};
    }

    // Starts a mode that keeps running, waits for count lines, then ends it.
    std::string runUntilLines(const QStringList& arguments, int count) {
        QProcess process;
        process.setProcessEnvironment(environment_);
        process.setReadChannel(QProcess::StandardError);
        process.start(QStringLiteral(QUORVANE_BINARY), arguments);
        // Qt's own warnings share the stream; only the report lines count.
        std::string report;
        int lines = 0;
        while (lines < count && (process.canReadLine() || process.waitForReadyRead(30000))) {
            while (lines < count && process.canReadLine()) {
                const std::string line = process.readLine().toStdString();
                if (line.starts_with("WINDOW_ID:")) {
                    report += line;
                    ++lines;
                }
            }
        }
        EXPECT_EQ(process.state(), QProcess::Running) << "the showcase keeps running";
        process.kill();
        process.waitForFinished();
        return report;
    }

    std::string storedProvider() const {
        return UserDefaults(configHome() / "Quorvane" / "defaults.json")
            .stringValue(SettingsKey::activeProvider)
            .value_or("nil");
    }

private:
    QString path(const char* name) const {
        fs::create_directories(root() / name);
        return QString::fromStdString((root() / name).string());
    }

    QTemporaryDir directory_;
    QProcessEnvironment environment_ = QProcessEnvironment::systemEnvironment();
    test::LoopbackServer server_;
    std::atomic<int> requestCount_{0};
    std::function<std::string(int)> reply_ = [](int) { return std::string("Enhanced."); };
};

Outcome expectClean(Outcome outcome) {
    EXPECT_FALSE(outcome.crashed);
    EXPECT_EQ(outcome.exitCode, 0);
    return outcome;
}

// Which mode runs when several are asked for. Words that must not match are
// given beside a later mode, whose report shows that nothing before it ran
// (without any mode the application would start normally and keep running).
struct DispatchCase {
    const char* name;
    QStringList arguments;
    const char* selfTestVariable;
    const char* reportStart;
};

class Dispatch : public testing::TestWithParam<DispatchCase> {};

TEST_P(Dispatch, firstMatchingModeRunsAlone) {
    DiagnosticProcess process;
    if (GetParam().selfTestVariable != nullptr) {
        process.environment().insert("THRIM_SELFTEST", GetParam().selfTestVariable);
    }
    const Outcome outcome = expectClean(process.run(GetParam().arguments));
    EXPECT_THAT(outcome.report, StartsWith(GetParam().reportStart));
}

INSTANTIATE_TEST_SUITE_P(
    DiagnosticModes, Dispatch,
    testing::Values(
        DispatchCase{
            "selfTestBeatsShowcase", {"--showcase", "--selftest"}, nullptr, "SELFTEST_OK len=9\n"},
        DispatchCase{"environmentOneStartsSelfTest", {}, "1", "SELFTEST_OK"},
        DispatchCase{"environmentTrueDoesNot", {"--clarifytest"}, "true", "PARSED_QUESTIONS=3\n"},
        DispatchCase{"flagWithValueDoesNotMatch",
                     {"--selftest=1", "--errortest=x", "--hotkeytest"},
                     nullptr,
                     "HOTKEY "},
        DispatchCase{"clarifyBeforeErrorTest",
                     {"--errortest", "--clarifytest"},
                     nullptr,
                     "PARSED_QUESTIONS=3\n"},
        DispatchCase{
            "hotkeyBeforeTelemetry", {"--telemetryprobe", "--hotkeytest"}, nullptr, "HOTKEY "},
        DispatchCase{"unknownWordsAreIgnored", {"--verbose", "--hotkeytest"}, nullptr, "HOTKEY "}),
    [](const testing::TestParamInfo<DispatchCase>& info) { return info.param.name; });

TEST(DiagnosticModes, selfTestReportsOutputQuestionsOrError) {
    DiagnosticProcess process;
    EXPECT_EQ(expectClean(process.run({"--selftest"})).report,
              "SELFTEST_OK len=9\nOUTPUT:\nEnhanced.\n");

    process.replyWith([](int) { return std::string("QUESTION: Which format?\nQUESTION: Who?"); });
    EXPECT_EQ(expectClean(process.run({"--selftest"})).report,
              "SELFTEST_QUESTIONS=2\n  Q: Which format?\n  Q: Who?\n");

    process.keys().setKey("", ProviderID::custom);
    EXPECT_THAT(expectClean(process.run({"--selftest"})).report,
                MatchesRegex("SELFTEST_ERROR: .+\n"));
}

TEST(DiagnosticModes, clarifyTestReportsParserAndAssembly) {
    DiagnosticProcess process;
    EXPECT_EQ(expectClean(process.run({"--clarifytest"})).report,
              "PARSED_QUESTIONS=3\n"
              "  Q: What programming language is the codebase in?\n"
              "  Q: Is there existing documentation?\n"
              "  Q: Any security-sensitive files?\n"
              "NORMAL_PARSED=0 (expect 0)\n"
              "FOLLOWUP_HAS_ANSWER=true FOLLOWUP_HAS_JUDGMENT=true FOLLOWUP_NO_MORE_Q=true\n"
              "OPTIONS clauseNonNil=true sysHasTone=true sysHasAudience=true sysHasConcise=true "
              "defaultIsClean=true\n"
              "CUSTOMROLE hasRole=true keepsClarify=true keepsOptions=true\n");
}

TEST(DiagnosticModes, copyTestPutsResultOnClipboardAndRestoresSetting) {
    DiagnosticProcess process;
    EXPECT_EQ(expectClean(process.run({"--copytest"})).report,
              "COPYTEST_PASS1 asked=false outLen=9 clipMatchesOutput=true clipChanged=true\n");
}

TEST(DiagnosticModes, copyTestAnswersQuestionsBeforeCopying) {
    DiagnosticProcess process;
    process.replyWith([](int index) {
        return index % 2 == 0 ? std::string("QUESTION: Which coast?") : std::string("Waves rise.");
    });
    EXPECT_EQ(expectClean(process.run({"--copytest"})).report,
              "COPYTEST_PASS1 asked=true outLen=0 clipMatchesOutput=false clipChanged=false\n"
              "COPYTEST_PASS2 outLen=11 clipMatchesOutput=true\n");
    UserDefaults defaults(process.configHome() / "Quorvane" / "defaults.json");
    EXPECT_FALSE(SettingsStore(defaults).autoCopyOutput()) << "the user's setting comes back";
}

TEST(DiagnosticModes, variationTestCountsDistinctTexts) {
    DiagnosticProcess process;
    process.replyWith([](int index) { return std::string(index == 1 ? "Two" : "Same one"); });
    // The three requests run side by side, so the order of the texts varies.
    EXPECT_THAT(
        expectClean(process.run({"--variationtest"})).report,
        MatchesRegex("VARIATIONS count=3 distinct=2 lens=\\[(3, 8, 8|8, 3, 8|8, 8, 3)\\]\n"));
}

TEST(DiagnosticModes, keyProbeSealsKeyPrivatelyAndNamesKeySources) {
    DiagnosticProcess process;
    process.keys().setKey("sk-stored", ProviderID::anthropic);
    process.environment().insert("OPENAI_API_KEY", "sk-from-env");

    const std::string first = expectClean(process.run({"--keyprobe"})).report;
    const fs::path file = process.tmp() / "thrim-crypto" / "keys.enc";
    ASSERT_TRUE(fs::exists(file));
    const auto bytes = std::to_string(fs::file_size(file));
    const auto host = DeviceKey().hostUUID();
    const bool hostNonZero =
        std::any_of(host.begin(), host.end(), [](std::uint8_t byte) { return byte != 0; });

    std::string keyLines;
    for (const auto& [id, raw] : EnumTraits<ProviderID>::cases) {
        const auto& names = environmentVariableNames(id);
        if (names.empty()) {
            continue;
        }
        std::string vars;
        for (const auto& name : names) {
            vars += (vars.empty() ? "" : ",") + name;
        }
        const bool isOpenAIVar =
            std::find(names.begin(), names.end(), "OPENAI_API_KEY") != names.end();
        const char* source = id == ProviderID::anthropic || id == ProviderID::custom ? "stored"
                             : isOpenAIVar                                           ? "environment"
                                                                                     : "none";
        keyLines += "KEY " + std::string(raw) + ": " + source + " [vars=" + vars + "]\n";
    }
    const std::string crypto =
        std::string("CRYPTO hostUUIDnonzero=") + (hostNonZero ? "true" : "false");
    EXPECT_EQ(first, crypto +
                         " preRead=nil freshRead=sk-turnabout-qpm "
                         "ciphertextLeaksPlaintext=false bytes=" +
                         bytes + " perms=600\n" + keyLines);
    EXPECT_THAT(keyLines, HasSubstr("KEY anthropic: stored"));
    EXPECT_THAT(keyLines, HasSubstr("KEY openAI: environment"));
    EXPECT_THAT(keyLines, Not(HasSubstr("KEY appleFoundation")));

    EXPECT_THAT(expectClean(process.run({"--keyprobe"})).report,
                HasSubstr(" preRead=sk-turnabout-qpm freshRead=sk-turnabout-qpm "))
        << "a second run finds the key the first one sealed";
}

TEST(DiagnosticModes, menuProbeListsDockMenu) {
    DiagnosticProcess process;
    EXPECT_EQ(expectClean(process.run({"--menuprobe"})).report,
              "MENU items=Open Quorvane|Settings…|Check for Updates…|---|Quit Quorvane count=5 "
              "quitWired=true hasSeparator=true\n");
}

TEST(DiagnosticModes, probesWithPrivateSuitesStartFreshAndLeaveNothing) {
    DiagnosticProcess process;
    const fs::path suites = process.configHome() / "Quorvane" / "suites";
    {
        auto onboarding = UserDefaults(suites / "thrim-onboardprobe.json");
        onboarding.setBool(SettingsKey::hasCompletedOnboarding, true);
        auto hotkey = UserDefaults(suites / "thrim-hotkeytest.json");
        hotkey.setString(SettingsKey::hotkey,
                         R"({"keyCode":3,"carbonModifiers":256,"keyLabel":"F"})");
    }
    EXPECT_EQ(expectClean(process.run({"--onboardingprobe"})).report,
              "ONBOARDING defaultFlagFalse=true fallbackOnOldNotFM=true fallbackOnOld=openAI "
              "defaultOnNewIsFM=true\n");
    EXPECT_EQ(expectClean(process.run({"--hotkeytest"})).report,
              "HOTKEY default=⇧⌘E defaultIsCmdShiftE=true roundTrip=true customDisplay=⌃⌥D "
              "suggestions=5 suggestionsValid=true bareRejected=true modifiedParsed=⇧⌘R\n");
    EXPECT_FALSE(fs::exists(suites / "thrim-onboardprobe.json"));
    EXPECT_FALSE(fs::exists(suites / "thrim-hotkeytest.json"));
    EXPECT_EQ(process.storedProvider(), "custom") << "the user's own settings stay untouched";
}

TEST(DiagnosticModes, resourceProbeCancelsCleanlyAndMeasuresMemory) {
    DiagnosticProcess process;
    EXPECT_THAT(expectClean(process.run({"--resourceprobe"})).report,
                MatchesRegex("RESOURCE cancelledClean=true noRetainedFMSession=true "
                             "rssWarmMB=[0-9]+\\.[0-9] rssAfterMB=[0-9]+\\.[0-9] "
                             "growthMB=-?[0-9]+\\.[0-9] bounded=true\n"));
    EXPECT_GE(process.requestCount(), 3);
}

TEST(DiagnosticModes, errorTestHidesSecretsOfErrorBodies) {
    DiagnosticProcess process;
    const std::string report = expectClean(process.run({"--errortest"})).report;
    EXPECT_THAT(report, StartsWith("ERRORTEST jsonShowsMessage=true jsonHidesSecret=true "
                                   "jsonHidesType=true rawHidesBody=true rawStatusOnly=true | "
                                   "json=\""));
    EXPECT_THAT(report, testing::EndsWith("\" raw=\"Request failed (HTTP 500).\"\n"));
    EXPECT_THAT(report, HasSubstr("invalid x-api-key"));
}

TEST(DiagnosticModes, sentryTestSendsOneMessageToConfiguredIngest) {
    DiagnosticProcess process;
    EXPECT_EQ(expectClean(process.run({"--sentrytest"})).report, "SENTRY_HOST:nil\nEVENT_ID:nil\n");

    test::LoopbackServer ingest;
    ingest.post("/api/0/envelope/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("{}", "application/json");
    });
    process.environment().insert("SENTRY_DSN",
                                 QString::fromStdString("http://0123456789abcdef@127.0.0.1:" +
                                                        std::to_string(ingest.port()) + "/0"));
    const std::string report = expectClean(process.run({"--sentrytest"})).report;
    ASSERT_THAT(report, MatchesRegex("SENTRY_HOST:127\\.0\\.0\\.1\nEVENT_ID:[0-9a-f]{32}\n"));
    const std::string eventId = report.substr(report.find("EVENT_ID:") + 9, 32);
    const auto requests = ingest.requests();
    ASSERT_EQ(requests.size(), 1u) << "the flush waits for the send";
    EXPECT_THAT(requests[0].body, HasSubstr(eventId));
    EXPECT_THAT(requests[0].body, HasSubstr("Quorvane DSN wiring test"));
}

TEST(DiagnosticModes, telemetryProbeSendsOnlyWhenOptedIn) {
    DiagnosticProcess process;
    // The probe's own DSN names the public ingest host; a refusing loopback
    // proxy keeps every send on this machine.
    process.environment().insert("https_proxy", "http://127.0.0.1:9");
    process.environment().insert("HTTPS_PROXY", "http://127.0.0.1:9");
    process.environment().remove("no_proxy");
    process.environment().remove("NO_PROXY");
    EXPECT_EQ(expectClean(process.run({"--telemetryprobe"})).report,
              "TELEMETRY dsnPresent=true toggleOff_sent=false toggleOn_sent=true "
              "defaultIsOff=true\n");
}

TEST(DiagnosticModes, showcaseOpensWindowsAndKeepsRunning) {
    DiagnosticProcess process;
    const std::string kept = process.runUntilLines({"--showcase", "keepprovider"}, 2);
    EXPECT_THAT(kept,
                MatchesRegex("WINDOW_ID:[1-9][0-9]*:popover\nWINDOW_ID:[1-9][0-9]*:settings\n"));
    EXPECT_EQ(process.storedProvider(), "custom");

    const std::string all =
        process.runUntilLines({"--showcase", "onboarding", "rich", "errorstate"}, 3);
    EXPECT_THAT(all, MatchesRegex("WINDOW_ID:[0-9]+:popover\nWINDOW_ID:[0-9]+:settings\n"
                                  "WINDOW_ID:[0-9]+:onboarding\n"));
    EXPECT_EQ(process.storedProvider(), "appleFoundation");
}

} // namespace
} // namespace quorvane
