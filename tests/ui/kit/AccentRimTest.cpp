#include "ui/kit/AccentRim.h"

#include "ui/kit/AuroraBorder.h"
#include "ui/kit/ReduceMotion.h"

#include <gtest/gtest.h>

#include <QAbstractAnimation>
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

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

    // Until every fade and the ring's settling turn have ended; only the endless turn of an
    // active ring keeps going. Waiting on the animations rather than the clock keeps a loaded
    // machine from reading a fade half-way.
    static void settle(const AccentRim& rim) {
        QElapsedTimer timer;
        timer.start();
        while (stillMoving(rim) && timer.elapsed() < 5000) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }

    static bool stillMoving(const AccentRim& rim) {
        const auto animations = rim.findChildren<QAbstractAnimation*>();
        return std::any_of(animations.begin(), animations.end(), [](QAbstractAnimation* animation) {
            return animation->state() == QAbstractAnimation::Running && animation->loopCount() >= 0;
        });
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

TEST_F(AccentRimTest, GoesWithItsTargetThoughItIsNotTheTargetsChild) {
    QPointer<AccentRim> rim = new AccentRim(card_, 22);
    EXPECT_EQ(rim->parentWidget(), &window_);
    delete card_;
    card_ = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(rim.isNull());
}

TEST_F(AccentRimTest, FocusedAndActiveTurnsTheRingAndHidesTheGradientRim) {
    ReduceMotion::setOverride(false);
    AccentRim rim(card_, 22);
    rim.setFocused(true);
    rim.setActive(true);
    settle(rim);
    EXPECT_TRUE(rim.auroraBorder()->isTurning());
    EXPECT_DOUBLE_EQ(rim.auroraBorder()->ringOpacity(), 1.0);
    EXPECT_DOUBLE_EQ(rim.focusProgress(), 1.0);
    EXPECT_DOUBLE_EQ(rim.plainRimOpacity(), 0.0);
    EXPECT_DOUBLE_EQ(rim.glowProgress(), 1.0);

    rim.setActive(false);
    // The ring fades with the rim instead of vanishing at once.
    EXPECT_GT(rim.auroraBorder()->ringOpacity(), 0.5);
    settle(rim);
    EXPECT_DOUBLE_EQ(rim.auroraBorder()->ringOpacity(), 0.0);
    EXPECT_DOUBLE_EQ(rim.plainRimOpacity(), 1.0);
    EXPECT_DOUBLE_EQ(rim.auroraBorder()->angle(), 0.0);
    EXPECT_DOUBLE_EQ(rim.glowProgress(), 1.0); // still focused

    rim.setFocused(false);
    settle(rim);
    EXPECT_DOUBLE_EQ(rim.glowProgress(), 0.0);
}

TEST_F(AccentRimTest, ReduceMotionShowsTheActiveRingStandingStill) {
    ReduceMotion::setOverride(true);
    AccentRim rim(card_, 22);
    rim.setActive(true);
    settle(rim);
    EXPECT_FALSE(rim.auroraBorder()->isTurning());
    EXPECT_DOUBLE_EQ(rim.auroraBorder()->ringOpacity(), 1.0);
    EXPECT_DOUBLE_EQ(rim.plainRimOpacity(), 0.0);
}

} // namespace
} // namespace quorvane
