#include "state/AppState.h"

#include "engine/MetaPrompt.h"
#include "engine/ProviderConfig.h"
#include "engine/Text.h"
#include "platform/crashreport/SentrySDK.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/pasteboard/InMemoryPasteboard.h"
#include "state/Telemetry.h"
#include "support/AppStateBuilder.h"
#include "support/LogCapture.h"
#include "support/LoopbackServer.h"
#include "support/ManualMainQueue.h"
#include "support/StallingHandler.h"
#include "support/WaitUntil.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::LogCapture;
using testing::ElementsAre;
using testing::HasSubstr;
using Property = AppState::Property;

constexpr auto patience = 10s;

// The main queue of these tests: the test thread plays the main thread and
// drains it; the count of posts lets a test wait until a worker has handed
// its result over without running it yet.
class CountingQueue final : public MainQueue {
public:
    void post(std::function<void()> work) override {
        inner_.post(std::move(work));
        ++posts_;
    }
    int drain() { return inner_.drain(); }
    int posts() const { return posts_.load(); }

private:
    test::ManualMainQueue inner_;
    std::atomic<int> posts_{0};
};

struct ChatRequest {
    std::string system;
    std::string user;
    std::string model;
};

ChatRequest parseChat(const std::string& body) {
    const auto json = nlohmann::json::parse(body);
    return {json["messages"][0]["content"], json["messages"][1]["content"], json["model"]};
}

std::string chatBody(const std::string& content) {
    return nlohmann::json{
        {"choices", {{{"message", {{"role", "assistant"}, {"content", content}}}}}}}
        .dump();
}

void answer(httplib::Response& response, const std::string& content) {
    response.status = 200;
    response.set_content(chatBody(content), "application/json");
}

// The variation index that a variations request asks for; 0 for other requests.
int variationIndex(const std::string& user) {
    const auto at = user.find("\n\nVariation ");
    return at == std::string::npos ? 0 : std::stoi(user.substr(at + 12));
}

HistoryItem historyItem(std::string input, Preset preset = Preset::general) {
    return HistoryItem{Uuid::random(), std::move(input),   "out",
                       preset,         ProviderID::openAI, std::chrono::system_clock::now()};
}

// Stored timestamps lose a little precision, so stored and in-memory lists are compared by id.
std::vector<Uuid> ids(const std::vector<HistoryItem>& items) {
    std::vector<Uuid> result;
    for (const auto& item : items) {
        result.push_back(item.id);
    }
    return result;
}

class AppStateTest : public testing::Test {
protected:
    AppStateTest()
        : dir_(makeDirectory())
        , defaults_(dir_ / "defaults.json")
        , keys_(dir_ / "keys") {}

    ~AppStateTest() override {
        state_.reset();
        SentrySDK::close();
        telemetryOptedIn = false;
        ::unsetenv("SENTRY_DSN");
        ::unsetenv("THRIM_CUSTOM_API_KEY");
        std::error_code ignored;
        fs::remove(autostartFile(), ignored);
    }

    static fs::path makeDirectory() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        const auto dir = fs::path(std::getenv("TMPDIR")) / "appstate" / name;
        fs::remove_all(dir);
        fs::create_directories(dir);
        return dir;
    }

    static fs::path autostartFile() {
        return fs::path(std::getenv("XDG_CONFIG_HOME")) / "autostart" / "quorvane.desktop";
    }

    // The custom provider against the loopback server, with a stored key.
    void useLoopbackProvider() {
        defaults_.setString(SettingsKey::activeProvider, "custom");
        defaults_.setString(SettingsKey::activeModel, "test-model");
        defaults_.setString(SettingsKey::customBaseURL, server_.baseUrl() + "/v1");
        keys_.setKey("sk-test", ProviderID::custom);
    }

    void onChat(std::function<void(const ChatRequest&, httplib::Response&)> handler) {
        server_.post("/v1/chat/completions",
                     [handler = std::move(handler)](const httplib::Request& request,
                                                    httplib::Response& response) {
                         handler(parseChat(request.body), response);
                     });
    }

    void replyAlways(const std::string& content) {
        onChat([content](const ChatRequest&, httplib::Response& response) {
            answer(response, content);
        });
    }

    // Holds every request until the server stops, which happens only after the state is gone.
    void stallChats() {
        onChat([this](const ChatRequest&, httplib::Response& response) {
            server_.waitUntilStopped();
            answer(response, "late");
        });
    }

    AppState& state() {
        if (!state_) {
            state_ = test::AppStateBuilder{defaults_, keys_, queue_, pasteboard_, dir_}.build();
        }
        return *state_;
    }

    // Drains the main queue until the condition holds.
    testing::AssertionResult pump(const std::function<bool()>& done) {
        return test::waitUntil(done, patience, [this] {
            test::pauseBriefly();
            queue_.drain();
        });
    }

    // Runs one direct flow to its end.
    void runToEnd(const std::function<void(AppState::Completion)>& flow) {
        bool ended = false;
        flow([&] { ended = true; });
        ASSERT_TRUE(pump([&] { return ended; }));
    }

    void enhanceToEnd() {
        runToEnd([this](AppState::Completion done) { state().enhance(std::move(done)); });
    }

    testing::AssertionResult requestsArrived(std::size_t count) {
        return pump([&] { return server_.requests().size() >= count; });
    }

    std::size_t chatRequestCount() const {
        std::size_t count = 0;
        for (const auto& request : server_.requests()) {
            count += request.path == "/v1/chat/completions" ? 1 : 0;
        }
        return count;
    }

    std::vector<std::string> enhanceLog() const { return logs_.messages("enhance"); }

    bool endLogged() const {
        for (const auto& line : enhanceLog()) {
            if (line.starts_with("enhance() end:")) {
                return true;
            }
        }
        return false;
    }

    fs::path dir_;
    UserDefaults defaults_;
    KeyStore keys_;
    InMemoryPasteboard pasteboard_;
    LogCapture logs_;
    test::LoopbackServer server_;
    CountingQueue queue_;
    std::unique_ptr<AppState> state_;
};

// Initialisation and persisted settings.

TEST_F(AppStateTest, AFreshStartLoadsTheDefaultsAndWritesNothing) {
    AppState& app = state();
    EXPECT_EQ(app.providerID(), ProviderID::openAI) << "this system has no on-device model";
    EXPECT_EQ(app.model(), ProviderConfig::config(ProviderID::openAI).defaultModel);
    EXPECT_EQ(app.tone(), Tone::auto_);
    EXPECT_EQ(app.length(), Length::auto_);
    EXPECT_EQ(app.audience(), "");
    EXPECT_EQ(app.customBaseURL(), "");
    EXPECT_TRUE(app.autoPrefillFromClipboard());
    EXPECT_FALSE(app.autoCopyOutput());
    EXPECT_TRUE(app.enableGlobalHotkey());
    EXPECT_EQ(app.hotkey(), HotkeyConfig::defaultHotkey());
    EXPECT_FALSE(app.telemetryEnabled());
    EXPECT_TRUE(app.showDockIcon());
    EXPECT_FALSE(app.hasCompletedOnboarding());
    EXPECT_EQ(app.appearance(), Appearance::dark);
    EXPECT_EQ(app.popoverHeight(), 600);
    EXPECT_FALSE(app.launchAtLogin());
    EXPECT_TRUE(app.history().empty());
    EXPECT_TRUE(app.customPresets().empty());
    EXPECT_EQ(app.fieldMode(), FieldMode::draft);
    EXPECT_EQ(app.selectedPreset(), Preset::general);
    EXPECT_EQ(app.hotkeySuggestions(), HotkeySuggestions::items());
    EXPECT_FALSE(fs::exists(defaults_.file()));
    EXPECT_FALSE(telemetryOptedIn.load());
}

