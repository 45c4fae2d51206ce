#include "ui/kit/CoalescedRefresh.h"

#include "support/ViewTestState.h"

#include <gtest/gtest.h>

#include <QObject>

#include <memory>
#include <vector>

namespace quorvane {
namespace {

using test::ViewTestState;

class CoalescedRefreshTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    ViewTestState fixture_;
    QObject owner_;
    int refreshes_ = 0;
};

TEST_F(CoalescedRefreshTest, ABurstOfChangesCostsOneReReadOnTheNextTurn) {
    std::vector<AppState::Property> heard;
    CoalescedRefresh refresher(
        state(), owner_, [this] { ++refreshes_; },
        [&](AppState::Property property) { heard.push_back(property); });
    state().setInputText("one");
    state().setInputText("two");
    state().setShowAdvanced(true);
    refresher.schedule();
    EXPECT_EQ(refreshes_, 0) << "nothing is re-read before the event loop turns";
    EXPECT_TRUE(refresher.pending());
    EXPECT_EQ(heard, (std::vector{AppState::Property::inputText, AppState::Property::inputText,
                                  AppState::Property::showAdvanced}));
    ViewTestState::processEvents();
    EXPECT_EQ(refreshes_, 1);
    EXPECT_FALSE(refresher.pending());

    state().setInputText("three");
    ViewTestState::processEvents();
    EXPECT_EQ(refreshes_, 2);
}

TEST_F(CoalescedRefreshTest, NothingRunsOnceStoppedOrOnceTheOwnerHasGone) {
    CoalescedRefresh stopped(state(), owner_, [this] { ++refreshes_; });
    state().setInputText("asked for before the stop");
    stopped.stop();
    state().setInputText("after");
    stopped.schedule();
    ViewTestState::processEvents();
    EXPECT_EQ(refreshes_, 0);

    auto owner = std::make_unique<QObject>();
    CoalescedRefresh orphan(state(), *owner, [this] { ++refreshes_; });
    state().setInputText("owner goes before the turn");
    owner.reset();
    ViewTestState::processEvents();
    EXPECT_EQ(refreshes_, 0);
}

} // namespace
} // namespace quorvane
