// The whole road of one enhancement, as a person takes it, against the real program: a private
// Xvfb without a window manager, the application started as a child with a private home and a
// loopback chat provider, and every key pressed through XTEST with xdotool (which goes through
// grabs the way a keyboard does). The test watches the display with an X connection of its own.
#include "engine/EnumTraits.h"
#include "engine/ProviderID.h"
#include "harness/ChildProcess.h"
#include "harness/XvfbDisplay.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/localsocket/LocalSocketConnection.h"
#include "shell/InstanceAddress.h"
#include "state/KeyStore.h"
#include "state/SettingsStore.h"
#include "support/LoopbackServer.h"
#include "support/TemporaryHome.h"
#include "support/WaitUntil.h"

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
#include <fstream>
#include <functional>
#include <map>
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
testing::AssertionResult waitUntil(const std::function<bool()>& done,
                                   std::chrono::milliseconds timeout) {
    return test::waitUntil(done, timeout, [] { std::this_thread::sleep_for(10ms); });
}

void press(const std::string& keys) {
    ASSERT_EQ(run({"xdotool", "key", keys}), 0) << keys;
}

struct WindowFrame {
    int x;
    int y;
    int width;
    int height;
};

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

    // The application's viewable top-level windows: children of the root, or of the frames a
    // window manager puts around them.
    std::vector<xcb_window_t> viewableWindows() {
        std::vector<xcb_window_t> found;
        for (const xcb_window_t top : children(root_)) {
            if (isApplicationWindow(top)) {
                found.push_back(top);
            }
            for (const xcb_window_t client : children(top)) {
                if (isApplicationWindow(client)) {
                    found.push_back(client);
                }
            }
        }
        return found;
    }

    bool windowManagerRunning() { return hasProperty(root_, "_NET_SUPPORTING_WM_CHECK"); }

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

    // Where a window is on the screen, inside a window manager's frame or not.
    std::optional<WindowFrame> geometry(xcb_window_t window) {
        auto* size =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
        auto* origin = xcb_translate_coordinates_reply(
            connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr);
        std::optional<WindowFrame> frame;
        if (size != nullptr && origin != nullptr) {
            frame = WindowFrame{origin->dst_x, origin->dst_y, size->width, size->height};
        }
        std::free(size);
        std::free(origin);
        return frame;
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

    std::vector<xcb_window_t> children(xcb_window_t parent) {
        auto* tree =
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, parent), nullptr);
        if (tree == nullptr) {
            return {};
        }
        const auto* first = xcb_query_tree_children(tree);
        std::vector<xcb_window_t> result(first, first + xcb_query_tree_children_length(tree));
        std::free(tree);
        return result;
    }

    bool isApplicationWindow(xcb_window_t window) {
        return isViewable(window) &&
               propertyText(window, wmClass_, false).value_or("").find("quorvane") !=
                   std::string::npos;
    }

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

// An application that takes the clipboard and then never answers when asked for its contents,
// as a hung program does. It notes every request it gets.
class SilentClipboardOwner {
public:
    SilentClipboardOwner()
        : connection_(xcb_connect(displayName.c_str(), nullptr)) {
        if (xcb_connection_has_error(connection_) != 0) {
            return;
        }
        const auto* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        window_ = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        auto* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, 9, "CLIPBOARD"), nullptr);
        clipboard_ = reply != nullptr ? reply->atom : XCB_NONE;
        std::free(reply);
    }

    ~SilentClipboardOwner() { xcb_disconnect(connection_); }

    SilentClipboardOwner(const SilentClipboardOwner&) = delete;
    SilentClipboardOwner& operator=(const SilentClipboardOwner&) = delete;

    // A copy in this application: it owns the clipboard from now on.
    bool takeClipboard() {
        xcb_set_selection_owner(connection_, window_, clipboard_, XCB_CURRENT_TIME);
        auto* reply = xcb_get_selection_owner_reply(
            connection_, xcb_get_selection_owner(connection_, clipboard_), nullptr);
        const bool owned = reply != nullptr && reply->owner == window_;
        std::free(reply);
        return owned;
    }

    // The requests for its contents so far, none of them answered.
    int requests() {
        while (auto* event = xcb_poll_for_event(connection_)) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
                ++requests_;
            }
            std::free(event);
        }
        return requests_;
    }

