// A QVariantAnimation of a qreal that follows a spring instead of an easing
// curve. It runs for the spring's settling time and may overshoot its end
// value on the way when the spring is under-damped.
#pragma once

#include "ui/kit/DesignSprings.h"

#include <QVariantAnimation>

namespace quorvane {

class SpringAnimation : public QVariantAnimation {
    Q_OBJECT

public:
    explicit SpringAnimation(const Spring& spring, QObject* parent = nullptr);

    const Spring& spring() const { return spring_; }

    // Restarts from `from` towards `to`.
    void animate(qreal from, qreal to);

protected:
    QVariant interpolated(const QVariant& from, const QVariant& to, qreal progress) const override;

private:
    Spring spring_;
    double seconds_ = 0.0;
};

} // namespace quorvane
