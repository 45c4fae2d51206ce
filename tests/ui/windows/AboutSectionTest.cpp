#include "ui/windows/AboutSection.h"

#include "support/ViewTestState.h"

#include <gtest/gtest.h>

#include <QPushButton>

#include <optional>
#include <vector>

namespace quorvane {
namespace {

using test::ViewTestState;

class AboutSectionTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    ViewTestState fixture_;
};

TEST_F(AboutSectionTest, CopyDiagnosticsReplacesThePasteboardContents) {
    fixture_.pasteboard().setString("something the user copied");
    const long before = fixture_.pasteboard().changeCount();
    AboutSection section(state());

    section.copyDiagnosticsButton()->click();

    EXPECT_EQ(fixture_.pasteboard().string(), state().diagnosticsText());
    // Cleared first, then written: other kinds of content do not survive either.
    EXPECT_EQ(fixture_.pasteboard().changeCount(), before + 2);
    EXPECT_FALSE(section.copyDiagnosticsButton()->toolTip().isEmpty());
}

TEST_F(AboutSectionTest, ShowOnboardingAgainPersistsTheFlagBeforeOpening) {
    state().setHasCompletedOnboarding(true);
    std::vector<std::optional<bool>> seenStored;
    state().onShowOnboarding = [&] {
        seenStored.push_back(fixture_.defaults().boolValue("quorvane.hasCompletedOnboarding"));
    };
    AboutSection section(state());

    section.showOnboardingButton()->click();

    EXPECT_EQ(seenStored, (std::vector<std::optional<bool>>{false}));
    EXPECT_FALSE(state().hasCompletedOnboarding());
}

TEST_F(AboutSectionTest, CheckForUpdatesCallsTheShellOnce) {
    AboutSection section(state());
    section.checkForUpdatesButton()->click(); // the default closure does nothing

    int checks = 0;
    state().onCheckForUpdates = [&] { ++checks; };
    section.checkForUpdatesButton()->click();
    EXPECT_EQ(checks, 1);

    state().onCheckForUpdates = nullptr;
    section.checkForUpdatesButton()->click();
    EXPECT_EQ(checks, 1);
}

} // namespace
} // namespace quorvane