private:
    xcb_connection_t* connection_;
    xcb_window_t window_ = XCB_NONE;
    xcb_atom_t clipboard_ = XCB_NONE;
    int requests_ = 0;
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
        // As it comes, whatever an earlier case of this process set.
        defaults.setBool(SettingsKey::autoPrefill, true);
        defaults.setString(SettingsKey::activeProvider, "custom");
        defaults.setString(SettingsKey::activeModel, "test-model");
        defaults.setString(SettingsKey::customBaseURL, server.baseUrl() + "/v1");
        ASSERT_TRUE(KeyStore().setKey("sk-road", ProviderID::custom));
    }

    void launch(const std::map<std::string, std::string>& session = {}) {
        auto environment = childEnvironment();
        environment.insert(session.begin(), session.end());
        application = test::spawn({QUORVANE_APP_PATH},
                                  {.quiet = false, .environment = std::move(environment)});
        ASSERT_GT(application, 0);
    }

    std::map<std::string, std::string> childEnvironment() const {
        std::map<std::string, std::string> environment{
            {"DISPLAY", displayName},
            {"QT_QPA_PLATFORM", "xcb"},
            // Nothing of the desktop session the test runs in.
            {"DBUS_SESSION_BUS_ADDRESS", noBus()},
        };
        if (!runtimeDirectory.empty()) {
            environment["XDG_RUNTIME_DIR"] = runtimeDirectory;
        }
        return environment;
    }

    std::string runtime() const {
        return runtimeDirectory.empty() ? std::getenv("XDG_RUNTIME_DIR") : runtimeDirectory;
    }

    // Whether the application listens for later launches; the probe sends nothing.
    bool listening() const {
        const InstanceAddress address(runtime());
        return address.socket().address &&
               LocalSocketConnection::connect(*address.socket().address).has_value();
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

    bool receivedDraft() const { return received(draft); }

    bool received(std::string_view text) const {
        const auto requests = server.requests();
        return std::any_of(requests.begin(), requests.end(), [&](const auto& request) {
            return request.path == "/v1/chat/completions" &&
                   userMessage(request).find(text) != std::string::npos;
        });
    }

    // The hot key once more, for a panel already known to be reachable by it.
    void summonAgain() {
        ASSERT_TRUE(watcher->viewableWindows().empty());
        press("ctrl+shift+e");
        std::vector<xcb_window_t> shown;
        ASSERT_TRUE(waitUntil([&] { return !(shown = watcher->viewableWindows()).empty(); }, 10s))
            << "no panel after pressing the hot key again";
        ASSERT_EQ(shown.size(), 1u);
        panel = shown.front();
        ASSERT_TRUE(waitUntil([&] { return watcher->focus() == panel; }, 10s))
            << "the panel never took the keyboard focus";
    }

    void waitForPanelGone(const char* after) {
        ASSERT_TRUE(waitUntil([&] { return watcher->viewableWindows().empty(); }, 10s))
            << "the panel stayed after " << after;
    }

    void typeText(std::string_view text) {
        ASSERT_EQ(run({"xdotool", "type", "--delay", "15", std::string(text)}), 0);
    }

    // Launched, the draft typed into the panel, then a click into another application, which
    // closes the panel.
    void typeTheDraftAndSwitchAway() {
        ASSERT_NO_FATAL_FAILURE(launch());
        ASSERT_NO_FATAL_FAILURE(openPanelWithHotkey());
        ASSERT_TRUE(waitUntil([&] { return watcher->focus() == panel; }, 10s));
        ASSERT_NO_FATAL_FAILURE(typeText(draft));
        watcher->takeFocus();
        ASSERT_NO_FATAL_FAILURE(waitForPanelGone("another application took the focus"));
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
            run({QUORVANE_APP_PATH}, {.quiet = false, .environment = childEnvironment()});
        ASSERT_EQ(status, 0) << "the second launch did not hand over";
    }

    // Waits until the panel's slide in has ended, and gives where it came to rest.
    void waitForPanelAtRest(std::optional<WindowFrame>& frame) {
        frame.reset();
        ASSERT_TRUE(waitUntil(
            [&] {
                const auto before = frame;
                std::this_thread::sleep_for(100ms);
                frame = watcher->geometry(panel);
                return before && frame && before->x == frame->x && before->y == frame->y;
            },
            10s))
            << "the panel never came to rest";
    }

    // A second launch shows the running copy's panel and a third hides it again, the copy
    // running on.
    void expectLaunchesToToggleThePanel() {
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
    }

    static std::string noBus() {
        const fs::path runtime = std::getenv("XDG_RUNTIME_DIR");
        return "unix:path=" + (runtime / "no-bus").string();
    }

    void disableAutoFill() {
        const fs::path config = std::getenv("XDG_CONFIG_HOME");
        UserDefaults(config / "Quorvane" / "defaults.json")
            .setBool(SettingsKey::autoPrefill, false);
    }

    // The runtime directory of the launches, when not the test's own.
    std::string runtimeDirectory;
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

    ASSERT_NO_FATAL_FAILURE(expectLaunchesToToggleThePanel());
    terminateApplication();
}