TEST_F(AppStateTest, StoredSettingsAndTheLoginItemLoadAtStart) {
    defaults_.setString(SettingsKey::activeProvider, "groq");
    defaults_.setString(SettingsKey::activeModel, "llama-3.1-8b-instant");
    defaults_.setString(SettingsKey::tone, "technical");
    defaults_.setString(SettingsKey::length, "concise");
    defaults_.setString(SettingsKey::audience, " devs ");
    defaults_.setString(SettingsKey::customBaseURL, " http://h/v1 ");
    defaults_.setBool(SettingsKey::autoPrefill, false);
    defaults_.setBool(SettingsKey::autoCopyOutput, true);
    defaults_.setBool(SettingsKey::enableGlobalHotkey, false);
    defaults_.setBool(SettingsKey::telemetryEnabled, true);
    defaults_.setBool(SettingsKey::showDockIcon, false);
    defaults_.setBool(SettingsKey::hasCompletedOnboarding, true);
    defaults_.setString(SettingsKey::appearance, "light");
    HistoryStore(defaults_).save({historyItem("kept")});
    CustomPresetStore(defaults_).save({CustomPreset::cloning(Preset::code, "mine")});
    fs::create_directories(autostartFile().parent_path());
    std::ofstream(autostartFile()) << "[Desktop Entry]\nType=Application\n";

    AppState& app = state();
    EXPECT_EQ(app.providerID(), ProviderID::groq);
    EXPECT_EQ(app.model(), "llama-3.1-8b-instant");
    EXPECT_EQ(app.tone(), Tone::technical);
    EXPECT_EQ(app.length(), Length::concise);
    EXPECT_EQ(app.audience(), " devs ");
    EXPECT_EQ(app.customBaseURL(), " http://h/v1 ");
    EXPECT_FALSE(app.autoPrefillFromClipboard());
    EXPECT_TRUE(app.autoCopyOutput());
    EXPECT_FALSE(app.enableGlobalHotkey());
    EXPECT_TRUE(app.telemetryEnabled());
    EXPECT_FALSE(app.showDockIcon());
    EXPECT_TRUE(app.hasCompletedOnboarding());
    EXPECT_EQ(app.appearance(), Appearance::light);
    EXPECT_TRUE(app.launchAtLogin());
    ASSERT_EQ(app.history().size(), 1u);
    EXPECT_EQ(app.history()[0].input, "kept");
    ASSERT_EQ(app.customPresets().size(), 1u);
    EXPECT_EQ(app.customPresets()[0].name, "Custom Code");
    // Loading never starts reporting: the shell does that at launch.
    EXPECT_FALSE(telemetryOptedIn.load());
}

TEST_F(AppStateTest, TheStoredPanelHeightIsClampedToItsRange) {
    const std::pair<double, double> rows[] = {
        {200, 360}, {359.5, 360}, {360, 360}, {600, 600}, {900, 900}, {1200, 900},
    };
    for (const auto& [stored, loaded] : rows) {
        SCOPED_TRACE(stored);
        defaults_.setDouble(SettingsKey::popoverHeight, stored);
        state_.reset();
        EXPECT_EQ(state().popoverHeight(), loaded);
    }
}

struct WriteBackRow {
    const char* name;
    std::function<void(AppState&)> assign;
    std::function<bool(const UserDefaults&)> stored;
    Property property;
    // Which shell closure hears of it, if any.
    enum class Closure { none, globalHotkey, hotkeyConfig, appearance } closure;
};

class AppStateWriteBackTest : public AppStateTest,
                              public testing::WithParamInterface<WriteBackRow> {};

TEST_P(AppStateWriteBackTest, EveryAssignmentPersistsNotifiesAndCallsItsClosureAlsoWhenEqual) {
    const WriteBackRow& row = GetParam();
    AppState& app = state();
    std::map<WriteBackRow::Closure, int> calls;
    app.onGlobalHotkeyChanged = [&](bool) { ++calls[WriteBackRow::Closure::globalHotkey]; };
    app.onHotkeyConfigChanged = [&](const HotkeyConfig&) {
        ++calls[WriteBackRow::Closure::hotkeyConfig];
    };
    app.onAppearanceChanged = [&](Appearance) { ++calls[WriteBackRow::Closure::appearance]; };
    int notified = 0;
    const auto subscription =
        app.observe([&](Property property) { notified += property == row.property ? 1 : 0; });

    row.assign(app);
    EXPECT_TRUE(row.stored(defaults_));
    defaults_.removePersistentDomain();
    row.assign(app);

    EXPECT_TRUE(row.stored(defaults_)) << "an equal value is written again";
    EXPECT_EQ(notified, 2);
    if (row.closure != WriteBackRow::Closure::none) {
        EXPECT_EQ(calls[row.closure], 2);
    }
    calls.erase(row.closure);
    EXPECT_TRUE(calls.empty()) << "no other closure is called";
}

HotkeyConfig optionSpace() {
    return HotkeyConfig{49, HotkeyConfig::optionModifier, "Space"};
}

INSTANTIATE_TEST_SUITE_P(
    Settings, AppStateWriteBackTest,
    testing::Values(
        WriteBackRow{
            "tone", [](AppState& a) { a.setTone(Tone::casual); },
            [](const UserDefaults& d) { return d.stringValue(SettingsKey::tone) == "casual"; },
            Property::tone, WriteBackRow::Closure::none},
        WriteBackRow{
            "length", [](AppState& a) { a.setLength(Length::detailed); },
            [](const UserDefaults& d) { return d.stringValue(SettingsKey::length) == "detailed"; },
            Property::length, WriteBackRow::Closure::none},
        WriteBackRow{
            "audience", [](AppState& a) { a.setAudience(" kids "); },
            [](const UserDefaults& d) { return d.stringValue(SettingsKey::audience) == " kids "; },
            Property::audience, WriteBackRow::Closure::none},
        WriteBackRow{
            "model", [](AppState& a) { a.setModel("m-2"); },
            [](const UserDefaults& d) { return d.stringValue(SettingsKey::activeModel) == "m-2"; },
            Property::model, WriteBackRow::Closure::none},
        WriteBackRow{
            "autoPrefill", [](AppState& a) { a.setAutoPrefillFromClipboard(true); },
            [](const UserDefaults& d) { return d.boolValue(SettingsKey::autoPrefill) == true; },
            Property::autoPrefillFromClipboard, WriteBackRow::Closure::none},
        WriteBackRow{
            "autoCopyOutput", [](AppState& a) { a.setAutoCopyOutput(true); },
            [](const UserDefaults& d) { return d.boolValue(SettingsKey::autoCopyOutput) == true; },
            Property::autoCopyOutput, WriteBackRow::Closure::none},
        WriteBackRow{"enableGlobalHotkey", [](AppState& a) { a.setEnableGlobalHotkey(false); },
                     [](const UserDefaults& d) {
                         return d.boolValue(SettingsKey::enableGlobalHotkey) == false;
                     },
                     Property::enableGlobalHotkey, WriteBackRow::Closure::globalHotkey},
        WriteBackRow{"hotkey", [](AppState& a) { a.setHotkey(optionSpace()); },
                     [](const UserDefaults& d) {
                         const auto data = d.dataValue(SettingsKey::hotkey);
                         return data && HotkeyConfig::decoded(*data) == optionSpace();
                     },
                     Property::hotkey, WriteBackRow::Closure::hotkeyConfig},
        WriteBackRow{"customBaseURL", [](AppState& a) { a.setCustomBaseURL(" http://x/v1\n"); },
                     [](const UserDefaults& d) {
                         return d.stringValue(SettingsKey::customBaseURL) == " http://x/v1\n";
                     },
                     Property::customBaseURL, WriteBackRow::Closure::none},
        WriteBackRow{"hasCompletedOnboarding",
                     [](AppState& a) { a.setHasCompletedOnboarding(true); },
                     [](const UserDefaults& d) {
                         return d.boolValue(SettingsKey::hasCompletedOnboarding) == true;
                     },
                     Property::hasCompletedOnboarding, WriteBackRow::Closure::none},
        WriteBackRow{
            "appearance", [](AppState& a) { a.setAppearance(Appearance::auto_); },
            [](const UserDefaults& d) { return d.stringValue(SettingsKey::appearance) == "auto"; },
            Property::appearance, WriteBackRow::Closure::appearance}),
    [](const testing::TestParamInfo<WriteBackRow>& info) { return std::string(info.param.name); });

