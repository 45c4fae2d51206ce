#include "ui/kit/AccentRim.h"

#include "ui/kit/AuroraBorder.h"
#include "ui/kit/ReduceMotion.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>

namespace quorvane {
namespace {

class AccentRimTest : public testing::Test {
protected:
    void SetUp() override {
        window_.resize(400, 300);
        card_ = new QPushButton(&window_);
        card_->setGeometry(40, 40, 300, 200);
        window_.show();
    }
    void TearDown() override { ReduceMotion::setOverride(std::nullopt); }

    static void settle() {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < AccentRim::fadeMilliseconds + 150) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }

    QWidget window_;
    QPushButton* card_ = nullptr;
};

TEST_F(AccentRimTest, FollowsItsTargetWithRoomForTheGlowAndPassesClicks) {
    AccentRim rim(card_, 22);
    const int margin = AccentRim::glowMargin();
    EXPECT_EQ(rim.geometry(), card_->geometry().adjusted(-margin, -margin, margin, margin));
    EXPECT_TRUE(rim.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(window_.childAt(card_->geometry().center()), card_);

    card_->setGeometry(10, 10, 200, 120);
    EXPECT_EQ(rim.geometry(), card_->geometry().adjusted(-margin, -margin, margin, margin));
    EXPECT_EQ(rim.auroraBorder()->size(), card_->size());
}

TEST_F(AccentRimTest, FocusedAndActiveTurnsTheRingAndHidesTheGradientRim) {
    ReduceMotion::setOverride(false);
    AccentRim rim(card_, 22);
    rim.setFocused(true);
    rim.setActive(true);
    settle();
    EXPECT_TRUE(rim.auroraBorder()->isTurning());
    EXPECT_DOUBLE_EQ(rim.auroraBorder()->ringOpacity(), 1.0);
    EXPECT_DOUBLE_EQ(rim.focusProgress(), 1.0);
    EXPECT_DOUBLE_EQ(rim.plainRimOpacity(), 0.0);
    EXPECT_DOUBLE_EQ(rim.glowProgress(), 1.0);

    rim.setActive(false);
    // The ring fades with the rim instead of vanishing at once.
    EXPECT_GT(rim.auroraBorder()->ringOpacity(), 0.5);
    settle();
    EXPECT_DOUBLE_EQ(rim.auroraBorder()->ringOpacity(), 0.0);
    EXPECT_DOUBLE_EQ(rim.plainRimOpacity(), 1.0);
    EXPECT_DOUBLE_EQ(rim.auroraBorder()->angle(), 0.0);
    EXPECT_DOUBLE_EQ(rim.glowProgress(), 1.0); // still focused

    rim.setFocused(false);
    settle();
    EXPECT_DOUBLE_EQ(rim.glowProgress(), 0.0);
}

TEST_F(AccentRimTest, ReduceMotionShowsTheActiveRingStandingStill) {
    ReduceMotion::setOverride(true);
    AccentRim rim(card_, 22);
    rim.setActive(true);
    settle();
    EXPECT_FALSE(rim.auroraBorder()->isTurning());
    EXPECT_DOUBLE_EQ(rim.auroraBorder()->ringOpacity(), 1.0);
    EXPECT_DOUBLE_EQ(rim.plainRimOpacity(), 0.0);
}

} // namespace
} // namespace quorvane