TEST_F(RoadXvfbTest, SwitchingAwayKeepsTheDraftAndEscapeClearsIt) {
    ASSERT_NO_FATAL_FAILURE(typeTheDraftAndSwitchAway());
    // Some time in the other application: longer than any slide out, at whose end a panel that
    // was closed clears the work.
    std::this_thread::sleep_for(1s);

    ASSERT_NO_FATAL_FAILURE(summonAgain());
    press("ctrl+Return");
    ASSERT_TRUE(waitUntil([&] { return receivedDraft(); }, 20s))
        << "the draft did not survive the switch; user messages received:" << userMessages();

    press("Escape");
    ASSERT_NO_FATAL_FAILURE(waitForPanelGone("Escape"));
    ASSERT_NO_FATAL_FAILURE(summonAgain());
    constexpr std::string_view fresh = "a fresh start";
    ASSERT_NO_FATAL_FAILURE(typeText(fresh));
    press("ctrl+Return");
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 2; }, 20s));
    const std::string second = userMessage(server.requests().back());
    EXPECT_NE(second.find(fresh), std::string::npos) << second;
    EXPECT_EQ(second.find(draft), std::string::npos) << "Escape left the old draft: " << second;
    terminateApplication();
}

TEST_F(RoadXvfbTest, ADragOnTheBackgroundMovesThePanelUntilItsNextShow) {
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_NO_FATAL_FAILURE(openPanelWithHotkey());
    std::optional<WindowFrame> centred;
    ASSERT_NO_FATAL_FAILURE(waitForPanelAtRest(centred));

    // The margin above the header, in the middle of the top edge, is background.
    const int x = centred->x + centred->width / 2;
    const int y = centred->y + 8;
    const auto pointer = [](std::vector<std::string> action) {
        action.insert(action.begin(), "xdotool");
        ASSERT_EQ(run(action), 0);
        std::this_thread::sleep_for(50ms);
    };
    pointer({"mousemove", std::to_string(x), std::to_string(y)});
    pointer({"mousedown", "1"});
    pointer({"mousemove", std::to_string(x + 50), std::to_string(y + 30)});
    pointer({"mousemove", std::to_string(x + 100), std::to_string(y + 60)});
    pointer({"mouseup", "1"});
    std::optional<WindowFrame> moved;
    EXPECT_TRUE(waitUntil(
        [&] {
            moved = watcher->geometry(panel);
            return moved && moved->x == centred->x + 100 && moved->y == centred->y + 60;
        },
        5s))
        << "the panel is at " << (moved ? moved->x : -1) << "," << (moved ? moved->y : -1)
        << ", was at " << centred->x << "," << centred->y;

    press("ctrl+shift+e");
    ASSERT_NO_FATAL_FAILURE(waitForPanelGone("the hot key"));
    // Back where the pointer was when the drag began, so the screen under it is the same.
    pointer({"mousemove", std::to_string(x), std::to_string(y)});
    ASSERT_NO_FATAL_FAILURE(summonAgain());
    std::optional<WindowFrame> again;
    EXPECT_TRUE(waitUntil(
        [&] {
            again = watcher->geometry(panel);
            return again && again->x == centred->x && again->y == centred->y;
        },
        5s))
        << "the next show is at " << (again ? again->x : -1) << "," << (again ? again->y : -1);
    terminateApplication();
}

