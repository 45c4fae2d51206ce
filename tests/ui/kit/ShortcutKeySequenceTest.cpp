#include "ui/kit/ShortcutKeySequence.h"

#include "support/ViewTestState.h"
#include "ui/panel/EditorCard.h"
#include "ui/panel/EditorCornerButton.h"
#include "ui/panel/PopoverView.h"
#include "ui/windows/ShortcutsSection.h"

#include <gtest/gtest.h>

#include <QLabel>

#include <string>

namespace quorvane {
namespace {

using test::ViewTestState;

// What a person reads for a combination, wherever it is shown: the settings row and the tooltip
// of the action it is recorded on say the same.
TEST(ShortcutKeySequenceTest, ShowsEachCombinationAsThisDesktopWritesIt) {
    struct Case {
        const char* name;
        HotkeyConfig config;
        const char* shown;
    };
    const Case cases[] = {
        {"the default hot key", HotkeyConfig::defaultHotkey(), "Ctrl+Shift+E"},
        {"command alone is Ctrl", {15, 0x0100, "R"}, "Ctrl+R"},
        {"shift alone", {0, 0x0200, "A"}, "Shift+A"},
        {"option alone is Alt", {2, 0x0800, "D"}, "Alt+D"},
        {"control alone is Super, which Qt calls Meta", {35, 0x1000, "P"}, "Meta+P"},
        {"all four in the desktop's order", {40, 0x1B00, "K"}, "Meta+Ctrl+Alt+Shift+K"},
        {"Return", {36, 0x0100, "↩"}, "Ctrl+Return"},
        {"keypad Enter", {76, 0x0100, "↩"}, "Ctrl+Enter"},
        {"forward delete", {117, 0x0100, "Key 117"}, "Ctrl+Del"},
        {"Backspace", {51, 0x0100, "Key 51"}, "Ctrl+Backspace"},
        {"comma", {43, 0x0100, ","}, "Ctrl+,"},
        {"punctuation labelled by its key code", {41, 0x0100, "Key 41"}, "Ctrl+;"},
        {"a function key", {96, 0x0200, "Key 96"}, "Shift+F5"},
        {"Space", {49, 0x1800, "Space"}, "Meta+Alt+Space"},
        {"a key without an X key keeps its label", {10, 0x0100, "Key 10"}, "Ctrl+Key 10"},
    };
    ViewTestState fixture;
    AppState& state = fixture.state();
    PopoverView panel(state, [] {});
    ShortcutsSection section(state);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString shown = QString::fromUtf8(c.shown);
        EXPECT_EQ(ShortcutKeySequence::text(c.config), shown);

        AppShortcuts shortcuts;
        shortcuts.regenerate = c.config;
        state.appShortcuts().setShortcuts(shortcuts);
        panel.refreshNow();
        section.refresh();
        EXPECT_EQ(panel.findChild<EditorCard*>()->regenerateButton()->toolTip(),
                  "Regenerate (" + shown + ")");
        EXPECT_EQ(section.comboLabel(AppShortcutAction::regenerate)->text(), shown);
    }
}

} // namespace
} // namespace quorvane