TEST_F(AppStateTest, PropertiesWithoutWriteBackPersistNothingAndNotifyOnlyOnChange) {
    AppState& app = state();
    std::vector<Property> heard;
    auto subscription = app.observe([&](Property property) { heard.push_back(property); });

    app.setPopoverHeight(700);
    app.setShowDockIcon(false);
    app.setLaunchAtLogin(true);
    app.setSelectedPreset(Preset::code);
    app.setSelectedPreset(Preset::code);
    EXPECT_FALSE(fs::exists(defaults_.file()));
    EXPECT_THAT(heard, ElementsAre(Property::popoverHeight, Property::showDockIcon,
                                   Property::launchAtLogin, Property::selectedPreset));

    subscription.reset();
    app.setInputText("unheard");
    EXPECT_EQ(heard.size(), 4u);
}

TEST_F(AppStateTest, OnlyADifferentProviderPersistsResetsTheModelAndClearsTheBanner) {
    useLoopbackProvider();
    AppState& app = state();
    app.setFetchedModels({{ProviderID::custom, {"x"}}});
    app.setErrorMessage("old banner");
    defaults_.removePersistentDomain();

    app.setProviderID(ProviderID::custom);
    EXPECT_FALSE(defaults_.contains(SettingsKey::activeProvider));
    EXPECT_EQ(app.model(), "test-model");
    EXPECT_EQ(app.errorMessage(), "old banner");

    app.setProviderID(ProviderID::anthropic);
    EXPECT_EQ(defaults_.stringValue(SettingsKey::activeProvider), "anthropic");
    EXPECT_EQ(app.model(), "claude-sonnet-4-6");
    EXPECT_EQ(defaults_.stringValue(SettingsKey::activeModel), "claude-sonnet-4-6");
    EXPECT_EQ(app.errorMessage(), std::nullopt);
    EXPECT_EQ(app.fetchedModels().at(ProviderID::custom), std::vector<std::string>{"x"});
}

TEST_F(AppStateTest, TheTelemetrySettingDrivesTheProcessWideOptIn) {
    AppState& app = state();
    app.setTelemetryEnabled(true);
    EXPECT_TRUE(telemetryOptedIn.load());
    EXPECT_EQ(defaults_.boolValue(SettingsKey::telemetryEnabled), true);
    // Started, but without a DSN it stays off.
    EXPECT_THAT(logs_.messages("app"),
                ElementsAre("Telemetry: no SENTRY_DSN — disabled (privacy-first default)"));

    app.setTelemetryEnabled(false);
    EXPECT_FALSE(telemetryOptedIn.load());
    EXPECT_EQ(logs_.messages("app").size(), 1u) << "turning it off starts nothing";
}

TEST_F(AppStateTest, DerivedPropertiesFollowTheirSources) {
    AppState& app = state();
    app.setInputText(" \n\t ");
    EXPECT_FALSE(app.canEnhance());
    app.setInputText("draft");
    EXPECT_TRUE(app.canEnhance());
    app.setIsGeneratingVariations(true);
    EXPECT_TRUE(app.canEnhance()) << "variations do not block an enhancement";
    app.setIsEnhancing(true);
    EXPECT_FALSE(app.canEnhance());

    app.setOutputText(" \n");
    EXPECT_FALSE(app.hasOutput());
    app.setOutputText("x");
    EXPECT_TRUE(app.hasOutput());

    app.setProviderID(ProviderID::openAI);
    EXPECT_EQ(app.availableModels(), ProviderConfig::config(ProviderID::openAI).availableModels);
    app.setFetchedModels({{ProviderID::openAI, {}}});
    EXPECT_EQ(app.availableModels(), ProviderConfig::config(ProviderID::openAI).availableModels);
    app.setFetchedModels({{ProviderID::openAI, {"f1", "f2"}}});
    EXPECT_EQ(app.availableModels(), (std::vector<std::string>{"f1", "f2"}));

    app.setTone(Tone::friendly);
    app.setAudience("ops");
    EXPECT_EQ(app.styleOptions(), (EnhanceOptions{Tone::friendly, Length::auto_, "ops"}));

    app.setSelectedPreset(Preset::imageGen);
    EXPECT_EQ(app.activePresetName(), "Image gen");
    const Uuid id = app.addCustomPreset();
    app.setActiveCustomPresetID(Uuid::random());
    EXPECT_EQ(app.activeCustomPreset(), std::nullopt);
    app.setActiveCustomPresetID(id);
    EXPECT_EQ(app.activePresetName(), "My preset");
}

TEST_F(AppStateTest, BusyChangesAreReportedOncePerChange) {
    AppState& app = state();
    std::vector<bool> busy;
    app.onBusyChanged = [&](bool value) { busy.push_back(value); };
    app.setIsEnhancing(true);
    app.setIsGeneratingVariations(true);
    app.setIsEnhancing(false);
    app.setIsGeneratingVariations(false);
    app.setIsGeneratingVariations(false);
    EXPECT_THAT(busy, ElementsAre(true, false));
}

TEST_F(AppStateTest, AStoredKeyWinsOverTheEnvironment) {
    ::setenv("THRIM_CUSTOM_API_KEY", "  from-env  ", 1);
    AppState& app = state();
    EXPECT_EQ(app.keySource(ProviderID::custom), KeySource::environment);
    EXPECT_EQ(app.keySource(ProviderID::groq), KeySource::none);
    keys_.setKey("stored", ProviderID::custom);
    EXPECT_EQ(app.keySource(ProviderID::custom), KeySource::stored);

    defaults_.setString(SettingsKey::customBaseURL, server_.baseUrl() + "/v1");
    server_.post("/v1/chat/completions", [](const httplib::Request&, httplib::Response& response) {
        answer(response, "ok");
    });
    app.setProviderID(ProviderID::custom);
    app.setInputText("draft");
    enhanceToEnd();
    ASSERT_EQ(server_.requests().size(), 1u);
    EXPECT_EQ(server_.requests()[0].header("Authorization"), "Bearer stored");
}

// The enhance flow.

