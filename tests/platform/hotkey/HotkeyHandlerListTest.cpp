#include "platform/hotkey/HotkeyHandlerList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane {
namespace {

struct Probe {
    std::vector<std::string>* calls;
    std::string name;
    HotkeyStatus answer = HotkeyStatus::noError;
    HotkeyHandlerList* list = nullptr;
    std::optional<EventHandlerRef> removeOnCall;
};

HotkeyStatus record(const HotKeyPressedEvent&, void* userData) {
    auto* probe = static_cast<Probe*>(userData);
    probe->calls->push_back(probe->name);
    if (probe->removeOnCall) {
        probe->list->remove(*probe->removeOnCall);
    }
    return probe->answer;
}

TEST(HotkeyHandlerList, NewestHandlerFirstUntilOneTakesTheEvent) {
    std::vector<std::string> calls;
    HotkeyHandlerList list;
    Probe first{&calls, "first", HotkeyStatus::noError, nullptr, {}};
    Probe declines{&calls, "declines", HotkeyStatus::eventNotHandled, nullptr, {}};
    Probe takes{&calls, "takes", HotkeyStatus::noError, nullptr, {}};
    list.add(&record, &first);
    list.add(&record, &takes);
    list.add(&record, &declines);

    list.dispatch({});
    EXPECT_EQ(calls, (std::vector<std::string>{"declines", "takes"}));
}

TEST(HotkeyHandlerList, AHandlerRemovedDuringDispatchIsNotCalled) {
    std::vector<std::string> calls;
    HotkeyHandlerList list;
    Probe older{&calls, "older", HotkeyStatus::noError, nullptr, {}};
    const auto olderRef = list.add(&record, &older);
    Probe remover{&calls, "remover", HotkeyStatus::eventNotHandled, &list, olderRef};
    const auto removerRef = list.add(&record, &remover);

    list.dispatch({});
    EXPECT_EQ(calls, std::vector<std::string>{"remover"});
    EXPECT_FALSE(list.remove(olderRef));
    EXPECT_TRUE(list.remove(removerRef));
    EXPECT_TRUE(list.empty());
}

} // namespace
} // namespace quorvane
