// The whole road of one enhancement, as a person takes it, against the real program: a private
// Xvfb without a window manager, the application started as a child with a private home and a
// loopback chat provider, and every key pressed through XTEST with xdotool (which goes through
// grabs the way a keyboard does). The test watches the display with an X connection of its own.
#include "engine/EnumTraits.h"
#include "engine/ProviderID.h"
#include "harness/ChildProcess.h"
#include "harness/XvfbDisplay.h"
#include "platform/defaults/UserDefaults.h"
#include "state/KeyStore.h"
#include "state/SettingsStore.h"
#include "support/LoopbackServer.h"
#include "support/TemporaryHome.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <signal.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::run;

std::string skipReason;
std::string displayName;

constexpr std::string_view draft = "turn my meeting notes into a short summary for the team";
constexpr std::string_view result =
    "Summarise these meeting notes in five short bullet points for the whole team.";

// Polls until the condition holds; the bound only turns a broken build into a failure.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

void press(const std::string& keys) {
    ASSERT_EQ(run({"xdotool", "key", keys}), 0) << keys;
}

// The test's own client on the display. Its one small window holds the keyboard focus before
// the panel takes it, so a press that no grab catches lands here instead of getting lost; the
// same window receives the clipboard when the test asks for it.
class DisplayWatcher {
public:
    DisplayWatcher()
        : connection_(connect()) {
        if (xcb_connection_has_error(connection_) != 0) {
            return;
        }
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        window_ = xcb_generate_id(connection_);
        const std::uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, root_, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &events);
        xcb_map_window(connection_, window_);
        clipboard_ = atom("CLIPBOARD");
        utf8_ = atom("UTF8_STRING");
        target_ = atom("ROAD_TEST_CLIPBOARD");
        wmClass_ = atom("WM_CLASS");
        windowType_ = atom("_NET_WM_WINDOW_TYPE");
        utility_ = atom("_NET_WM_WINDOW_TYPE_UTILITY");
        sync();
    }

    ~DisplayWatcher() { xcb_disconnect(connection_); }

    DisplayWatcher(const DisplayWatcher&) = delete;
    DisplayWatcher& operator=(const DisplayWatcher&) = delete;

    bool connected() const { return xcb_connection_has_error(connection_) == 0; }

    void takeFocus() {
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window_, XCB_CURRENT_TIME);
        sync();
    }

    xcb_window_t focus() {
        auto* reply =
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr);
        const xcb_window_t focused = reply != nullptr ? reply->focus : XCB_NONE;
        std::free(reply);
        return focused;
    }

    // Whether the whole combination Ctrl+Shift+<key> reached the test's window since the last
    // call. The modifier keys alone always do, grab or no grab: only the key itself is grabbed.
    bool caughtCombination() {
        constexpr std::uint16_t controlShift = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
        bool caught = false;
        while (auto* event = xcb_poll_for_event(connection_)) {
            if ((event->response_type & 0x7f) == XCB_KEY_PRESS) {
                const auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
                caught = caught || (key->state & controlShift) == controlShift;
            }
            std::free(event);
        }
        return caught;
    }

    // The application's viewable top-level windows.
    std::vector<xcb_window_t> viewableWindows() {
        auto* tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr);
        if (tree == nullptr) {
            return {};
        }
        std::vector<xcb_window_t> found;
        const auto* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            if (isViewable(children[i]) &&
                propertyText(children[i], wmClass_, false).value_or("").find("quorvane") !=
                    std::string::npos) {
                found.push_back(children[i]);
            }
        }
        std::free(tree);
        return found;
    }

    // A utility window of the panel's width: the settings and onboarding windows are normal ones.
    bool isPanel(xcb_window_t window) {
        auto* geometry =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
        const bool panelWide = geometry != nullptr && geometry->width == 480;
        std::free(geometry);
        const auto type = propertyText(window, windowType_, false).value_or("");
        xcb_atom_t first = XCB_NONE;
        std::memcpy(&first, type.data(), std::min(type.size(), sizeof first));
        return panelWide && first == utility_;
    }

    // The title the window manager shows, as the window gives it.
    std::string title(xcb_window_t window) {
        return propertyText(window, atom("_NET_WM_NAME"), false).value_or("");
    }

    // The title of each viewable window of the application.
    std::vector<std::string> titles() {
        std::vector<std::string> found;
        for (const xcb_window_t window : viewableWindows()) {
            found.push_back(title(window));
        }
        return found;
    }

    bool hasProperty(xcb_window_t window, const char* name) {
        auto* reply = xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
            nullptr);
        const bool present = reply != nullptr && reply->type != XCB_NONE;
        std::free(reply);
        return present;
    }

    // Asks the owner of the CLIPBOARD selection for its text, as a pasting application does.
    std::optional<std::string> clipboardText() {
        xcb_convert_selection(connection_, window_, clipboard_, utf8_, target_, XCB_CURRENT_TIME);
        xcb_flush(connection_);
        std::optional<xcb_atom_t> property;
        waitUntil(
            [&] {
                while (auto* event = xcb_poll_for_event(connection_)) {
                    if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY) {
                        property = reinterpret_cast<xcb_selection_notify_event_t*>(event)->property;
                    }
                    std::free(event);
                }
                return property.has_value();
            },
            5s);
        if (!property || *property == XCB_NONE) {
            return std::nullopt;
        }
        return propertyText(window_, *property, true);
    }