TEST_F(AppStateTest, AReplyBecomesTheResultEntersHistoryAndIsCopied) {
    useLoopbackProvider();
    replyAlways("The rewritten prompt");
    AppState& app = state();
    app.setAutoCopyOutput(true);
    app.setSelectedPreset(Preset::code);
    app.setTone(Tone::technical);
    app.setInputText("  make a parser \n");
    pasteboard_.setString("previous clipboard");

    enhanceToEnd();

    EXPECT_EQ(app.outputText(), "The rewritten prompt");
    EXPECT_FALSE(app.isEnhancing());
    EXPECT_EQ(app.errorMessage(), std::nullopt);
    EXPECT_EQ(pasteboard_.string(), "The rewritten prompt");
    ASSERT_EQ(app.history().size(), 1u);
    const HistoryItem& item = app.history()[0];
    EXPECT_EQ(item.input, "  make a parser \n");
    EXPECT_EQ(item.output, "The rewritten prompt");
    EXPECT_EQ(item.preset, Preset::code);
    EXPECT_EQ(item.provider, ProviderID::custom);
    EXPECT_EQ(ids(HistoryStore(defaults_).load()), ids(app.history()));

    ASSERT_EQ(server_.requests().size(), 1u);
    const auto request = parseChat(server_.requests()[0].body);
    EXPECT_EQ(request.user, "Draft:\nmake a parser");
    EXPECT_EQ(request.model, "test-model");
    EXPECT_EQ(request.system,
              MetaPrompt::system(MetaPrompt::forPreset(Preset::code), app.styleOptions()));
    EXPECT_EQ(server_.requests()[0].header("Authorization"), "Bearer sk-test");
    EXPECT_THAT(enhanceLog(),
                ElementsAre("enhance() start: provider=custom preset=code",
                            "enhance() end: output=20 chars, questions=0, error=nil"));
}

TEST_F(AppStateTest, AQuestionsReplyAsksInsteadOfAnswering) {
    useLoopbackProvider();
    replyAlways("Sure.\nQUESTION: Which language?\n  question: Which audience?");
    AppState& app = state();
    app.setAutoCopyOutput(true);
    app.setOutputText("earlier result");
    app.setInputText("draft");
    pasteboard_.setString("clip");

    enhanceToEnd();

    EXPECT_THAT(app.pendingQuestions(), ElementsAre("Which language?", "Which audience?"));
    EXPECT_THAT(app.answers(), ElementsAre("", ""));
    EXPECT_EQ(app.outputText(), "earlier result");
    EXPECT_TRUE(app.history().empty());
    EXPECT_EQ(pasteboard_.string(), "clip");
    EXPECT_EQ(enhanceLog().back(), "enhance() end: output=14 chars, questions=2, error=nil");
}

TEST_F(AppStateTest, HistoryKeepsTheNewestTwenty) {
    useLoopbackProvider();
    std::vector<HistoryItem> stored;
    for (int i = 0; i < 20; ++i) {
        stored.push_back(historyItem("old " + std::to_string(i)));
    }
    HistoryStore(defaults_).save(stored);
    replyAlways("new");
    AppState& app = state();
    app.setInputText("draft");

    enhanceToEnd();

    ASSERT_EQ(app.history().size(), 20u);
    EXPECT_EQ(app.history().front().output, "new");
    EXPECT_EQ(app.history().back().input, "old 18");
    EXPECT_EQ(ids(HistoryStore(defaults_).load()), ids(app.history()));
}

TEST_F(AppStateTest, TheInstructionsComeFromTheCustomPresetElseTheOverrideElseTheBuiltIn) {
    useLoopbackProvider();
    replyAlways("ok");
    AppState& app = state();
    app.setInputText("draft");
    app.setSelectedPreset(Preset::writing);
    const auto systemOfNextRequest = [&] {
        enhanceToEnd();
        return parseChat(server_.requests().back().body).system;
    };

    EXPECT_THAT(systemOfNextRequest(), testing::StartsWith(MetaPrompt::forPreset(Preset::writing)));
    app.saveOverride(Preset::writing, "Override text");
    EXPECT_THAT(systemOfNextRequest(), testing::StartsWith("Override text\n\n"));
    const Uuid id = app.addCustomPreset();
    app.setActiveCustomPresetID(id);
    EXPECT_THAT(systemOfNextRequest(), testing::StartsWith("Rewrite the user's draft"));
    // The log names the built-in preset also while a custom one is active.
    EXPECT_EQ(enhanceLog()[enhanceLog().size() - 2],
              "enhance() start: provider=custom preset=writing");
}

TEST_F(AppStateTest, ABlankDraftIsSkippedWithoutARequest) {
    useLoopbackProvider();
    AppState& app = state();
    app.setInputText(" \n ");
    int changes = 0;
    const auto subscription = app.observe([&](Property) { ++changes; });

    enhanceToEnd();

    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(server_.requests().empty());
    EXPECT_THAT(logs_.records(),
                ElementsAre(LogCapture::Record{"enhance", LogChannel::Level::debug,
                                               "enhance() skipped (canEnhance=false)"}));
}

struct ErrorRow {
    const char* name;
    bool loopback; // starts from the custom provider against the loopback server
    // Prepares provider and server; runs before the state is built.
    std::function<void(test::LoopbackServer&, UserDefaults&)> arrange;
    std::string message; // empty: only its start is known (checked with messagePrefix)
    std::string messagePrefix;
    std::string code;
    bool suggestsSettings;
};

class AppStateErrorTest : public AppStateTest, public testing::WithParamInterface<ErrorRow> {};

TEST_P(AppStateErrorTest, FailuresShowTheirMessageCodeAndHintAndKeepTheLastResult) {
    const ErrorRow& row = GetParam();
    if (row.loopback) {
        useLoopbackProvider();
    }
    row.arrange(server_, defaults_);
    AppState& app = state();
    app.setAutoCopyOutput(true);
    app.setOutputText("last good");
    app.setInputText("draft");
    pasteboard_.setString("clip");

    enhanceToEnd();

    ASSERT_TRUE(app.errorMessage());
    if (!row.message.empty()) {
        EXPECT_EQ(*app.errorMessage(), row.message);
    } else {
        EXPECT_THAT(*app.errorMessage(), testing::StartsWith(row.messagePrefix));
    }
    EXPECT_EQ(app.lastErrorCode(), row.code);
    EXPECT_EQ(app.lastErrorSuggestsSettings(), row.suggestsSettings);
    EXPECT_FALSE(app.isEnhancing());
    EXPECT_EQ(app.outputText(), "last good");
    EXPECT_TRUE(app.history().empty());
    EXPECT_EQ(pasteboard_.string(), "clip");
    EXPECT_EQ(enhanceLog().back(),
              "enhance() end: output=9 chars, questions=0, error=" + *app.errorMessage());
}

void serverReplies(test::LoopbackServer& server, int status, std::string body) {
    server.post("/v1/chat/completions",
                [status, body](const httplib::Request&, httplib::Response& response) {
                    response.status = status;
                    response.set_content(body, "application/json");
                });
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AppStateErrorTest,
    testing::Values(ErrorRow{"missingKeyForAnthropic", false,
                             [](test::LoopbackServer&, UserDefaults& d) {
                                 d.setString(SettingsKey::activeProvider, "anthropic");
                             },
                             "No API key set for Anthropic Claude. Add one in Settings.", "",
                             "missing_api_key", true},
                    ErrorRow{"unavailableWithoutKeyRequirement", false,
                             [](test::LoopbackServer&, UserDefaults& d) {
                                 d.setString(SettingsKey::activeProvider, "appleFoundation");
                             },
                             "Apple Foundation Models is unavailable. Check Settings.", "",
                             "provider_unavailable", true},
                    ErrorRow{"httpStatusWithPlainBody", true,
                             [](test::LoopbackServer& s, UserDefaults&) {
                                 serverReplies(s, 500, "upstream exploded sk-secret");
                             },
                             "Request failed (HTTP 500).", "", "http_500", false},
                    ErrorRow{"httpStatusWithJsonMessage", true,
                             [](test::LoopbackServer& s, UserDefaults&) {
                                 serverReplies(s, 401,
                                               R"({"error":{"message":"invalid x-api-key"}})");
                             },
                             "Request failed (HTTP 401). invalid x-api-key", "", "http_401", false},
                    ErrorRow{"emptyReply", true,
                             [](test::LoopbackServer& s, UserDefaults&) {
                                 serverReplies(s, 200, chatBody("  \n "));
                             },
                             "The model returned an empty response. Try again.", "",
                             "empty_response", false},
                    ErrorRow{"networkFailure", true,
                             [](test::LoopbackServer&, UserDefaults& d) {
                                 // Port 9 (discard) on loopback: nothing listens there in the test
                                 // sandbox.
                                 d.setString(SettingsKey::customBaseURL, "http://127.0.0.1:9/v1");
                             },
                             "", "Network error: ", "network", false}),
    [](const testing::TestParamInfo<ErrorRow>& info) { return std::string(info.param.name); });

