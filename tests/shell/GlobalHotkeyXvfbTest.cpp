// The global hot key against a real X server: a private Xvfb started by this process, Qt on the
// xcb platform, key presses sent through XTEST with xdotool (which goes through grabs the way a
// keyboard does), and a second X client of the test's own to compete for combinations.
#include "engine/Log.h"
#include "harness/ChildProcess.h"
#include "harness/XvfbDisplay.h"
#include "platform/hotkey/KeySymbolTable.h"
#include "platform/hotkey/X11HotkeyEventManager.h"
#include "platform/hotkey/X11KeyboardMapping.h"
#include "platform/task/QtMainQueue.h"
#include "shell/GlobalHotkey.h"
#include "support/QtWaitUntil.h"
#include "support/TemporaryHome.h"

#include <X11/keysym.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <signal.h>
#include <spdlog/sinks/null_sink.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QElapsedTimer>
#include <QGuiApplication>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace quorvane {
namespace {

using test::run;

std::string skipReason;

// Another application on the same display.
class OtherClient {
public:
    OtherClient()
        : connection_(xcb_connect(nullptr, nullptr))
        , root_(xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root) {}
    ~OtherClient() { xcb_disconnect(connection_); }

    // Whether the server granted the grab; BadAccess means someone else holds it.
    bool grab(std::uint8_t keycode, std::uint16_t modifiers) {
        auto* error = xcb_request_check(
            connection_, xcb_grab_key_checked(connection_, 0, root_, modifiers, keycode,
                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }

    void ungrabAll() {
        xcb_ungrab_key(connection_, XCB_GRAB_ANY, root_, XCB_MOD_MASK_ANY);
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    bool receivedKeyPress() {
        while (auto* event = xcb_poll_for_event(connection_)) {
            const bool press = (event->response_type & 0x7f) == XCB_KEY_PRESS;
            std::free(event);
            if (press) {
                return true;
            }
        }
        return false;
    }

    // Moves the keysyms of one key onto a key that has none, as a layout switch would.
    void moveKey(std::uint8_t from, std::uint8_t to) {
        const auto* setup = xcb_get_setup(connection_);
        const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        auto* reply = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        const auto width = reply->keysyms_per_keycode;
        const auto* keysyms = xcb_get_keyboard_mapping_keysyms(reply);
        std::vector<xcb_keysym_t> moved(keysyms + (from - setup->min_keycode) * width,
                                        keysyms + (from - setup->min_keycode + 1) * width);
        std::free(reply);
        const std::vector<xcb_keysym_t> empty(width, 0);
        xcb_change_keyboard_mapping(connection_, 1, to, width, moved.data());
        xcb_change_keyboard_mapping(connection_, 1, from, width, empty.data());
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    // A key code with no keysyms at all.
    std::uint8_t unusedKeycode() {
        const auto* setup = xcb_get_setup(connection_);
        const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        auto* reply = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        const auto width = reply->keysyms_per_keycode;
        const auto* keysyms = xcb_get_keyboard_mapping_keysyms(reply);
        std::uint8_t found = 0;
        for (int key = count - 1; key > 0 && found == 0; --key) {
            bool blank = true;
            for (int level = 0; level < width; ++level) {
                blank = blank && keysyms[key * width + level] == 0;
            }
            if (blank) {
                found = static_cast<std::uint8_t>(setup->min_keycode + key);
            }
        }
        std::free(reply);
        return found;
    }

    std::uint8_t keycode(std::uint32_t keysym) {
        const auto* setup = xcb_get_setup(connection_);
        const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        auto* reply = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        const auto* keysyms = xcb_get_keyboard_mapping_keysyms(reply);
        const X11KeyboardMapping mapping(
            setup->min_keycode, reply->keysyms_per_keycode,
            {keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(reply)});
        std::free(reply);
        return mapping.keycode(keysym).value_or(0);
    }

private:
    xcb_connection_t* connection_;
    xcb_window_t root_;
};

constexpr std::uint32_t keyE = 14;
constexpr std::uint32_t keyD = 2;
constexpr std::uint32_t keyP = 35;
constexpr std::uint32_t commandShift = 0x0300;
constexpr std::uint16_t controlShift = KeySymbolTable::x11Control | KeySymbolTable::x11Shift;

class GlobalHotkeyXvfbTest : public testing::Test {
protected:
    void SetUp() override {
        if (!skipReason.empty()) {
            GTEST_SKIP() << skipReason;
        }
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        ASSERT_NE(x11, nullptr);
        manager = std::make_unique<X11HotkeyEventManager>(x11->connection());
        queue = std::make_unique<QtMainQueue>();
        hotkey = std::make_unique<GlobalHotkey>(*manager, *queue, [this] { ++presses; });
    }

    void TearDown() override {
        if (!skipReason.empty()) {
            return;
        }
        hotkey.reset();
        manager.reset();
        settle();
    }

    static void press(const std::string& keys) { ASSERT_EQ(run({"xdotool", "key", keys}), 0); }

    // Events from the X server and the posted presses, until the condition holds; the bound is
    // only there so that a broken build fails instead of hanging.
    static testing::AssertionResult waitFor(const std::function<bool()>& done) {
        return test::qtWaitUntil(done);
    }

    // Long enough for a stray press that would arrive to arrive; only ever used to make sure
    // something does NOT happen.
    static void settle() {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 300) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }

    std::unique_ptr<X11HotkeyEventManager> manager;
    std::unique_ptr<QtMainQueue> queue;
    std::unique_ptr<GlobalHotkey> hotkey;
    int presses = 0;
};

TEST_F(GlobalHotkeyXvfbTest, FiresOncePerPressWhateverTheLocks) {
    hotkey->registerHotkey(keyE, commandShift);

    press("ctrl+shift+e");
    ASSERT_TRUE(waitFor([&] { return presses == 1; }));
    press("Num_Lock");
    press("ctrl+shift+e");
    ASSERT_TRUE(waitFor([&] { return presses == 2; }));
    press("Caps_Lock");
    press("ctrl+shift+e");
    ASSERT_TRUE(waitFor([&] { return presses == 3; }));
    press("Num_Lock");
    press("ctrl+shift+e");
    ASSERT_TRUE(waitFor([&] { return presses == 4; }));
    press("Caps_Lock");

    // Other modifiers, or none, are other combinations.
    press("e");
    press("ctrl+e");
    press("ctrl+shift+alt+e");
    settle();
    EXPECT_EQ(presses, 4);
}

TEST_F(GlobalHotkeyXvfbTest, OptionAndControlAreAltAndSuper) {
    hotkey->registerHotkey(keyP, 0x1800);
    press("super+alt+p");
    EXPECT_TRUE(waitFor([&] { return presses == 1; }));
}

TEST_F(GlobalHotkeyXvfbTest, AHeldKeyFiresOnceDespiteAutoRepeat) {
    hotkey->registerHotkey(keyE, commandShift);
    ASSERT_EQ(run({"xdotool", "keydown", "ctrl+shift+e", "sleep", "1.5", "keyup", "e", "keyup",
                   "ctrl+shift"}),
              0);
    ASSERT_TRUE(waitFor([&] { return presses >= 1; }));
    settle();
    EXPECT_EQ(presses, 1);

    press("ctrl+shift+e");
    EXPECT_TRUE(waitFor([&] { return presses == 2; }));
}

TEST_F(GlobalHotkeyXvfbTest, RegisteringASecondCombinationReleasesTheFirst) {
    hotkey->registerHotkey(keyE, commandShift);
    hotkey->registerHotkey(keyD, commandShift);

    press("ctrl+shift+e");
    press("ctrl+shift+d");
    ASSERT_TRUE(waitFor([&] { return presses >= 1; }));
    settle();
    EXPECT_EQ(presses, 1);

    // Every lock variant of the first combination is free for others again.
    OtherClient other;
    const auto e = other.keycode(XK_e);
    for (const std::uint16_t locks : {0, 0x10, 0x02, 0x12}) {
        EXPECT_TRUE(other.grab(e, controlShift | locks)) << locks;
    }
    EXPECT_FALSE(other.grab(other.keycode(XK_d), controlShift));
}

TEST_F(GlobalHotkeyXvfbTest, UnregisterStopsThePressesAndFreesTheCombination) {
    hotkey->registerHotkey(keyE, commandShift);
    press("ctrl+shift+e");
    ASSERT_TRUE(waitFor([&] { return presses == 1; }));

    hotkey->unregister();
    OtherClient other;
    EXPECT_TRUE(other.grab(other.keycode(XK_e), controlShift));
    other.ungrabAll();
    press("ctrl+shift+e");
    settle();
    EXPECT_EQ(presses, 1);
}

TEST_F(GlobalHotkeyXvfbTest, ANewActionTakesEffectWithoutRegisteringAgain) {
    hotkey->registerHotkey(keyE, commandShift);
    press("ctrl+shift+e");
    ASSERT_TRUE(waitFor([&] { return presses == 1; }));

    int replacement = 0;
    hotkey->setOnPressed([&] { ++replacement; });
    press("ctrl+shift+e");
    ASSERT_TRUE(waitFor([&] { return replacement == 1; }));
    EXPECT_EQ(presses, 1);
}

TEST_F(GlobalHotkeyXvfbTest, FollowsTheKeyToItsNewKeyCodeWhenTheMappingChanges) {
    hotkey->registerHotkey(keyE, commandShift);
    OtherClient other;
    const auto oldE = other.keycode(XK_e);
    const auto newE = other.unusedKeycode();
    ASSERT_NE(newE, 0);
    other.moveKey(oldE, newE);
    ASSERT_EQ(other.keycode(XK_e), newE);

    // Once the application has seen the change, the grab sits on the new key and the old one is
    // free.
    ASSERT_TRUE(waitFor([&] { return other.grab(oldE, controlShift); }));
    EXPECT_FALSE(other.grab(newE, controlShift));
    press("ctrl+shift+e");
    EXPECT_TRUE(waitFor([&] { return presses == 1; }));
    other.ungrabAll();
    other.moveKey(newE, oldE);
}

TEST_F(GlobalHotkeyXvfbTest, ACombinationHeldByAnotherClientFailsAndTheApplicationGoesOn) {
    OtherClient other;
    const auto e = other.keycode(XK_e);
    ASSERT_TRUE(other.grab(e, controlShift));

    std::optional<EventHotKeyRef> ref;
    EXPECT_EQ(manager->registerEventHotKey(keyE, commandShift, {1, 2}, 0, ref),
              HotkeyStatus::hotKeyExists);
    EXPECT_FALSE(ref);
    // The variants that were granted before the refusal are not kept.
    EXPECT_TRUE(other.grab(e, controlShift | KeySymbolTable::x11Mod2));

    hotkey->registerHotkey(keyE, commandShift);
    press("ctrl+shift+e");
    ASSERT_TRUE(waitFor([&] { return other.receivedKeyPress(); }));
    settle();
    EXPECT_EQ(presses, 0);

    hotkey->registerHotkey(keyD, commandShift);
    press("ctrl+shift+d");
    EXPECT_TRUE(waitFor([&] { return presses == 1; }));
}

} // namespace
} // namespace quorvane

int main(int argc, char** argv) {
    testing::InitGoogleMock(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    quorvane::test::TemporaryHome home;
    quorvane::Log::redirect(std::make_shared<spdlog::sinks::null_sink_mt>());

    quorvane::test::XvfbDisplay display;
    quorvane::skipReason = display.startWithXdotool();
    if (!quorvane::skipReason.empty()) {
        return RUN_ALL_TESTS();
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
