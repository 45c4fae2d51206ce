#include "ui/windows/AppearanceSection.h"

#include "support/ViewTestState.h"
#include "ui/windows/SegmentedPicker.h"
#include "ui/windows/SettingsGroup.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include <optional>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using test::ViewTestState;

class AppearanceSectionTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    ViewTestState fixture_;
};

TEST_F(AppearanceSectionTest, ThemePickerWritesAppearance) {
    std::vector<Appearance> told;
    state().onAppearanceChanged = [&](Appearance appearance) { told.push_back(appearance); };
    AppearanceSection section(state());
    section.show();
    SegmentedPicker* picker = section.themePicker();
    ASSERT_EQ(picker->count(), 3);
    EXPECT_EQ(picker->segment(0)->text().toStdString(), "Auto");
    EXPECT_EQ(picker->segment(1)->text().toStdString(), "Light");
    EXPECT_EQ(picker->segment(2)->text().toStdString(), "Dark");
    EXPECT_EQ(picker->currentIndex(), 2) << "a fresh installation starts dark";
    EXPECT_TRUE(section.group()->footerLabel()->text().startsWith("Auto follows your system"));

    click(picker->segment(1));
    EXPECT_EQ(state().appearance(), Appearance::light);
    EXPECT_EQ(fixture_.defaults().stringValue("quorvane.appearance"),
              std::optional<std::string>("light"));
    click(picker->segment(0));
    EXPECT_EQ(state().appearance(), Appearance::auto_);
    EXPECT_EQ(told, (std::vector<Appearance>{Appearance::light, Appearance::auto_}));

    state().setAppearance(Appearance::dark);
    section.refresh();
    EXPECT_EQ(picker->currentIndex(), 2);
}

} // namespace
} // namespace quorvane