TEST_F(AppStateTest, AnErrorOfAnotherKindShowsItsDescriptionWithCodeUnknown) {
    useLoopbackProvider();
    replyAlways("result");
    AppState& app = state();
    app.setInputText("draft");
    // Anything that throws while the result is taken in ends up in the error
    // path; an observer that fails is the one such fault a test can provoke.
    bool thrown = false;
    const auto subscription = app.observe([&](Property property) {
        if (property == Property::history && !thrown) {
            thrown = true;
            throw std::runtime_error("disk on fire");
        }
    });

    enhanceToEnd();

    EXPECT_EQ(app.errorMessage(), "disk on fire");
    EXPECT_EQ(app.lastErrorCode(), "unknown");
    EXPECT_FALSE(app.lastErrorSuggestsSettings());
    EXPECT_FALSE(app.isEnhancing());
}

TEST_F(AppStateTest, ErrorsReachCrashReportingOnlyWhileOptedInAndWithoutTheirMessage) {
    std::mutex mutex;
    std::condition_variable received;
    std::vector<std::string> envelopes;
    server_.post("/api/42/envelope/",
                 [&](const httplib::Request& request, httplib::Response& response) {
                     {
                         std::lock_guard lock(mutex);
                         envelopes.push_back(request.body);
                     }
                     received.notify_all();
                     response.status = 200;
                     response.set_content("{}", "application/json");
                 });
    defaults_.setString(SettingsKey::activeProvider, "anthropic");
    AppState& app = state();
    app.setInputText("draft");

    enhanceToEnd(); // not opted in
    ::setenv("SENTRY_DSN",
             ("http://public@127.0.0.1:" + std::to_string(server_.port()) + "/42").c_str(), 1);
    app.setTelemetryEnabled(true);
    enhanceToEnd();
    ASSERT_TRUE(SentrySDK::flush(patience));
    app.setTelemetryEnabled(false);
    enhanceToEnd();
    ASSERT_TRUE(SentrySDK::flush(patience));

    std::lock_guard lock(mutex);
    ASSERT_EQ(envelopes.size(), 1u);
    EXPECT_THAT(envelopes[0], HasSubstr("missing_api_key"));
    EXPECT_THAT(envelopes[0], testing::Not(HasSubstr("No API key set")));
    EXPECT_EQ(app.lastErrorCode(), "missing_api_key");
}

TEST_F(AppStateTest, OptingOutDropsTheReportsThatStillWait) {
    test::StallingHandler stalling;
    server_.post("/api/42/envelope/", stalling.handler());
    defaults_.setString(SettingsKey::activeProvider, "anthropic");
    AppState& app = state();
    app.setInputText("draft");
    ::setenv("SENTRY_DSN",
             ("http://public@127.0.0.1:" + std::to_string(server_.port()) + "/42").c_str(), 1);
    app.setTelemetryEnabled(true);
    enhanceToEnd();
    ASSERT_TRUE(stalling.waitUntilArrived(patience));
    enhanceToEnd(); // waits behind the first

    app.setTelemetryEnabled(false);
    stalling.release();
    ASSERT_TRUE(SentrySDK::flush(patience));

    EXPECT_EQ(server_.requests().size(), 1u) << "a report went out after the user said no";
}

TEST_F(AppStateTest, OptedInWithoutADsnSendsNothing) {
    defaults_.setString(SettingsKey::activeProvider, "anthropic");
    AppState& app = state();
    app.setTelemetryEnabled(true);
    app.setInputText("draft");
    enhanceToEnd();
    EXPECT_FALSE(SentrySDK::isEnabled());
    EXPECT_EQ(app.lastErrorCode(), "missing_api_key");
    EXPECT_TRUE(server_.requests().empty());
}

// Cancellation and the task slot.

TEST_F(AppStateTest, CancellingMidRequestShowsNothingAndClearsTheBusyFlagsAtOnce) {
    useLoopbackProvider();
    stallChats();
    AppState& app = state();
    std::vector<bool> busy;
    app.onBusyChanged = [&](bool value) { busy.push_back(value); };
    app.setInputText("draft");
    app.startEnhance();
    ASSERT_TRUE(requestsArrived(1));
    ASSERT_TRUE(app.isEnhancing());

    app.cancelEnhance();
    EXPECT_FALSE(app.isEnhancing());
    EXPECT_FALSE(app.isGeneratingVariations());
    EXPECT_THAT(busy, ElementsAre(true, false));

    ASSERT_TRUE(pump([&] { return endLogged(); }));
    EXPECT_EQ(app.errorMessage(), std::nullopt);
    EXPECT_EQ(app.lastErrorCode(), std::nullopt);
    EXPECT_EQ(app.outputText(), "");
    EXPECT_THAT(logs_.records(), testing::Contains(LogCapture::Record{
                                     "enhance", LogChannel::Level::debug, "request cancelled"}));
    EXPECT_EQ(enhanceLog().back(), "enhance() end: output=0 chars, questions=0, error=nil");
}

TEST_F(AppStateTest, ClearDuringARequestCancelsItAndEmptiesThePanel) {
    useLoopbackProvider();
    stallChats();
    AppState& app = state();
    app.setInputText("draft");
    app.setOutputText("old");
    app.setFieldMode(FieldMode::result);
    app.setVariations({"v"});
    app.startEnhance();
    ASSERT_TRUE(requestsArrived(1));

    app.clear();
    EXPECT_FALSE(app.isEnhancing());
    ASSERT_TRUE(pump([&] { return endLogged(); }));
    EXPECT_EQ(app.inputText(), "");
    EXPECT_EQ(app.outputText(), "");
    EXPECT_EQ(app.fieldMode(), FieldMode::draft);
    EXPECT_TRUE(app.variations().empty());
    EXPECT_EQ(app.errorMessage(), std::nullopt);
}

TEST_F(AppStateTest, ASecondStartWhileARequestRunsCancelsItAndIsItselfSkipped) {
    useLoopbackProvider();
    stallChats();
    AppState& app = state();
    app.setInputText("draft");
    app.startEnhance();
    ASSERT_TRUE(requestsArrived(1));

    app.startEnhance();
    ASSERT_TRUE(pump([&] { return endLogged(); }));
    EXPECT_FALSE(app.isEnhancing());
    EXPECT_EQ(app.errorMessage(), std::nullopt);
    EXPECT_EQ(chatRequestCount(), 1u);
    EXPECT_THAT(enhanceLog(),
                ElementsAre("enhance() start: provider=custom preset=general",
                            "enhance() skipped (canEnhance=false)", "request cancelled",
                            "enhance() end: output=0 chars, questions=0, error=nil"));
}

