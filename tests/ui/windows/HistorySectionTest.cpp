#include "ui/windows/HistorySection.h"

#include "HistoryItemFixture.h"
#include "support/ViewTestState.h"
#include "ui/windows/SettingsGroup.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include <string>

namespace quorvane {
namespace {

using test::historyItem;
using test::ViewTestState;

class HistorySectionTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    ViewTestState fixture_;
};

TEST_F(HistorySectionTest, HistoryShowsTheCountAndClearAllStoresAnEmptyList) {
    state().setHistory({historyItem("a"), historyItem("b"), historyItem("c")});
    state().historyStore().save(state().history());
    state().setInputText("draft stays");
    HistorySection section(state());
    EXPECT_EQ(section.group()->headerLabel()->text(), QStringLiteral("History"));
    EXPECT_EQ(section.countLabel()->text(), QStringLiteral("3 saved (max 20)"));
    ASSERT_TRUE(section.clearButton()->isEnabled());

    section.clearButton()->click();

    EXPECT_TRUE(state().history().empty());
    EXPECT_EQ(fixture_.defaults().dataValue("quorvane.history.v1"), std::string("[]"));
    EXPECT_TRUE(state().historyStore().load().empty());
    EXPECT_EQ(section.countLabel()->text(), QStringLiteral("0 saved (max 20)"));
    EXPECT_FALSE(section.clearButton()->isEnabled());
    EXPECT_EQ(state().inputText(), "draft stays");
}

TEST_F(HistorySectionTest, HistoryFollowsTheStateOnRefresh) {
    HistorySection section(state());
    EXPECT_EQ(section.countLabel()->text(), QStringLiteral("0 saved (max 20)"));
    EXPECT_FALSE(section.clearButton()->isEnabled());

    state().setHistory({historyItem("a")});
    section.refresh();
    EXPECT_EQ(section.countLabel()->text(), QStringLiteral("1 saved (max 20)"));
    EXPECT_TRUE(section.clearButton()->isEnabled());
}

} // namespace
} // namespace quorvane
