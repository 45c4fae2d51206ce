#include "ui/windows/ShortcutsSection.h"

#include "state/AppShortcutStore.h"
#include "support/ViewTestState.h"
#include "ui/windows/HotkeyRecorder.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsRow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace quorvane {
namespace {

using test::ViewTestState;

class ShortcutsSectionTest : public ::testing::Test {
protected:
    AppState& state() { return fixture.state(); }

    void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(target, &event);
    }

    ViewTestState fixture;
};

TEST_F(ShortcutsSectionTest, ListsEveryActionByItsRawValue) {
    ShortcutsSection section(state());
    EXPECT_EQ(section.group()->headerLabel()->text(), "Keyboard Shortcuts");
    const auto rows = section.group()->findChildren<SettingsRow*>();
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(rows[2]->label()->text(), "BackToDraft");
    EXPECT_EQ(section.comboLabel(AppShortcutAction::enhance)->text(), "Ctrl+Return");
    EXPECT_EQ(section.comboLabel(AppShortcutAction::settings)->text(), "Ctrl+,");
}

TEST_F(ShortcutsSectionTest, RecordingMovesBetweenRowsAndStopsOnASecondPress) {
    ShortcutsSection section(state());
    QPushButton* clear = section.changeButton(AppShortcutAction::clear);
    QPushButton* history = section.changeButton(AppShortcutAction::history);

    clear->click();
    EXPECT_EQ(section.recordingShortcut(), AppShortcutAction::clear);
    EXPECT_EQ(clear->text(), "Press keys…");

    history->click();
    EXPECT_EQ(section.recordingShortcut(), AppShortcutAction::history);
    EXPECT_EQ(clear->text(), "Change");
    EXPECT_EQ(history->text(), "Press keys…");
    EXPECT_FALSE(section.recorder(AppShortcutAction::clear)->isMonitoring());
    EXPECT_TRUE(section.recorder(AppShortcutAction::history)->isMonitoring());

    history->click();
    EXPECT_EQ(section.recordingShortcut(), std::nullopt);
    EXPECT_EQ(history->text(), "Change");
    EXPECT_FALSE(section.recorder(AppShortcutAction::history)->isMonitoring());
    EXPECT_EQ(state().appShortcuts().shortcuts(), AppShortcuts::builtIn());
}

TEST_F(ShortcutsSectionTest, ACaptureIsStoredEvenWhenAnotherShortcutUsesIt) {
    ShortcutsSection section(state());
    section.changeButton(AppShortcutAction::clear)->click();
    press(&section, Qt::Key_Return, Qt::ControlModifier);

    const HotkeyConfig enhance = AppShortcuts::builtIn().enhance;
    EXPECT_EQ(state().appShortcuts().shortcuts().clear, enhance);
    EXPECT_EQ(AppShortcutStore(fixture.defaults()).shortcuts().clear, enhance) << "saved at once";
    EXPECT_EQ(section.comboLabel(AppShortcutAction::clear)->text(), "Ctrl+Return");
    EXPECT_EQ(section.recordingShortcut(), std::nullopt);
    EXPECT_EQ(section.changeButton(AppShortcutAction::clear)->text(), "Change");
}

TEST_F(ShortcutsSectionTest, EscapeEndsRecordingWithoutAChange) {
    ShortcutsSection section(state());
    for (const auto modifiers :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        section.changeButton(AppShortcutAction::regenerate)->click();
        press(&section, Qt::Key_Escape, modifiers);
        EXPECT_EQ(section.recordingShortcut(), std::nullopt);
        EXPECT_FALSE(section.recorder(AppShortcutAction::regenerate)->isMonitoring());
    }
    EXPECT_EQ(state().appShortcuts().shortcuts(), AppShortcuts::builtIn());
}

TEST_F(ShortcutsSectionTest, ClosingTheWindowEndsTheRecording) {
    QWidget window;
    auto* section = new ShortcutsSection(state(), &window);
    QLineEdit elsewhere;
    window.show();
    section->changeButton(AppShortcutAction::history)->click();
    ASSERT_TRUE(section->recorder(AppShortcutAction::history)->isMonitoring());

    window.hide();
    ViewTestState::processEvents();
    EXPECT_FALSE(section->recorder(AppShortcutAction::history)->isMonitoring());
    EXPECT_EQ(section->recordingShortcut(), std::nullopt);
    EXPECT_EQ(section->changeButton(AppShortcutAction::history)->text(), "Change");
    QTest::keyClick(&elsewhere, Qt::Key_A);
    EXPECT_EQ(elsewhere.text(), "a") << "keys typed in other windows are theirs again";
    EXPECT_EQ(state().appShortcuts().shortcuts(), AppShortcuts::builtIn());
}

} // namespace
} // namespace quorvane
