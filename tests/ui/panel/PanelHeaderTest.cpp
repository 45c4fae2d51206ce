#include "ui/panel/PanelHeader.h"

#include "PanelHeaderFixture.h"
#include "ui/kit/KitButton.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

namespace quorvane {
namespace {

using PanelHeaderTest = test::PanelHeaderFixture;

TEST_F(PanelHeaderTest, EditPresetsAndSettingsButtonOpenSettings) {
    int opened = 0;
    state().openSettings = [&] { ++opened; };
    menuAction(QStringLiteral("Edit presets…"))->trigger();
    EXPECT_EQ(opened, 1);
    QTest::mouseClick(header_.findChild<KitButton*>("settingsButton"), Qt::LeftButton);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(closes_, 0);
}

TEST_F(PanelHeaderTest, RoundButtonsToggleHistoryAndClose) {
    const struct {
        const char* name;
        const char* symbol;
        QString help;
    } buttons[] = {
        {"historyButton", "clock.arrow.circlepath", QStringLiteral("History (Ctrl+H)")},
        {"settingsButton", "gearshape", QStringLiteral("Settings (Ctrl+,)")},
        {"closeButton", "xmark", QStringLiteral("Close (Esc)")},
    };
    for (const auto& expected : buttons) {
        auto* button = header_.findChild<KitButton*>(expected.name);
        ASSERT_NE(button, nullptr) << expected.name;
        EXPECT_EQ(button->symbol(), expected.symbol);
        EXPECT_EQ(button->toolTip(), expected.help);
        EXPECT_EQ(button->accessibleName(), expected.help);
    }

    auto* history = header_.findChild<KitButton*>("historyButton");
    QTest::mouseClick(history, Qt::LeftButton);
    EXPECT_TRUE(state().showHistory());
    QTest::mouseClick(history, Qt::LeftButton);
    EXPECT_FALSE(state().showHistory());

    QTest::mouseClick(header_.findChild<KitButton*>("closeButton"), Qt::LeftButton);
    EXPECT_EQ(closes_, 1);
}

} // namespace
} // namespace quorvane
