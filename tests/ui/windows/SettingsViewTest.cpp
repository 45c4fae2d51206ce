#include "ui/windows/SettingsView.h"

#include "HistoryItemFixture.h"
#include "shell/ApplicationWindow.h"
#include "support/ProgramWindows.h"
#include "support/Snapshots.h"
#include "support/ViewTestState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/windows/AppearanceSection.h"
#include "ui/windows/BehaviorSection.h"
#include "ui/windows/HistorySection.h"
#include "ui/windows/ProviderSection.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsHeader.h"
#include "ui/windows/ToggleSwitch.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include <cstdlib>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using test::historyItem;
using test::ViewTestState;

class SettingsViewTest : public testing::Test {
protected:
    SettingsViewTest() { unsetenv("THRIM_CUSTOM_API_KEY"); }

    AppState& state() { return fixture_.state(); }

    ViewTestState fixture_;
};

TEST_F(SettingsViewTest, FormFrameAndSectionOrder) {
    SettingsView view(state());
    EXPECT_EQ(view.minimumWidth(), 520);
    EXPECT_EQ(view.maximumWidth(), 520);
    EXPECT_EQ(view.minimumHeight(), 600);
    EXPECT_TRUE(view.header()->subtitle()->text().startsWith("Free · Privacy-first · v"));
    EXPECT_EQ(view.header()->title()->text().toStdString(), "Quorvane");

    // The sections the view hosts keep the form's order; the ones other
    // files provide slot in between without reordering these.
    std::vector<std::string> names;
    for (QWidget* section : view.sections()) {
        names.emplace_back(section->metaObject()->className());
    }
    const std::vector<std::string> order = {
        "quorvane::ProviderSection", "quorvane::PresetsSection",   "quorvane::AppearanceSection",
        "quorvane::BehaviorSection", "quorvane::ShortcutsSection", "quorvane::HistorySection",
        "quorvane::PrivacySection",  "quorvane::SupportSection",   "quorvane::AboutSection"};
    std::size_t next = 0;
    for (const auto& name : names) {
        while (next < order.size() && order[next] != name) {
            ++next;
        }
        ASSERT_LT(next, order.size()) << name << " is out of order";
    }
    EXPECT_EQ(names.front(), "quorvane::ProviderSection");
}

// Changes reach the sections on the next event-loop turn, once for a burst.
TEST_F(SettingsViewTest, SectionsReReadAfterChanges) {
    SettingsView view(state());
    view.show();
    ViewTestState::processEvents();
    ToggleSwitch* autoCopy = view.behaviorSection()->autoCopyToggle();
    const bool before = state().autoCopyOutput();

    state().setAutoCopyOutput(!before);
    state().setAutoPrefillFromClipboard(!state().autoPrefillFromClipboard());
    EXPECT_EQ(autoCopy->isChecked(), before) << "re-reads wait for the event loop";
    ViewTestState::processEvents();
    EXPECT_EQ(autoCopy->isChecked(), !before);
    EXPECT_EQ(view.behaviorSection()->autoPrefillToggle()->isChecked(),
              state().autoPrefillFromClipboard());

    // A key written outside any property still reaches the badge.
    fixture_.keys().setKey("", ProviderID::custom);
    state().sendObjectWillChange();
    ViewTestState::processEvents();
    EXPECT_EQ(view.providerSection()->badgeText().toStdString(), "No key");
}

// Without a theme installed there is no desktop preference to follow, and "auto" is light.
TEST_F(SettingsViewTest, AppearancePinsTheColorScheme) {
    SettingsView view(state());
    for (const auto& [appearance, scheme] : std::vector<std::pair<Appearance, ColorScheme::Scheme>>{
             {Appearance::light, ColorScheme::Scheme::light},
             {Appearance::dark, ColorScheme::Scheme::dark},
             {Appearance::auto_, ColorScheme::Scheme::light}}) {
        state().setAppearance(appearance);
        ViewTestState::processEvents();
        EXPECT_EQ(ColorScheme::forced(&view), scheme);
        EXPECT_EQ(ColorScheme::fromPalette(view.palette()), scheme)
            << "the standard controls follow the pinned look too";
    }
}

// The settings window as the program shows it, at the top and at the bottom of the form.
TEST_F(SettingsViewTest, SavesSnapshotsWhenAsked) {
    if (!test::Snapshots::directory()) {
        GTEST_SKIP() << "QUORVANE_SNAPSHOT_DIR is not set";
    }
    test::ProgramWindows windows(state());
    for (const auto appearance : {Appearance::light, Appearance::dark}) {
        state().setAppearance(appearance);
        ApplicationWindow& window = windows.settings();
        ViewTestState::waitUntil([&] { return !state().isFetchingModels(); });
        auto* view = qobject_cast<SettingsView*>(window.content());
        QScrollBar* bar = view->scrollArea()->verticalScrollBar();
        bar->setValue(bar->minimum());
        test::ProgramWindows::settle(window);
        test::Snapshots::save(window, QStringLiteral("settings-top"));
        bar->setValue(bar->maximum());
        test::ProgramWindows::settle(window);
        test::Snapshots::save(window, QStringLiteral("settings-bottom"));
    }
}

// The history, privacy, support and about sections in the settings window as the program shows
// it, scrolled to the end of the form.
TEST_F(SettingsViewTest, SavesSnapshotsOfTheInfoSectionsWhenAsked) {
    if (!test::Snapshots::directory()) {
        GTEST_SKIP() << "QUORVANE_SNAPSHOT_DIR is not set";
    }
    state().setHistory({historyItem("a"), historyItem("b")});
    test::ProgramWindows windows(state());
    for (const auto appearance : {Appearance::light, Appearance::dark}) {
        state().setAppearance(appearance);
        ApplicationWindow& window = windows.settings();
        auto* view = qobject_cast<SettingsView*>(window.content());
        view->scrollArea()->ensureWidgetVisible(view->findChild<HistorySection*>(), 0, 0);
        QScrollBar* bar = view->scrollArea()->verticalScrollBar();
        bar->setValue(bar->maximum());
        test::ProgramWindows::settle(window);
        test::Snapshots::save(window, QStringLiteral("settings-info-sections"));
    }
}

} // namespace
} // namespace quorvane