TEST_F(AppStateTest, AReplyArrivingAfterCancellationIsDropped) {
    useLoopbackProvider();
    replyAlways("too late");
    AppState& app = state();
    app.setAutoCopyOutput(true);
    app.setInputText("draft");
    app.startEnhance();
    queue_.drain(); // the flow starts its request
    ASSERT_EQ(queue_.posts(), 1);
    ASSERT_TRUE(test::waitUntil([&] { return queue_.posts() == 2; }, patience))
        << "the reply is waiting on the main queue";

    app.cancelEnhance();
    queue_.drain();

    EXPECT_EQ(app.outputText(), "");
    EXPECT_TRUE(app.history().empty());
    EXPECT_EQ(pasteboard_.string(), std::nullopt);
    EXPECT_EQ(app.errorMessage(), std::nullopt);
    EXPECT_EQ(enhanceLog().back(), "enhance() end: output=0 chars, questions=0, error=nil");
}

TEST_F(AppStateTest, ACancelledFlowLeavesTheBusyFlagToTheFlowThatFollowedIt) {
    useLoopbackProvider();
    stallChats();
    AppState& app = state();
    app.setInputText("draft");
    app.startEnhance();
    ASSERT_TRUE(requestsArrived(1));
    app.cancelEnhance();
    app.startEnhance(); // goes ahead: the flag is already clear
    ASSERT_TRUE(requestsArrived(2));
    ASSERT_TRUE(pump([&] { return endLogged(); })); // the first flow has ended

    EXPECT_TRUE(app.isEnhancing()) << "the second request still runs";
    EXPECT_FALSE(app.canEnhance());
}

TEST_F(AppStateTest, DestroyingTheStateMidRequestStopsItsWorkAndDropsWhatIsQueued) {
    useLoopbackProvider();
    stallChats();
    server_.get("/v1/models", [this](const httplib::Request&, httplib::Response& response) {
        server_.waitUntilStopped();
        response.status = 500;
    });
    AppState& app = state();
    app.setInputText("draft");
    app.startEnhance();
    bool fetchEnded = false;
    app.fetchModels([&] { fetchEnded = true; }); // outside the slot: only the state's end stops it
    ASSERT_TRUE(requestsArrived(2));
    const int posted = queue_.posts();

    // The handlers hold both requests until the server stops, 30 s from now at the latest.
    const auto begin = std::chrono::steady_clock::now();
    state_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s) << "the state waited out its requests";
    EXPECT_EQ(queue_.posts(), posted + 2) << "a worker was still running after the state went";

    queue_.drain();
    EXPECT_FALSE(fetchEnded) << "work queued for the state ran after it was gone";
}

// The clarify follow-up.

TEST_F(AppStateTest, AnswersGoBackWithTheirQuestionsAndTheReplyIsTheResult) {
    useLoopbackProvider();
    replyAlways("QUESTION: still unsure?\nFinal prompt");
    AppState& app = state();
    app.setAutoCopyOutput(true);
    app.setInputText("  draft ");
    app.setPendingQuestions({"Q1", "Q2", "Q3", "Q4"});
    app.setAnswers({"A1", " "});

    runToEnd([&](AppState::Completion done) { app.submitAnswers(std::move(done)); });

    const auto request = parseChat(server_.requests().at(0).body);
    EXPECT_EQ(request.user, MetaPrompt::followUp("draft", {{"Q1", "A1"}, {"Q2", " "}}));
    EXPECT_EQ(app.outputText(), "QUESTION: still unsure?\nFinal prompt");
    EXPECT_TRUE(app.pendingQuestions().empty());
    EXPECT_TRUE(app.answers().empty());
    ASSERT_EQ(app.history().size(), 1u);
    EXPECT_EQ(pasteboard_.string(), app.outputText());
    EXPECT_FALSE(app.isEnhancing());
    EXPECT_TRUE(enhanceLog().empty()) << "the follow-up logs nothing of its own";
}

TEST_F(AppStateTest, AFailedFollowUpKeepsTheQuestionsAndAnswers) {
    useLoopbackProvider();
    serverReplies(server_, 503, "");
    AppState& app = state();
    app.setInputText("draft");
    app.setPendingQuestions({"Q1", "Q2"});
    app.setAnswers({"A1", "A2"});

    runToEnd([&](AppState::Completion done) { app.submitAnswers(std::move(done)); });

    EXPECT_THAT(app.pendingQuestions(), ElementsAre("Q1", "Q2"));
    EXPECT_THAT(app.answers(), ElementsAre("A1", "A2"));
    EXPECT_EQ(app.lastErrorCode(), "http_503");
    EXPECT_FALSE(app.isEnhancing());
}

TEST_F(AppStateTest, FollowUpAndVariationsDoNothingWhenTheyCannotRun) {
    useLoopbackProvider();
    AppState& app = state();
    app.setVariations({"kept"});
    const auto runs = [&](const std::function<void(AppState::Completion)>& flow) {
        bool ended = false;
        flow([&] { ended = true; });
        return ended; // called at once, without any request
    };

    EXPECT_TRUE(runs([&](auto done) { app.submitAnswers(done); })); // no questions
    app.setInputText("draft");
    EXPECT_TRUE(runs([&](auto done) { app.generateVariations(0, done); }));
    app.setIsEnhancing(true);
    EXPECT_TRUE(runs([&](auto done) { app.generateVariations(3, done); }));
    app.setPendingQuestions({"Q"});
    EXPECT_TRUE(runs([&](auto done) { app.submitAnswers(done); })); // a request runs
    app.setIsEnhancing(false);
    app.setInputText("   ");
    EXPECT_TRUE(runs([&](auto done) { app.generateVariations(3, done); }));

    EXPECT_TRUE(server_.requests().empty());
    EXPECT_THAT(app.variations(), ElementsAre("kept"));
    EXPECT_FALSE(app.isGeneratingVariations());
}

// Variations.

TEST_F(AppStateTest, VariationsFinishingOutOfOrderAreListedInIndexOrder) {
    useLoopbackProvider();
    // Each child is answered only after the one before it in the order 3, 1, 2.
    std::mutex mutex;
    std::condition_variable turn;
    std::vector<int> answered;
    const std::vector<int> order{3, 1, 2};
    onChat([&](const ChatRequest& request, httplib::Response& response) {
        const int index = variationIndex(request.user);
        std::unique_lock lock(mutex);
        turn.wait_for(lock, patience, [&] { return order[answered.size()] == index; });
        answered.push_back(index);
        turn.notify_all();
        answer(response, "variation " + std::to_string(index));
    });
    AppState& app = state();
    app.setInputText(" a draft ");
    app.setOutputText("shown result");
    app.setPendingQuestions({"Q"});

    runToEnd([&](AppState::Completion done) { app.generateVariations(3, std::move(done)); });

    EXPECT_THAT(answered, ElementsAre(3, 1, 2));
    EXPECT_THAT(app.variations(), ElementsAre("variation 1", "variation 2", "variation 3"));
    EXPECT_FALSE(app.isGeneratingVariations());
    EXPECT_TRUE(app.pendingQuestions().empty());
    EXPECT_EQ(app.outputText(), "shown result");
    EXPECT_TRUE(app.history().empty());
    EXPECT_EQ(pasteboard_.string(), std::nullopt);
    EXPECT_TRUE(logs_.records().empty());

    std::set<std::string> users;
    for (const auto& request : server_.requests()) {
        users.insert(parseChat(request.body).user);
    }
    EXPECT_TRUE(users.contains(
        "Draft:\na draft\n\nVariation 2: give a meaningfully different phrasing or structure from "
        "other variations. Reply with ONLY the rewritten prompt — do not ask clarifying "
        "questions; make reasonable assumptions."));

    app.useVariation("variation 2");
    EXPECT_EQ(app.outputText(), "variation 2");
    EXPECT_TRUE(app.variations().empty());
    EXPECT_EQ(app.history().at(0).output, "variation 2");
}