private:
    static xcb_connection_t* connect() { return xcb_connect(displayName.c_str(), nullptr); }

    bool isViewable(xcb_window_t window) {
        auto* attributes = xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, window), nullptr);
        const bool viewable =
            attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        return viewable;
    }

    std::optional<std::string> propertyText(xcb_window_t window, xcb_atom_t property, bool remove) {
        auto* reply =
            xcb_get_property_reply(connection_,
                                   xcb_get_property(connection_, remove ? 1 : 0, window, property,
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16),
                                   nullptr);
        if (reply == nullptr) {
            return std::nullopt;
        }
        std::optional<std::string> text;
        if (reply->type != XCB_NONE) {
            const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply));
            text =
                std::string(bytes, static_cast<std::size_t>(xcb_get_property_value_length(reply)));
        }
        std::free(reply);
        return text;
    }

    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t value = reply != nullptr ? reply->atom : XCB_NONE;
        std::free(reply);
        return value;
    }

    void sync() {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = XCB_NONE;
    xcb_window_t window_ = XCB_NONE;
    xcb_atom_t clipboard_ = XCB_NONE;
    xcb_atom_t utf8_ = XCB_NONE;
    xcb_atom_t target_ = XCB_NONE;
    xcb_atom_t wmClass_ = XCB_NONE;
    xcb_atom_t windowType_ = XCB_NONE;
    xcb_atom_t utility_ = XCB_NONE;
};

// The user message of a recorded chat completion request, or empty text.
std::string userMessage(const test::RecordedRequest& request) {
    const auto body = nlohmann::json::parse(request.body, nullptr, false);
    if (!body.is_object() || !body.contains("messages") || !body["messages"].is_array()) {
        return {};
    }
    for (const auto& message : body["messages"]) {
        if (message.value("role", "") == "user" && message.contains("content") &&
            message["content"].is_string()) {
            return message["content"].get<std::string>();
        }
    }
    return {};
}

class RoadXvfbTest : public testing::Test {
protected:
    void SetUp() override {
        if (!skipReason.empty()) {
            GTEST_SKIP() << skipReason;
        }
        server.post(
            "/v1/chat/completions", [](const httplib::Request&, httplib::Response& response) {
                response.set_content(
                    nlohmann::json{
                        {"choices", {{{"message", {{"role", "assistant"}, {"content", result}}}}}}}
                        .dump(),
                    "application/json");
            });
        ASSERT_NO_FATAL_FAILURE(configure());
        watcher.emplace();
        ASSERT_TRUE(watcher->connected());
        watcher->takeFocus();
    }

    void TearDown() override {
        if (application > 0) {
            kill(application, SIGKILL);
            waitpid(application, nullptr, 0);
        }
    }

    // A returning user: onboarding done, the custom provider on the loopback server, the hot key
    // on with its default combination. Nothing opens a window at start.
    void configure() {
        const fs::path config = std::getenv("XDG_CONFIG_HOME");
        UserDefaults defaults(config / "Quorvane" / "defaults.json");
        defaults.setBool(SettingsKey::hasCompletedOnboarding, true);
        defaults.setBool(SettingsKey::enableGlobalHotkey, true);
        defaults.setString(SettingsKey::activeProvider, "custom");
        defaults.setString(SettingsKey::activeModel, "test-model");
        defaults.setString(SettingsKey::customBaseURL, server.baseUrl() + "/v1");
        ASSERT_TRUE(KeyStore().setKey("sk-road", ProviderID::custom));
    }

