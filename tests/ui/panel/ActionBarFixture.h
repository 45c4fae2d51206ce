// The action bar in its panel over a test state. The tests of the bar and of its primary button
// share it: the button is looked at as the bar lays it out and switches it.
#pragma once

#include "support/ViewTestState.h"
#include "ui/panel/ActionBar.h"
#include "ui/panel/PopoverView.h"

#include <gtest/gtest.h>

#include <QTest>

#include <cstddef>

namespace quorvane::test {

class ActionBarFixture : public testing::Test {
protected:
    ActionBarFixture()
        : panel_(fixture_.state(), [this] { ++closes_; })
        , bar_(panel_) {
        bar_.resize(440, bar_.sizeHint().height());
        bar_.show();
    }

    AppState& state() { return fixture_.state(); }
    void settle() { ViewTestState::processEvents(); }

    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    bool requestsAtLeast(std::size_t count) {
        return ViewTestState::waitUntil(
            [&] { return fixture_.server().requests().size() >= count; });
    }

    ViewTestState fixture_;
    int closes_ = 0;
    PopoverView panel_;
    ActionBar bar_;
};

} // namespace quorvane::test
