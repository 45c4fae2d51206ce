// The panel footer in its panel over a test state. The tests of the footer and of its status
// capsule share it: the capsule is looked at as the footer fills and sizes it.
#pragma once

#include "support/ViewTestState.h"
#include "ui/panel/PanelFooter.h"
#include "ui/panel/PanelStatusCapsule.h"
#include "ui/panel/PopoverView.h"

#include <gtest/gtest.h>

#include <QString>

namespace quorvane::test {

class PanelFooterFixture : public testing::Test {
protected:
    void SetUp() override { footer_.show(); }

    AppState& state() { return fixture_.state(); }
    QString capsuleText() {
        panel_.refreshNow();
        return footer_.statusCapsule()->text();
    }

    ViewTestState fixture_;
    PopoverView panel_{fixture_.state(), [] {}};
    PanelFooter footer_{panel_};
};

} // namespace quorvane::test
