#include "ui/windows/BehaviorSection.h"

#include "support/ViewTestState.h"
#include "ui/kit/ButtonStyle.h"
#include "ui/windows/SettingsRow.h"
#include "ui/windows/ToggleSwitch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

namespace quorvane {
namespace {

using test::ViewTestState;
namespace fs = std::filesystem;

class BehaviorSectionTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    ViewTestState fixture_;
};

// Each switch writes its setting and re-reads it.
TEST_F(BehaviorSectionTest, TogglesWriteTheirSettings) {
    struct Case {
        const char* label;
        std::function<ToggleSwitch*(BehaviorSection&)> toggle;
        std::function<bool(AppState&)> read;
        std::function<void(AppState&, bool)> write;
    };
    const Case cases[] = {
        {"Global hotkey (summon from any app)", &BehaviorSection::globalHotkeyToggle,
         &AppState::enableGlobalHotkey, &AppState::setEnableGlobalHotkey},
        {"Auto-fill draft from clipboard", &BehaviorSection::autoPrefillToggle,
         &AppState::autoPrefillFromClipboard, &AppState::setAutoPrefillFromClipboard},
        {"Auto-copy result to clipboard", &BehaviorSection::autoCopyToggle,
         &AppState::autoCopyOutput, &AppState::setAutoCopyOutput},
    };
    BehaviorSection section(state());
    section.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ToggleSwitch* toggle = c.toggle(section);
        EXPECT_EQ(toggle->accessibleName().toStdString(), c.label);
        const bool before = c.read(state());
        EXPECT_EQ(toggle->isChecked(), before);
        click(toggle);
        EXPECT_EQ(c.read(state()), !before);
        click(toggle);
        EXPECT_EQ(c.read(state()), before);
        c.write(state(), !before);
        section.refresh();
        EXPECT_EQ(toggle->isChecked(), !before);
    }
}

TEST_F(BehaviorSectionTest, HotkeyRowFollowsTheSwitchAndRecording) {
    std::vector<bool> told;
    state().onGlobalHotkeyChanged = [&](bool enabled) { told.push_back(enabled); };
    state().setEnableGlobalHotkey(true);
    told.clear();
    BehaviorSection section(state());
    section.show();
    EXPECT_TRUE(section.hotkeyRow()->isVisibleTo(&section));
    EXPECT_EQ(section.hotkeyLabel()->text(), "Ctrl+Shift+E");
    EXPECT_EQ(section.changeButton()->text().toStdString(), "Change");
    // A small control beside the combination.
    EXPECT_TRUE(section.changeButton()->testAttribute(Qt::WA_MacSmallSize));
    EXPECT_EQ(section.changeButton()->font().pixelSize(), ButtonStyle::smallLabelSize);

    click(section.changeButton());
    EXPECT_TRUE(section.isRecordingHotkey());
    EXPECT_EQ(section.changeButton()->text().toStdString(), "Press keys…");
    click(section.changeButton());
    EXPECT_FALSE(section.isRecordingHotkey());

    click(section.changeButton());
    click(section.globalHotkeyToggle());
    section.refresh();
    EXPECT_FALSE(section.hotkeyRow()->isVisibleTo(&section));
    EXPECT_FALSE(section.isRecordingHotkey()) << "a hidden row must not keep recording";
    EXPECT_EQ(told, std::vector<bool>{false});
    click(section.globalHotkeyToggle());
    section.refresh();
    EXPECT_TRUE(section.hotkeyRow()->isVisibleTo(&section));
}

TEST_F(BehaviorSectionTest, SuggestionsSetTheHotkey) {
    EXPECT_EQ(BehaviorSection::suggestionTitle("Alt+Space", ""), "Alt+Space");
    EXPECT_EQ(BehaviorSection::suggestionTitle("Meta+Alt+P", "rarely taken"),
              "Meta+Alt+P  ·  rarely taken");

    BehaviorSection section(state());
    const auto& suggestions = state().hotkeySuggestions();
    const auto actions = section.suggestionsMenu()->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(suggestions.size()));
    ASSERT_FALSE(suggestions.empty());
    EXPECT_EQ(actions.front()->text(), "Ctrl+Shift+E  ·  default");
    const auto& last = suggestions.back();
    EXPECT_EQ(actions.back()->text(), "Meta+Alt+Space");
    actions.back()->trigger();
    EXPECT_EQ(state().hotkey(), last.config);
    section.refresh();
    EXPECT_EQ(section.hotkeyLabel()->text(), "Meta+Alt+Space");
}

// The switch shows what the login item really is after each change. A
// registration the system refuses leaves it off. Root ignores permissions,
// so the read-only directory case only runs for other users; a file where
// the directory should be stops everyone.
TEST_F(BehaviorSectionTest, LaunchAtLoginFallsBackToTheRealState) {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(configHome, nullptr) << "tests run with a private config directory";
    const fs::path config = fs::path(configHome);
    const fs::path autostart = config / "autostart";
    BehaviorSection section(state());
    section.show();

    click(section.launchAtLoginToggle());
    EXPECT_TRUE(state().launchAtLogin());
    EXPECT_TRUE(section.launchAtLoginToggle()->isChecked());
    EXPECT_TRUE(fs::exists(autostart / "quorvane.desktop"));
    click(section.launchAtLoginToggle());
    EXPECT_FALSE(state().launchAtLogin());
    EXPECT_FALSE(fs::exists(autostart / "quorvane.desktop"));

    struct Blocker {
        const char* name;
        bool needsPermissions;
        std::function<void()> block;
        std::function<void()> unblock;
    };
    const Blocker blockers[] = {
        {"read-only directory", true,
         [&] {
             fs::create_directories(autostart);
             fs::permissions(autostart, fs::perms::owner_read | fs::perms::owner_exec);
         },
         [&] { fs::permissions(autostart, fs::perms::owner_all); }},
        {"file in place of the directory", false,
         [&] {
             fs::remove_all(autostart);
             std::ofstream(autostart) << "not a directory";
         },
         [&] { fs::remove(autostart); }},
    };
    for (const auto& blocker : blockers) {
        SCOPED_TRACE(blocker.name);
        if (blocker.needsPermissions && geteuid() == 0) {
            continue;
        }
        blocker.block();
        click(section.launchAtLoginToggle());
        EXPECT_FALSE(state().launchAtLogin());
        EXPECT_FALSE(section.launchAtLoginToggle()->isChecked());
        blocker.unblock();
    }
}

} // namespace
} // namespace quorvane