    void launch() {
        application = test::spawn({QUORVANE_APP_PATH},
                                  {.quiet = false,
                                   .environment = {
                                       {"DISPLAY", displayName},
                                       {"QT_QPA_PLATFORM", "xcb"},
                                       // Nothing of the desktop session the test runs in.
                                       {"DBUS_SESSION_BUS_ADDRESS", noBus()},
                                   }});
        ASSERT_GT(application, 0);
    }

    bool applicationRunning() const { return waitpid(application, nullptr, WNOHANG) == 0; }

    // Presses the hot key until the application has grabbed it: before that, the press lands on
    // the test's own focused window, and the test tries again. A press that was grabbed is never
    // repeated, since a second one would close the panel again.
    void openPanelWithHotkey() {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        std::vector<xcb_window_t> shown;
        bool caught = true;
        while (caught && shown.empty() && std::chrono::steady_clock::now() < deadline) {
            ASSERT_TRUE(applicationRunning()) << "the application ended before the panel opened";
            press("ctrl+shift+e");
            caught = false;
            waitUntil(
                [&] {
                    shown = watcher->viewableWindows();
                    caught = shown.empty() && watcher->caughtCombination();
                    return !shown.empty() || caught || !applicationRunning();
                },
                std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now()));
        }
        ASSERT_FALSE(shown.empty()) << "no panel after pressing the hot key";
        // A returning user gets no other window, at start or with the panel.
        ASSERT_EQ(shown.size(), 1u);
        ASSERT_TRUE(watcher->isPanel(shown.front())) << "the window that opened is not the panel";
        panel = shown.front();
    }

    bool receivedDraft() const {
        const auto requests = server.requests();
        return std::any_of(requests.begin(), requests.end(), [](const auto& request) {
            return request.path == "/v1/chat/completions" &&
                   userMessage(request).find(draft) != std::string::npos;
        });
    }

    std::string userMessages() const {
        std::string all;
        for (const auto& request : server.requests()) {
            all += "\n  " + userMessage(request);
        }
        return all;
    }

    // Ends the application the way the session does at log-out.
    void terminateApplication() {
        ASSERT_EQ(kill(application, SIGTERM), 0);
        // -1 when it was still running 10 s later (it is killed then) or died by a signal.
        const int status = test::waitForExit(application, 10s);
        application = -1;
        EXPECT_EQ(status, 0) << "no orderly exit within 10 s of SIGTERM";
    }

    // Launching the program again while it runs, as a desktop shortcut bound to it does.
    void launchAgain() {
        const int status =
            run({QUORVANE_APP_PATH}, {.quiet = false,
                                      .environment = {{"DISPLAY", displayName},
                                                      {"QT_QPA_PLATFORM", "xcb"},
                                                      {"DBUS_SESSION_BUS_ADDRESS", noBus()}}});
        ASSERT_EQ(status, 0) << "the second launch did not hand over";
    }

    static std::string noBus() {
        const fs::path runtime = std::getenv("XDG_RUNTIME_DIR");
        return "unix:path=" + (runtime / "no-bus").string();
    }

    test::LoopbackServer server;
    std::optional<DisplayWatcher> watcher;
    pid_t application = -1;
    xcb_window_t panel = XCB_NONE;
};

TEST_F(RoadXvfbTest, HotkeyDraftEnhanceCopyAndClose) {
    ASSERT_NO_FATAL_FAILURE(launch());

    ASSERT_NO_FATAL_FAILURE(openPanelWithHotkey());
    ASSERT_TRUE(waitUntil([&] { return watcher->focus() == panel; }, 10s))
        << "the panel never took the keyboard focus";
    // A compositor that blurs behind windows is asked to do so for the whole panel.
    EXPECT_TRUE(watcher->hasProperty(panel, "_KDE_NET_WM_BLUR_BEHIND_REGION"));

    ASSERT_EQ(run({"xdotool", "type", "--delay", "15", std::string(draft)}), 0);
    press("ctrl+Return");
    ASSERT_TRUE(waitUntil([&] { return receivedDraft(); }, 20s))
        << "no chat request with the typed draft; user messages received:" << userMessages();

    // The result arrives a moment after the request; until it is shown, the shortcut has
    // nothing to do (no draft may be sent twice), so it is simply pressed again.
    const bool closed = waitUntil(
        [&] {
            press("ctrl+Return");
            return waitUntil([&] { return watcher->viewableWindows().empty(); }, 1500ms);
        },
        20s);
    ASSERT_TRUE(closed) << "the panel stayed open after copy and close";
    ASSERT_TRUE(applicationRunning());
    EXPECT_EQ(watcher->clipboardText(), std::optional<std::string>(result));
    EXPECT_EQ(server.requests().size(), 1u) << "exactly one enhancement";

    terminateApplication();
}

