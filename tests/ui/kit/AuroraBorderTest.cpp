#include "ui/kit/AuroraBorder.h"

#include "ui/kit/ReduceMotion.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>

namespace quorvane {
namespace {

class AuroraBorderTest : public testing::Test {
protected:
    void TearDown() override { ReduceMotion::setOverride(std::nullopt); }

    static void spin(int milliseconds) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }
};

TEST_F(AuroraBorderTest, TurnsWhileActiveAndEasesBackToZero) {
    ReduceMotion::setOverride(false);
    AuroraBorder border(false, 22);
    border.resize(200, 100);
    border.show();
    EXPECT_FALSE(border.isTurning());

    border.setActive(true);
    EXPECT_TRUE(border.isTurning());
    EXPECT_DOUBLE_EQ(border.ringOpacity(), 1.0);
    spin(100);
    EXPECT_GT(border.angle(), 0.0);
    EXPECT_LT(border.angle(), 360.0);

    border.setActive(false);
    EXPECT_FALSE(border.isTurning());
    EXPECT_DOUBLE_EQ(border.ringOpacity(), 0.0);
    QElapsedTimer safety;
    safety.start();
    while (border.angle() != 0.0 && safety.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_DOUBLE_EQ(border.angle(), 0.0);
}

TEST_F(AuroraBorderTest, StartsTurningWhenFirstShownActive) {
    ReduceMotion::setOverride(false);
    AuroraBorder border(true, 22);
    EXPECT_FALSE(border.isTurning());
    border.show();
    EXPECT_TRUE(border.isTurning());
}

TEST_F(AuroraBorderTest, ReduceMotionKeepsAnActiveRingStillAndVisible) {
    ReduceMotion::setOverride(true);
    AuroraBorder border(false, 22);
    border.show();
    border.setActive(true);
    EXPECT_FALSE(border.isTurning());
    EXPECT_DOUBLE_EQ(border.ringOpacity(), 1.0);
    spin(50);
    EXPECT_DOUBLE_EQ(border.angle(), 0.0);
}

} // namespace
} // namespace quorvane
