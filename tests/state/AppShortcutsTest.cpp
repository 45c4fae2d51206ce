#include "state/AppShortcuts.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

// Six combinations that differ from each other and from the built-in ones.
AppShortcuts distinctShortcuts() {
    AppShortcuts shortcuts;
    std::uint32_t code = 100;
    for (const auto action : allCases<AppShortcutAction>()) {
        shortcuts.shortcut(action) = {code, 0x0800, "Key " + std::to_string(code)};
        ++code;
    }
    return shortcuts;
}

TEST(AppShortcutsTest, BuiltInShortcutsAreCommandCombinations) {
    const std::vector<std::pair<AppShortcutAction, const char*>> expected{
        {AppShortcutAction::enhance, "⌘↩"},     {AppShortcutAction::regenerate, "⌘R"},
        {AppShortcutAction::backToDraft, "⌘["}, {AppShortcutAction::clear, "⌘K"},
        {AppShortcutAction::history, "⌘H"},     {AppShortcutAction::settings, "⌘,"},
    };
    const auto builtIn = AppShortcuts::builtIn();
    for (const auto& [action, display] : expected) {
        EXPECT_EQ(builtIn.shortcut(action).displayString(), display) << rawValue(action);
    }
    EXPECT_EQ(builtIn.history.keyCode, 4U);
    EXPECT_EQ(builtIn.clear.keyCode, 40U);
}

TEST(AppShortcutsTest, EachActionAddressesItsOwnField) {
    const auto shortcuts = distinctShortcuts();
    EXPECT_EQ(shortcuts.enhance.keyCode, 100U);
    EXPECT_EQ(shortcuts.regenerate.keyCode, 101U);
    EXPECT_EQ(shortcuts.backToDraft.keyCode, 102U);
    EXPECT_EQ(shortcuts.clear.keyCode, 103U);
    EXPECT_EQ(shortcuts.history.keyCode, 104U);
    EXPECT_EQ(shortcuts.settings.keyCode, 105U);
}

TEST(AppShortcutsTest, MembersAreNamedAfterTheFields) {
    const auto member = [](int code) {
        return R"({"keyCode":)" + std::to_string(code) +
               R"(,"carbonModifiers":2048,"keyLabel":"Key )" + std::to_string(code) + R"("})";
    };
    const std::string json = R"({"settings":)" + member(105) + R"(,"history":)" + member(104) +
                             R"(,"clear":)" + member(103) + R"(,"backToDraft":)" + member(102) +
                             R"(,"regenerate":)" + member(101) + R"(,"enhance":)" + member(100) +
                             "}";
    EXPECT_EQ(AppShortcuts::decoded(json), distinctShortcuts());
    EXPECT_EQ(AppShortcuts::decoded(*distinctShortcuts().encoded()), distinctShortcuts());
}

TEST(AppShortcutsTest, OneIncompleteActionRejectsTheWholeValue) {
    auto json = *AppShortcuts::builtIn().encoded();
    const auto withoutSettings = json.substr(0, json.find(R"(,"settings")")) + "}";
    const auto labelRemoved = std::string(json).replace(json.find(R"(,"keyLabel":"R")"), 15, "");
    const auto displayLabelAsName =
        std::string(json).replace(json.find(R"("backToDraft")"), 13, R"("BackToDraft")");
    for (const auto& broken : {withoutSettings, labelRemoved, displayLabelAsName}) {
        EXPECT_EQ(AppShortcuts::decoded(broken), std::nullopt) << broken;
    }
}

TEST(AppShortcutsTest, LabelThatIsNotUTF8CannotBeEncoded) {
    auto shortcuts = AppShortcuts::builtIn();
    shortcuts.history.keyLabel = "\xC3";
    EXPECT_EQ(shortcuts.encoded(), std::nullopt);
}

} // namespace
} // namespace quorvane
