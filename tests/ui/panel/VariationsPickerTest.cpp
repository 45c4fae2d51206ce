#include "ui/panel/VariationsPicker.h"

#include "shell/KeyablePanel.h"
#include "support/ProgramWindows.h"
#include "support/Snapshots.h"
#include "support/ViewTestState.h"
#include "ui/kit/AuroraButtonStyle.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/KitButton.h"
#include "ui/kit/SoftButtonStyle.h"
#include "ui/kit/Surface.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/VariationRow.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include <cstdlib>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using test::ViewTestState;
using Texts = std::vector<std::string>;

std::string lines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += "Line " + std::to_string(i) + "\n";
    }
    return text;
}

class VariationsPickerTest : public testing::Test {
protected:
    void SetUp() override {
        picker_.resize(440, 600);
        picker_.show();
    }

    AppState& state() { return fixture_.state(); }

    void offer(const Texts& variations) {
        state().setVariations(variations);
        panel_.refreshNow();
    }

    ViewTestState fixture_;
    PopoverView panel_{fixture_.state(), [] {}};
    VariationsPicker picker_{panel_};
};

TEST_F(VariationsPickerTest, RowsCountFromOneAndKeepRepeatedTexts) {
    offer({"Same", "Same", "Other"});
    ASSERT_EQ(picker_.rows().size(), 3);
    QStringList numbers;
    for (VariationRow* row : picker_.rows()) {
        numbers << row->numberLabel()->text();
    }
    EXPECT_EQ(numbers, (QStringList{"Option 1", "Option 2", "Option 3"}));
    EXPECT_EQ(picker_.rows()[1]->textLabel()->text(), QStringLiteral("Same"));
    EXPECT_EQ(picker_.rows()[2]->textLabel()->text(), QStringLiteral("Other"));

    offer({"Alone"});
    ASSERT_EQ(picker_.rows().size(), 1);
    EXPECT_EQ(picker_.rows()[0]->numberLabel()->text(), QStringLiteral("Option 1"));
    EXPECT_EQ(picker_.rows()[0]->textLabel()->text(), QStringLiteral("Alone"));
}

TEST_F(VariationsPickerTest, UseThisTakesTheWholeTextOfItsRow) {
    const std::string longOne = lines(30);
    offer({"First", longOne, "Third"});
    VariationRow* row = picker_.rows()[1];
    const int lineHeight = QFontMetrics(row->textLabel()->font()).lineSpacing();
    EXPECT_LE(row->textLabel()->height(), lineHeight * VariationRow::maximumLines)
        << "the card shows at most a dozen lines";

    QTest::mouseClick(row->useButton(), Qt::LeftButton);
    EXPECT_EQ(state().outputText(), longOne);
    EXPECT_TRUE(state().variations().empty());
}

TEST_F(VariationsPickerTest, DismissDropsTheVariationsAndKeepsTheOutput) {
    state().setOutputText("Earlier result");
    offer({"A", "B"});
    auto* dismiss = picker_.findChild<KitButton*>("dismissButton");
    ASSERT_NE(dismiss, nullptr);
    EXPECT_EQ(dismiss->text(), QStringLiteral("Dismiss"));
    QTest::mouseClick(dismiss, Qt::LeftButton);
    EXPECT_TRUE(state().variations().empty());
    EXPECT_EQ(state().outputText(), "Earlier result");
}

TEST_F(VariationsPickerTest, DismissAndUseThisAreSmallControls) {
    offer({"A"});
    KitButton regularSoft(std::make_unique<SoftButtonStyle>());
    regularSoft.setText(QStringLiteral("Dismiss"));
    KitButton regularAurora(std::make_unique<AuroraButtonStyle>());
    regularAurora.setText(QStringLiteral("Use this"));
    const std::pair<KitButton*, KitButton*> pairs[] = {
        {picker_.dismissButton(), &regularSoft},
        {picker_.rows()[0]->useButton(), &regularAurora},
    };
    for (const auto& [button, regular] : pairs) {
        SCOPED_TRACE(button->text().toStdString());
        EXPECT_EQ(button->controlSize(), ControlSize::small);
        EXPECT_LT(button->sizeHint().height(), regular->sizeHint().height());
    }
}

// The variations picker in the panel as the program shows it, in both looks.
TEST_F(VariationsPickerTest, SnapshotsInLightAndDark) {
    if (!test::Snapshots::directory()) {
        GTEST_SKIP() << "QUORVANE_SNAPSHOT_DIR is not set";
    }
    test::ProgramWindows windows(state());
    for (const auto appearance : {Appearance::light, Appearance::dark}) {
        state().setAppearance(appearance);
        state().setInputText("a launch post for the sync feature");
        offer({"Announce the launch in one crisp paragraph for developers.",
               "Write a friendly launch note that leads with the problem it solves.\n" + lines(14),
               "List three features, then a call to action."});
        KeyablePanel& panel = windows.panel();
        test::ProgramWindows::settle(panel);
        test::Snapshots::save(panel, QStringLiteral("panel-variations"));
    }
}

} // namespace
} // namespace quorvane
