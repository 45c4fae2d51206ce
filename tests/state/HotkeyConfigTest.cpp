#include "state/HotkeyConfig.h"

#include "state/AppShortcuts.h"
#include "state/VirtualKey.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using namespace ModifierFlag;

struct EventCase {
    const char* name;
    KeyEvent event;
    std::optional<HotkeyConfig> expected;
    const char* display;
};

class HotkeyFromEventTest : public testing::TestWithParam<EventCase> {};

TEST_P(HotkeyFromEventTest, RecordsCodeModifiersAndLabel) {
    const auto& row = GetParam();
    const auto config = HotkeyConfig::fromEvent(row.event);
    EXPECT_EQ(config, row.expected);
    if (config && row.expected) {
        EXPECT_EQ(config->displayString(), row.display);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Events, HotkeyFromEventTest,
    testing::Values(
        EventCase{"AllFourModifiers",
                  {40, control | option | shift | command, "k"},
                  HotkeyConfig{40, 0x1B00, "K"},
                  "⌃⌥⇧⌘K"},
        EventCase{"ShiftAloneIsEnough", {0, shift, "a"}, HotkeyConfig{0, 0x0200, "A"}, "⇧A"},
        EventCase{"NoModifierIsRejected", {0, 0, "a"}, std::nullopt, ""},
        EventCase{"CapsLockFunctionAndKeypadDoNotCount",
                  {0, capsLock | function | numericPad, "a"},
                  std::nullopt,
                  ""},
        EventCase{"CapsLockBesideCommandIsIgnored",
                  {14, command | capsLock, "e"},
                  HotkeyConfig{14, 0x0100, "E"},
                  "⌘E"},
        EventCase{"Space", {49, command, " "}, HotkeyConfig{49, 0x0100, "Space"}, "⌘Space"},
        EventCase{"KeypadEnter", {76, command, "\x03"}, HotkeyConfig{76, 0x0100, "↩"}, "⌘↩"},
        EventCase{"Escape", {53, option, "\x1B"}, HotkeyConfig{53, 0x0800, "⎋"}, "⌥⎋"},
        EventCase{"PunctuationIsNamedByCode",
                  {41, command, ";"},
                  HotkeyConfig{41, 0x0100, "Key 41"},
                  "⌘Key 41"},
        EventCase{"Digit", {18, command, "1"}, HotkeyConfig{18, 0x0100, "1"}, "⌘1"},
        EventCase{"FunctionKeyCharacterIsNamedByCode",
                  {96, command, "\uF708"},
                  HotkeyConfig{96, 0x0100, "Key 96"},
                  "⌘Key 96"},
        EventCase{"NoCharacters",
                  {10, control, std::nullopt},
                  HotkeyConfig{10, 0x1000, "Key 10"},
                  "⌃Key 10"},
        EventCase{"MalformedCharacters",
                  {10, control, "\xFF"},
                  HotkeyConfig{10, 0x1000, "Key 10"},
                  "⌃Key 10"},
        // Upper-casing and the letter test cover every script, and only the first character
        // becomes the label.
        EventCase{"NonASCIILetter", {33, option, "é"}, HotkeyConfig{33, 0x0800, "É"}, "⌥É"},
        EventCase{"CyrillicLetter", {2, shift, "в"}, HotkeyConfig{2, 0x0200, "В"}, "⇧В"},
        EventCase{"OnlyFirstCharacter", {3, command, "ab"}, HotkeyConfig{3, 0x0100, "A"}, "⌘A"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HotkeyConfigTest, DisplayOrderIsFixedAndIgnoresUnknownBits) {
    EXPECT_EQ((HotkeyConfig{14, 0x0300, "E"}.displayString()), "⇧⌘E");
    EXPECT_EQ((HotkeyConfig{35, 0x1800, "P"}.displayString()), "⌃⌥P");
    EXPECT_EQ((HotkeyConfig{35, 0x1800 | 0x0001 | 0x0400, "P"}.displayString()), "⌃⌥P");
    EXPECT_EQ((HotkeyConfig{35, 0, "P"}.displayString()), "P");
}

struct ShortcutCase {
    const char* name;
    HotkeyConfig config;
    std::optional<KeyboardShortcut> expected;
};

class HotkeyShortcutTest : public testing::TestWithParam<ShortcutCase> {};

TEST_P(HotkeyShortcutTest, ConvertsToKeyEquivalentAndEventModifiers) {
    EXPECT_EQ(GetParam().config.keyboardShortcut(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shortcuts, HotkeyShortcutTest,
    testing::Values(
        ShortcutCase{"BuiltInBackToDraft", AppShortcuts::builtIn().backToDraft,
                     KeyboardShortcut{{U'['}, command}},
        ShortcutCase{"BuiltInSettings", AppShortcuts::builtIn().settings,
                     KeyboardShortcut{{U','}, command}},
        ShortcutCase{"BuiltInEnhance", AppShortcuts::builtIn().enhance,
                     KeyboardShortcut{KeyEquivalent::returnKey, command}},
        ShortcutCase{"Digit", {18, 0x0100, "1"}, KeyboardShortcut{{U'1'}, command}},
        ShortcutCase{
            "LettersAreLowerCase", {14, 0x0300, "E"}, KeyboardShortcut{{U'e'}, shift | command}},
        ShortcutCase{"AllModifiersUnknownBitsDropped",
                     {40, 0x1B00 | 0x0001, "K"},
                     KeyboardShortcut{{U'k'}, control | option | shift | command}},
        ShortcutCase{"KeypadEnterIsReturn",
                     {76, 0x0100, "↩"},
                     KeyboardShortcut{KeyEquivalent::returnKey, command}},
        ShortcutCase{"Space", {49, 0x1800, "Space"}, KeyboardShortcut{{U' '}, control | option}},
        ShortcutCase{
            "Backspace", {51, 0x0100, "Key 51"}, KeyboardShortcut{KeyEquivalent::delete_, command}},
        ShortcutCase{"ForwardDeleteFiresOnTheKey",
                     {117, 0x0100, "Key 117"},
                     KeyboardShortcut{KeyEquivalent::deleteForward, command}},
        ShortcutCase{
            "UpArrow", {126, 0x0100, "↑"}, KeyboardShortcut{KeyEquivalent::upArrow, command}},
        ShortcutCase{"PunctuationWithoutEquivalent", {41, 0x0100, "Key 41"}, std::nullopt},
        ShortcutCase{"CodeTenHasNone", {10, 0x0100, "Key 10"}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HotkeyConfigTest, EncodesTheThreeMembersInOrder) {
    EXPECT_EQ(HotkeyConfig::defaultHotkey().encoded(),
              R"({"keyCode":14,"carbonModifiers":768,"keyLabel":"E"})");
    const HotkeyConfig glyph{36, 0x1B00, "↩"};
    EXPECT_EQ(HotkeyConfig::decoded(*glyph.encoded()), glyph);
}

TEST(HotkeyConfigTest, LabelThatIsNotUTF8CannotBeEncoded) {
    EXPECT_EQ((HotkeyConfig{14, 0x0100, "\xFF"}.encoded()), std::nullopt);
}

TEST(HotkeyConfigTest, DecodingNeedsAllThreeMembersOfTheRightType) {
    EXPECT_EQ(
        HotkeyConfig::decoded(R"({"keyCode":4294967295,"carbonModifiers":0,"keyLabel":"","x":1})"),
        (HotkeyConfig{4294967295U, 0, ""}));
    for (const char* json : {
             R"({"keyCode":14,"carbonModifiers":768})",
             R"({"carbonModifiers":768,"keyLabel":"E"})",
             R"({"keyCode":"14","carbonModifiers":768,"keyLabel":"E"})",
             R"({"keyCode":14.5,"carbonModifiers":768,"keyLabel":"E"})",
             R"({"keyCode":-1,"carbonModifiers":768,"keyLabel":"E"})",
             R"({"keyCode":4294967296,"carbonModifiers":768,"keyLabel":"E"})",
             R"({"keyCode":14,"carbonModifiers":768,"keyLabel":null})",
             R"([14,768,"E"])",
             R"({"keyCode":14,"carbonModifiers":768,"keyLabel":"E"} trailing)",
             "",
         }) {
        EXPECT_EQ(HotkeyConfig::decoded(json), std::nullopt) << json;
    }
}

} // namespace
} // namespace quorvane