// A window manager that grabs the keyboard for the moves it makes would take the focus from the
// panel, which hides on that, in the middle of the drag: the panel moves itself there too.
TEST_F(RoadXvfbTest, UnderAWindowManagerADragKeepsThePanelAndItsKeyboard) {
    if (!test::onPath("openbox")) {
        GTEST_SKIP() << "openbox is needed";
    }
    // The hot key is known to be grabbed before the manager comes.
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_NO_FATAL_FAILURE(openPanelWithHotkey());
    press("ctrl+shift+e");
    ASSERT_NO_FATAL_FAILURE(waitForPanelGone("the hot key"));

    const pid_t manager = test::spawn({"openbox"}, {.quiet = true, .environment = {}});
    ASSERT_GT(manager, 0);
    struct Stop {
        pid_t pid;
        ~Stop() {
            kill(pid, SIGTERM);
            test::waitForExit(pid, 10s);
        }
    } stop{manager};
    ASSERT_TRUE(waitUntil([&] { return watcher->windowManagerRunning(); }, 20s));
    ASSERT_NO_FATAL_FAILURE(summonAgain());
    std::optional<WindowFrame> start;
    ASSERT_NO_FATAL_FAILURE(waitForPanelAtRest(start));

    const int x = start->x + start->width / 2;
    const int y = start->y + 8;
    // Slowly, as a hand does: longer than the application waits before it counts a lost focus.
    for (const auto& action : std::vector<std::vector<std::string>>{
             {"mousemove", std::to_string(x), std::to_string(y)},
             {"mousedown", "1"},
             {"mousemove", std::to_string(x + 30), std::to_string(y + 20)},
             {"mousemove", std::to_string(x + 60), std::to_string(y + 40)},
             {"mousemove", std::to_string(x + 100), std::to_string(y + 60)},
             {"mouseup", "1"},
         }) {
        std::vector<std::string> command{"xdotool"};
        command.insert(command.end(), action.begin(), action.end());
        ASSERT_EQ(run(command), 0);
        std::this_thread::sleep_for(300ms);
    }
    std::optional<WindowFrame> moved;
    EXPECT_TRUE(waitUntil(
        [&] {
            moved = watcher->geometry(panel);
            return moved && moved->x - start->x == 100 && moved->y - start->y == 60;
        },
        5s))
        << "the panel is at " << (moved ? moved->x : -1) << "," << (moved ? moved->y : -1)
        << ", was at " << start->x << "," << start->y;
    ASSERT_EQ(watcher->viewableWindows(), std::vector<xcb_window_t>{panel})
        << "the panel went during the drag";
    EXPECT_EQ(watcher->focus(), panel) << "the drag took the keyboard from the panel";
    terminateApplication();
}

// A copy in a hung application: with auto-fill off the program never asks it for anything, so
// the hot key still answers at once.
TEST_F(RoadXvfbTest, AHungClipboardOwnerIsNotAskedWithAutoFillOff) {
    disableAutoFill();
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_NO_FATAL_FAILURE(openPanelWithHotkey());
    press("ctrl+shift+e");
    ASSERT_NO_FATAL_FAILURE(waitForPanelGone("the hot key"));

    SilentClipboardOwner owner;
    ASSERT_TRUE(owner.takeClipboard());
    watcher->takeFocus();
    const auto pressed = std::chrono::steady_clock::now();
    ASSERT_NO_FATAL_FAILURE(summonAgain());
    // Far below the five seconds a wait for the owner's answer takes.
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, 3s);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(owner.requests(), 0) << "the program asked the owner for the clipboard";
    terminateApplication();
}