TEST_F(AppStateTest, OneFailingVariationShowsItsErrorAndStopsTheOthers) {
    useLoopbackProvider();
    onChat([this](const ChatRequest& request, httplib::Response& response) {
        if (variationIndex(request.user) == 2) {
            response.status = 500;
            return;
        }
        // Held until the end of the test: only the failure's stop lets the group end.
        server_.waitUntilStopped();
        answer(response, "too late");
    });
    AppState& app = state();
    app.setInputText("draft");

    runToEnd([&](AppState::Completion done) { app.generateVariations(3, std::move(done)); });

    EXPECT_TRUE(app.variations().empty());
    EXPECT_EQ(app.lastErrorCode(), "http_500");
    EXPECT_EQ(app.errorMessage(), "Request failed (HTTP 500).");
    EXPECT_FALSE(app.isGeneratingVariations());
}

TEST_F(AppStateTest, StartingAnEnhancementCancelsRunningVariations) {
    useLoopbackProvider();
    onChat([this](const ChatRequest& request, httplib::Response& response) {
        if (variationIndex(request.user) != 0) {
            server_.waitUntilStopped();
        }
        answer(response, "final");
    });
    AppState& app = state();
    app.setInputText("draft");
    app.startGenerateVariations();
    ASSERT_TRUE(requestsArrived(3));
    ASSERT_TRUE(app.isGeneratingVariations());

    app.startEnhance();
    ASSERT_TRUE(pump([&] { return endLogged() && !app.isGeneratingVariations(); }));

    EXPECT_EQ(app.outputText(), "final");
    EXPECT_TRUE(app.variations().empty());
    EXPECT_EQ(app.errorMessage(), std::nullopt);
}

// Model lists.

TEST_F(AppStateTest, AFetchedListReplacesTheBuiltInOneAndSwitchesAMissingModel) {
    useLoopbackProvider();
    std::atomic<int> fetches{0};
    server_.get("/v1/models", [&](const httplib::Request&, httplib::Response& response) {
        const bool second = ++fetches > 1;
        response.status = 200;
        response.set_content(second ? R"({"data":[{"id":"zeta"},{"id":"beta"}]})"
                                    : R"({"data":[{"id":"zeta"},{"id":"alpha"}]})",
                             "application/json");
    });
    AppState& app = state();
    app.setErrorMessage("banner stays");

    runToEnd([&](AppState::Completion done) { app.fetchModels(std::move(done)); });
    EXPECT_THAT(app.availableModels(), ElementsAre("alpha", "zeta"));
    EXPECT_EQ(app.model(), "alpha");
    EXPECT_EQ(defaults_.stringValue(SettingsKey::activeModel), "alpha");
    EXPECT_FALSE(app.isFetchingModels());
    EXPECT_THAT(logs_.messages("app"), ElementsAre("Fetched 2 models for custom"));

    app.setModel("zeta");
    runToEnd([&](AppState::Completion done) { app.fetchModels(std::move(done)); });
    EXPECT_THAT(app.fetchedModels().at(ProviderID::custom), ElementsAre("beta", "zeta"));
    EXPECT_EQ(app.model(), "zeta") << "a list holding the model keeps it";
    EXPECT_EQ(app.errorMessage(), "banner stays");
}

TEST_F(AppStateTest, AListOfTaggedNamesKeepsTheModelAsTheUserSpelledIt) {
    useLoopbackProvider();
    server_.get("/v1/models", [](const httplib::Request&, httplib::Response& response) {
        response.status = 200;
        response.set_content(
            R"({"object":"list","data":[{"id":"deepseek-r1:7b","object":"model"},)"
            R"({"id":"llama3.2:latest","object":"model"},{"id":"qwen2.5","object":"model"}]})",
            "application/json");
    });
    AppState& app = state();

    for (const std::string model : {"llama3.2", "qwen2.5:latest"}) {
        app.setModel(model);
        runToEnd([&](AppState::Completion done) { app.fetchModels(std::move(done)); });
        EXPECT_EQ(app.model(), model);
        EXPECT_EQ(defaults_.stringValue(SettingsKey::activeModel), model);
    }
}

TEST_F(AppStateTest, AListArrivingAfterAProviderSwitchLeavesTheNewProvidersModel) {
    useLoopbackProvider();
    std::atomic<bool> release{false};
    server_.get("/v1/models", [&](const httplib::Request&, httplib::Response& response) {
        const auto until = std::chrono::steady_clock::now() + patience;
        while (!release && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(1ms);
        }
        response.status = 200;
        response.set_content(R"({"data":[{"id":"zeta"},{"id":"alpha"}]})", "application/json");
    });
    AppState& app = state();
    app.fetchModels();
    ASSERT_TRUE(requestsArrived(1));

    app.setProviderID(ProviderID::openAI);
    const std::string openAIModel = ProviderConfig::config(ProviderID::openAI).defaultModel;
    release = true;
    ASSERT_TRUE(pump([&] { return !app.isFetchingModels(); }));

    EXPECT_THAT(app.fetchedModels().at(ProviderID::custom), ElementsAre("alpha", "zeta"));
    EXPECT_EQ(app.model(), openAIModel);
    EXPECT_EQ(defaults_.stringValue(SettingsKey::activeModel), openAIModel);
}

TEST_F(AppStateTest, OnlyOneModelFetchRunsAtATime) {
    useLoopbackProvider();
    const auto answer = std::make_shared<std::atomic<bool>>(false);
    server_.get("/v1/models", [answer](const httplib::Request&, httplib::Response& response) {
        (void)test::waitUntil([&] { return answer->load(); }, patience);
        response.set_content(R"({"data":[{"id":"listed"}]})", "application/json");
    });
    AppState& app = state();
    app.fetchModels();
    ASSERT_TRUE(requestsArrived(1));
    bool secondEnded = false;
    app.fetchModels([&] { secondEnded = true; });
    EXPECT_TRUE(secondEnded);

    app.cancelEnhance(); // the fetch is outside the task slot and goes on
    *answer = true;
    ASSERT_TRUE(pump([&] { return !app.isFetchingModels(); }));
    EXPECT_EQ(app.modelFetchError(), std::nullopt);
    EXPECT_THAT(app.fetchedModels(),
                testing::Contains(testing::Pair(ProviderID::custom, ElementsAre("listed"))));
    EXPECT_EQ(server_.requests().size(), 1u);
}

TEST_F(AppStateTest, AFailedFetchShowsItsMessageOnlyInTheModelError) {
    useLoopbackProvider();
    server_.get("/v1/models", [](const httplib::Request&, httplib::Response& response) {
        response.status = 500;
    });
    AppState& app = state();
    app.setFetchedModels({{ProviderID::custom, {"earlier"}}});

    runToEnd([&](AppState::Completion done) { app.fetchModels(std::move(done)); });

    EXPECT_EQ(app.modelFetchError(), "Request failed (HTTP 500).");
    EXPECT_THAT(app.fetchedModels().at(ProviderID::custom), ElementsAre("earlier"));
    EXPECT_EQ(app.model(), "test-model");
    EXPECT_EQ(app.errorMessage(), std::nullopt);
    EXPECT_EQ(app.lastErrorCode(), std::nullopt);
    EXPECT_FALSE(app.isFetchingModels());
}

