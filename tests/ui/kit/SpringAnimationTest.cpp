#include "ui/kit/SpringAnimation.h"

#include "ui/kit/DesignSprings.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QVariant>

#include <algorithm>

namespace quorvane {
namespace {

TEST(SpringAnimationTest, OvershootsOnTheWayAndLandsExactlyOnTheEndValue) {
    SpringAnimation animation(DesignSprings::expand);
    qreal highest = 0;
    QObject::connect(&animation, &QVariantAnimation::valueChanged,
                     [&](const QVariant& value) { highest = std::max(highest, value.toReal()); });
    animation.animate(0.0, 100.0);
    QElapsedTimer safety;
    safety.start();
    while (animation.state() == QAbstractAnimation::Running && safety.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    ASSERT_EQ(animation.state(), QAbstractAnimation::Stopped);
    EXPECT_DOUBLE_EQ(animation.currentValue().toReal(), 100.0);
    EXPECT_GT(highest, 100.0);
}

} // namespace
} // namespace quorvane
