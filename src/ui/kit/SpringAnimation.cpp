#include "ui/kit/SpringAnimation.h"

#include <cmath>

namespace quorvane {

SpringAnimation::SpringAnimation(const Spring& spring, QObject* parent)
    : QVariantAnimation(parent)
    , spring_(spring)
    , seconds_(DesignSprings::settlingTime(spring)) {
    setDuration(std::max(1, static_cast<int>(std::lround(seconds_ * 1000.0))));
    setEasingCurve(QEasingCurve::Linear);
}

void SpringAnimation::animate(qreal from, qreal to) {
    stop();
    setStartValue(from);
    setEndValue(to);
    start();
}

QVariant SpringAnimation::interpolated(const QVariant& from, const QVariant& to,
                                       qreal progress) const {
    const qreal start = from.toReal();
    const qreal end = to.toReal();
    if (progress >= 1.0) {
        return end;
    }
    const double fraction = DesignSprings::value(spring_, progress * seconds_);
    return start + (end - start) * fraction;
}

} // namespace quorvane