// With auto-fill on, the clipboard is only read for an empty draft.
TEST_F(RoadXvfbTest, AHungClipboardOwnerIsAskedOnlyToFillAnEmptyDraft) {
    ASSERT_NO_FATAL_FAILURE(typeTheDraftAndSwitchAway());

    SilentClipboardOwner owner;
    ASSERT_TRUE(owner.takeClipboard());
    const auto pressed = std::chrono::steady_clock::now();
    ASSERT_NO_FATAL_FAILURE(summonAgain());
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, 3s);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(owner.requests(), 0) << "the program asked the owner though the draft was not empty";

    // Emptied, the draft is filled from the next copy: only now is the owner asked.
    press("Escape");
    ASSERT_NO_FATAL_FAILURE(waitForPanelGone("Escape"));
    ASSERT_TRUE(owner.takeClipboard());
    press("ctrl+shift+e");
    EXPECT_TRUE(waitUntil([&] { return owner.requests() > 0; }, 10s))
        << "the program never asked for the clipboard to fill an empty draft";
    terminateApplication();
}

// A Wayland session's hot key belongs to the desktop portal (here there is no bus to reach one),
// even though the program itself runs on an X server.
TEST_F(RoadXvfbTest, AWaylandSessionGrabsNoKeyOnTheXServer) {
    ASSERT_NO_FATAL_FAILURE(launch({{"XDG_SESSION_TYPE", "wayland"}}));
    const fs::path socket = fs::path(std::getenv("XDG_RUNTIME_DIR")) / "quorvane.socket";
    ASSERT_TRUE(waitUntil([&] { return fs::exists(socket); }, 20s));
    // Past the start-up: the running copy answers a second launch with its panel.
    ASSERT_NO_FATAL_FAILURE(launchAgain());
    ASSERT_TRUE(waitUntil([&] { return !watcher->viewableWindows().empty(); }, 10s));
    ASSERT_NO_FATAL_FAILURE(launchAgain());
    ASSERT_NO_FATAL_FAILURE(waitForPanelGone("the third launch"));

    watcher->takeFocus();
    watcher->caughtCombination();
    press("ctrl+shift+e");
    EXPECT_TRUE(waitUntil([&] { return watcher->caughtCombination(); }, 5s))
        << "the hot key was grabbed on the X server";
    EXPECT_TRUE(watcher->viewableWindows().empty());
    terminateApplication();
}

// A runtime directory of 120 bytes is too long for a socket path; the copies meet all the same.
TEST_F(RoadXvfbTest, SecondLaunchWithALongRuntimeFolderTogglesThePanel) {
    runtimeDirectory = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/";
    runtimeDirectory +=
        std::string(runtimeDirectory.size() < 119 ? 120 - runtimeDirectory.size() : 1, 'r');
    fs::create_directories(runtimeDirectory);
    fs::permissions(runtimeDirectory, fs::perms::owner_all, fs::perm_options::replace);
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(waitUntil([&] { return listening(); }, 20s)) << "the first copy never listened";

    ASSERT_NO_FATAL_FAILURE(expectLaunchesToToggleThePanel());
    terminateApplication();
}

// An empty lock file, as an interrupted write leaves it, names no running copy.
TEST_F(RoadXvfbTest, EmptyLockFileDoesNotBlockTheLaunch) {
    std::ofstream(fs::path(runtime()) / "quorvane.lock").close();
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(waitUntil([&] { return listening() || !applicationRunning(); }, 20s));
    ASSERT_TRUE(applicationRunning()) << "the launch gave up on the empty lock";

    ASSERT_NO_FATAL_FAILURE(launchAgain());
    std::vector<xcb_window_t> shown;
    ASSERT_TRUE(waitUntil([&] { return !(shown = watcher->viewableWindows()).empty(); }, 10s))
        << "no panel after the second launch";
    EXPECT_TRUE(watcher->isPanel(shown.front()));
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
