#include "ui/windows/PrivacySection.h"

#include "support/ViewTestState.h"
#include "ui/windows/SettingsGroup.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>

#include <optional>

namespace quorvane {
namespace {

using test::ViewTestState;

class PrivacySectionTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    ViewTestState fixture_;
};

TEST_F(PrivacySectionTest, TelemetryToggleWritesTheSettingAndFollowsTheState) {
    PrivacySection section(state());
    ASSERT_FALSE(section.telemetryToggle()->isChecked());
    EXPECT_FALSE(section.group()->footerLabel()->isHidden());
    EXPECT_EQ(section.group()->footerLabel()->text(),
              "Off by default. When on, only crash/error diagnostics are sent — never your "
              "prompts, keys, or any personal data. Your drafts and keys stay on this computer.");

    section.telemetryToggle()->click();
    EXPECT_TRUE(state().telemetryEnabled());
    EXPECT_EQ(fixture_.defaults().boolValue("quorvane.telemetryEnabled"), true);

    section.telemetryToggle()->click();
    EXPECT_FALSE(state().telemetryEnabled());
    EXPECT_EQ(fixture_.defaults().boolValue("quorvane.telemetryEnabled"), false);

    state().setTelemetryEnabled(true);
    section.refresh();
    EXPECT_TRUE(section.telemetryToggle()->isChecked());
}

} // namespace
} // namespace quorvane
