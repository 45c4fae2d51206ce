#include "shell/GlobalHotkey.h"

#include "platform/hotkey/HotkeyHandlerList.h"
#include "support/ManualMainQueue.h"

#include <gtest/gtest.h>

#include <map>

namespace quorvane {
namespace {

// An event manager that remembers registrations and lets the test press them.
class FakeEventManager final : public HotkeyEventManager {
public:
    struct Registration {
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        EventHotKeyID id;
    };

    HotkeyStatus refuseWith = HotkeyStatus::noError;
    std::map<std::uint64_t, Registration> registrations;
    int installedHandlers = 0;

    HotkeyStatus installEventHandler(EventHandlerProc handler, void* userData,
                                     std::optional<EventHandlerRef>& outRef) override {
        outRef = handlers_.add(handler, userData);
        ++installedHandlers;
        return HotkeyStatus::noError;
    }

    HotkeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                     EventHotKeyID id, std::uint32_t,
                                     std::optional<EventHotKeyRef>& outRef) override {
        if (refuseWith != HotkeyStatus::noError) {
            return refuseWith;
        }
        registrations[next_] = {keyCode, modifiers, id};
        outRef = EventHotKeyRef{next_++};
        return HotkeyStatus::noError;
    }

    HotkeyStatus unregisterEventHotKey(EventHotKeyRef ref) override {
        return registrations.erase(static_cast<std::uint64_t>(ref))
                   ? HotkeyStatus::noError
                   : HotkeyStatus::invalidReference;
    }

    HotkeyStatus removeEventHandler(EventHandlerRef ref) override {
        if (!handlers_.remove(ref)) {
            return HotkeyStatus::invalidReference;
        }
        --installedHandlers;
        return HotkeyStatus::noError;
    }

    // What the X server or portal would do: a press of a registered combination.
    void press(std::uint32_t keyCode, std::uint32_t modifiers) {
        for (const auto& [ref, r] : registrations) {
            if (r.keyCode == keyCode && r.modifiers == modifiers) {
                handlers_.dispatch({r.id});
                return;
            }
        }
    }

private:
    HotkeyHandlerList handlers_;
    std::uint64_t next_ = 1;
};

class GlobalHotkeyTest : public testing::Test {
protected:
    FakeEventManager manager;
    test::ManualMainQueue queue;
    int presses = 0;
};

TEST_F(GlobalHotkeyTest, RegistersUnderItsFixedIdentifierAndRunsOnPressedOnTheMainQueue) {
    GlobalHotkey hotkey(manager, queue, [this] { ++presses; });
    hotkey.registerHotkey(14, 0x0300);

    ASSERT_EQ(manager.registrations.size(), 1u);
    const auto& registration = manager.registrations.begin()->second;
    EXPECT_EQ(registration.keyCode, 14u);
    EXPECT_EQ(registration.modifiers, 0x0300u);
    EXPECT_EQ(registration.id, (EventHotKeyID{0x51525654, 1}));

    // A press only schedules; the busy main thread runs each one once it is free.
    manager.press(14, 0x0300);
    manager.press(14, 0x0300);
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(queue.drain(), 2);
    EXPECT_EQ(presses, 2);
}

TEST_F(GlobalHotkeyTest, RegisteringAgainLeavesOnlyTheNewCombination) {
    GlobalHotkey hotkey(manager, queue, [this] { ++presses; });
    hotkey.registerHotkey(14, 0x0300);
    hotkey.registerHotkey(35, 0x1800);

    EXPECT_EQ(manager.registrations.size(), 1u);
    EXPECT_EQ(manager.installedHandlers, 1);
    manager.press(14, 0x0300);
    queue.drain();
    EXPECT_EQ(presses, 0);
    manager.press(35, 0x1800);
    queue.drain();
    EXPECT_EQ(presses, 1);
}

TEST_F(GlobalHotkeyTest, UnregisterRemovesEverythingAndIsSafeWhenNothingIsRegistered) {
    GlobalHotkey hotkey(manager, queue, [this] { ++presses; });
    hotkey.unregister();
    EXPECT_FALSE(hotkey.isHandlerInstalled());

    hotkey.registerHotkey(14, 0x0300);
    hotkey.unregister();
    hotkey.unregister();
    EXPECT_TRUE(manager.registrations.empty());
    EXPECT_EQ(manager.installedHandlers, 0);
    manager.press(14, 0x0300);
    EXPECT_EQ(queue.drain(), 0);
}

TEST_F(GlobalHotkeyTest, OnPressedIsReadWhenThePressIsHandled) {
    GlobalHotkey hotkey(manager, queue);
    hotkey.registerHotkey(14, 0x0300);
    manager.press(14, 0x0300);
    queue.drain(); // the initial no-op

    hotkey.setOnPressed([this] { ++presses; });
    manager.press(14, 0x0300);
    queue.drain();
    EXPECT_EQ(presses, 1);

    // A press already scheduled sees the action set before it runs.
    manager.press(14, 0x0300);
    int later = 0;
    hotkey.setOnPressed([&] { ++later; });
    queue.drain();
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(later, 1);
}

TEST_F(GlobalHotkeyTest, AnActionMayReplaceItselfWhileRunning) {
    GlobalHotkey hotkey(manager, queue);
    int second = 0;
    hotkey.setOnPressed([&, marker = std::make_shared<int>(7)] {
        hotkey.setOnPressed([&] { ++second; });
        presses += *marker; // still alive although replaced
    });
    hotkey.registerHotkey(14, 0x0300);
    manager.press(14, 0x0300);
    manager.press(14, 0x0300);
    queue.drain();
    EXPECT_EQ(presses, 7);
    EXPECT_EQ(second, 1);
}

TEST_F(GlobalHotkeyTest, ARefusedCombinationDoesNotFireAndDoesNotThrow) {
    manager.refuseWith = HotkeyStatus::hotKeyExists;
    GlobalHotkey hotkey(manager, queue, [this] { ++presses; });
    EXPECT_NO_THROW(hotkey.registerHotkey(14, 0x0300));
    EXPECT_TRUE(manager.registrations.empty());

    // Once the combination is free again, registering works as usual.
    manager.refuseWith = HotkeyStatus::noError;
    hotkey.registerHotkey(14, 0x0300);
    manager.press(14, 0x0300);
    queue.drain();
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(manager.installedHandlers, 1);
}

TEST_F(GlobalHotkeyTest, DestructionUnregistersAndAPendingPressStillRunsSafely) {
    {
        GlobalHotkey hotkey(manager, queue, [this] { ++presses; });
        hotkey.registerHotkey(14, 0x0300);
        manager.press(14, 0x0300);
    }
    EXPECT_TRUE(manager.registrations.empty());
    EXPECT_EQ(manager.installedHandlers, 0);
    queue.drain();
    EXPECT_EQ(presses, 1);
}

} // namespace
} // namespace quorvane