// The windows show their own titles, with nothing of the application's name appended to them.
TEST_F(RoadXvfbTest, TheWindowsCarryTheirOwnTitles) {
    const fs::path config = std::getenv("XDG_CONFIG_HOME");
    UserDefaults(config / "Quorvane" / "defaults.json")
        .setBool(SettingsKey::hasCompletedOnboarding, false);
    ASSERT_NO_FATAL_FAILURE(launch());
    const auto showing = [&](const std::string& title) {
        return waitUntil(
            [&] {
                const auto shown = watcher->titles();
                return std::find(shown.begin(), shown.end(), title) != shown.end();
            },
            20s);
    };
    ASSERT_TRUE(showing("Welcome to Quorvane")) << "a first run opens the walkthrough";

    // The settings window, from the panel's own shortcut.
    std::optional<xcb_window_t> shownPanel;
    ASSERT_TRUE(waitUntil(
        [&] {
            press("ctrl+shift+e");
            return waitUntil(
                [&] {
                    for (const xcb_window_t window : watcher->viewableWindows()) {
                        if (watcher->isPanel(window)) {
                            shownPanel = window;
                        }
                    }
                    return shownPanel.has_value();
                },
                1500ms);
        },
        20s))
        << "no panel after pressing the hot key";
    ASSERT_TRUE(waitUntil([&] { return watcher->focus() == *shownPanel; }, 10s));
    press("ctrl+comma");
    EXPECT_TRUE(showing("Quorvane Settings")) << "titles shown:" << [&] {
        std::string all;
        for (const auto& title : watcher->titles()) {
            all += " \"" + title + "\"";
        }
        return all;
    }();
    terminateApplication();
}

TEST_F(RoadXvfbTest, LaunchingAgainTogglesTheRunningCopysPanel) {
    ASSERT_NO_FATAL_FAILURE(launch());
    const fs::path socket = fs::path(std::getenv("XDG_RUNTIME_DIR")) / "quorvane.socket";
    ASSERT_TRUE(waitUntil([&] { return fs::exists(socket); }, 20s))
        << "the first copy never listened";

    ASSERT_NO_FATAL_FAILURE(launchAgain());
    std::vector<xcb_window_t> shown;
    ASSERT_TRUE(waitUntil([&] { return !(shown = watcher->viewableWindows()).empty(); }, 10s))
        << "no panel after the second launch";
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(watcher->isPanel(shown.front()));

    ASSERT_NO_FATAL_FAILURE(launchAgain());
    EXPECT_TRUE(waitUntil([&] { return watcher->viewableWindows().empty(); }, 10s))
        << "the third launch left the panel open";
    ASSERT_TRUE(applicationRunning());
    terminateApplication();
}

} // namespace
} // namespace quorvane

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    quorvane::test::TemporaryHome home;
    // The child inherits this environment: no proxy between it and the loopback provider, and no
    // key of the developer's own.
    for (const char* name : {"https_proxy", "HTTPS_PROXY", "http_proxy", "HTTP_PROXY", "all_proxy",
                             "ALL_PROXY", "SENTRY_DSN", "THRIM_SELFTEST"}) {
        unsetenv(name);
    }
    for (const auto& [id, raw] : quorvane::EnumTraits<quorvane::ProviderID>::cases) {
        for (const std::string& name : quorvane::environmentVariableNames(id)) {
            unsetenv(name.c_str());
        }
    }

    quorvane::test::XvfbDisplay display(300);
    quorvane::skipReason = display.startWithXdotool();
    quorvane::displayName = display.name();
    return RUN_ALL_TESTS();
}