// Preset editing.

TEST_F(AppStateTest, CustomPresetsAreAddedUpdatedAndDeletedAndSavedAtOnce) {
    AppState& app = state();
    const Uuid first = app.addCustomPreset();
    const Uuid second = app.addCustomPreset();
    ASSERT_EQ(app.customPresets().size(), 2u);
    const CustomPreset& added = app.customPresets()[0];
    EXPECT_EQ(added.id, first);
    EXPECT_EQ(added.name, "My preset");
    EXPECT_EQ(Text::characterCount(added.instructions), 150u);
    EXPECT_EQ(added.structuredPrompt, std::nullopt);
    EXPECT_EQ(added.basePresetRawValue, std::nullopt);
    EXPECT_EQ(app.activeCustomPresetID(), std::nullopt);
    EXPECT_EQ(CustomPresetStore(defaults_).load(), app.customPresets());

    CustomPreset renamed = app.customPresets()[1];
    renamed.name = "Renamed";
    app.updateCustomPreset(renamed);
    EXPECT_EQ(CustomPresetStore(defaults_).load()[1].name, "Renamed");
    CustomPreset stranger = renamed;
    stranger.id = Uuid::random();
    app.updateCustomPreset(stranger);
    EXPECT_EQ(app.customPresets().size(), 2u);

    app.setActiveCustomPresetID(second);
    app.deleteCustomPreset(second);
    EXPECT_EQ(app.activeCustomPresetID(), std::nullopt);
    ASSERT_EQ(app.customPresets().size(), 1u);
    EXPECT_EQ(CustomPresetStore(defaults_).load(), app.customPresets());
}

TEST_F(AppStateTest, OverridesAreSavedActiveAndDuplicatesCopyTheTextInUse) {
    AppState& app = state();
    app.saveOverride(Preset::imageGen, " picture it ");
    app.saveOverride(Preset::code, "Code override");
    const auto image = app.overrideStore().activeOverride(Preset::imageGen);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->customInstructions, " picture it ");
    EXPECT_EQ(image->imageStructure, ImagePromptStructure{});
    EXPECT_EQ(app.overrideStore().activeOverride(Preset::code)->imageStructure, std::nullopt);

    const Uuid withOverride = app.duplicatePreset(Preset::code);
    const Uuid builtIn = app.duplicatePreset(Preset::analysis);
    ASSERT_EQ(app.customPresets().size(), 2u);
    EXPECT_EQ(app.customPresets()[0].id, withOverride);
    EXPECT_EQ(app.customPresets()[0].name, "Custom Code");
    EXPECT_EQ(app.customPresets()[0].instructions, "Code override");
    EXPECT_EQ(app.customPresets()[1].id, builtIn);
    EXPECT_EQ(app.customPresets()[1].instructions, MetaPrompt::forPreset(Preset::analysis));
    EXPECT_EQ(app.activeCustomPresetID(), std::nullopt);
    EXPECT_EQ(CustomPresetStore(defaults_).load(), app.customPresets());
}

// History.

TEST_F(AppStateTest, RestoringAnEntryBringsBackItsTextsAndPresetOnly) {
    useLoopbackProvider();
    AppState& app = state();
    const HistoryItem item = historyItem("old draft", Preset::video);
    app.setLastErrorCode("http_500");
    app.setErrorMessage("banner");
    app.setFieldMode(FieldMode::result);
    app.setShowHistory(true);
    app.setPendingQuestions({"Q"});
    app.setAnswers({"A"});
    app.setVariations({"V"});

    app.restoreHistoryItem(item);

    EXPECT_EQ(app.inputText(), "old draft");
    EXPECT_EQ(app.outputText(), "out");
    EXPECT_EQ(app.selectedPreset(), Preset::video);
    EXPECT_EQ(app.errorMessage(), std::nullopt);
    EXPECT_TRUE(app.pendingQuestions().empty());
    EXPECT_TRUE(app.answers().empty());
    EXPECT_TRUE(app.variations().empty());
    EXPECT_FALSE(app.showHistory());
    EXPECT_EQ(app.providerID(), ProviderID::custom);
    EXPECT_EQ(app.model(), "test-model");
    EXPECT_EQ(app.fieldMode(), FieldMode::result);
    EXPECT_EQ(app.lastErrorCode(), "http_500");
}

TEST_F(AppStateTest, DeletingAnEntrySavesTheRest) {
    const auto kept = historyItem("kept");
    const auto gone = historyItem("gone");
    HistoryStore(defaults_).save({gone, kept});
    AppState& app = state();
    app.deleteHistoryItem(gone.id);
    EXPECT_THAT(ids(app.history()), ElementsAre(kept.id));
    EXPECT_THAT(ids(HistoryStore(defaults_).load()), ElementsAre(kept.id));
}

// Clipboard prefill.

TEST_F(AppStateTest, TheClipboardFillsAnEmptyDraftOncePerChange) {
    AppState& app = state();
    pasteboard_.setString("  copied text \n");
    app.prefillFromClipboardIfNeeded();
    EXPECT_EQ(app.inputText(), "copied text");

    app.setInputText(" ");
    app.prefillFromClipboardIfNeeded();
    EXPECT_EQ(app.inputText(), " ") << "the same clipboard is not used twice";

    pasteboard_.setString("newer");
    app.prefillFromClipboardIfNeeded();
    EXPECT_EQ(app.inputText(), "newer") << "a draft of spaces counts as empty";

    pasteboard_.setString("ignored");
    const int reads = pasteboard_.reads();
    app.prefillFromClipboardIfNeeded();
    EXPECT_EQ(app.inputText(), "newer") << "a draft is never replaced";
    EXPECT_EQ(pasteboard_.reads(), reads) << "the clipboard was read beside a draft";

    app.setInputText("");
    pasteboard_.clearContents();
    app.prefillFromClipboardIfNeeded();
    EXPECT_EQ(app.inputText(), "");
    pasteboard_.setString(" \n ");
    app.prefillFromClipboardIfNeeded();
    EXPECT_EQ(app.inputText(), "");
}

TEST_F(AppStateTest, WithAutoFillOffTheClipboardIsStillMarkedSeen) {
    AppState& app = state();
    app.setAutoPrefillFromClipboard(false);
    pasteboard_.setString("seen while off");
    app.prefillFromClipboardIfNeeded();
    EXPECT_EQ(app.inputText(), "");
    EXPECT_EQ(pasteboard_.reads(), 0) << "the clipboard was read with auto-fill off";

    app.setAutoPrefillFromClipboard(true);
    app.prefillFromClipboardIfNeeded();
    EXPECT_EQ(app.inputText(), "");
}

// Diagnostics.

TEST_F(AppStateTest, TheDiagnosticsTextNamesBuildSystemProviderModelAndLastError) {
    AppState& app = state();
    const ApplicationInfo info;
    const std::string head = "Quorvane " + *info.infoValue("CFBundleShortVersionString") + " (" +
                             *info.infoValue("CFBundleVersion") + ")\nTest OS 7 (tests)\n";
    EXPECT_EQ(app.diagnosticsText(),
              head + "Provider: openAI\nModel: gpt-4o-mini\nLast error: none");

    app.setProviderID(ProviderID::anthropic);
    app.setInputText("draft");
    enhanceToEnd();
    EXPECT_EQ(app.diagnosticsText(),
              head + "Provider: anthropic\nModel: claude-sonnet-4-6\nLast error: missing_api_key");
}

} // namespace
} // namespace quorvane
