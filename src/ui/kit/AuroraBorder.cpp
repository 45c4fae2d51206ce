#include "ui/kit/AuroraBorder.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignGradients.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/ReduceMotion.h"
#include "ui/kit/ShapePainter.h"

#include <QPainter>
#include <QVariantAnimation>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::AuroraBorder;

} // namespace

AuroraBorder::AuroraBorder(bool active, qreal cornerRadius, QWidget* parent)
    : QWidget(parent)
    , active_(active)
    , cornerRadius_(cornerRadius)
    , ringOpacity_(active ? 1.0 : 0.0)
    , rotation_(new QVariantAnimation(this)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(rotation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        angle_ = value.toReal();
        update();
    });
}

void AuroraBorder::setActive(bool active) {
    if (active == active_) {
        return;
    }
    active_ = active;
    setRingOpacity(active ? 1.0 : 0.0);
    updateRotation();
}

void AuroraBorder::setCornerRadius(qreal radius) {
    cornerRadius_ = radius;
    update();
}

bool AuroraBorder::isTurning() const {
    return rotation_->state() == QAbstractAnimation::Running && rotation_->loopCount() < 0;
}

void AuroraBorder::setRingOpacity(qreal opacity) {
    ringOpacity_ = opacity;
    update();
}

void AuroraBorder::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) {
        return;
    }
    shownOnce_ = true;
    updateRotation();
}

void AuroraBorder::updateRotation() {
    if (ReduceMotion::enabled()) {
        return;
    }
    rotation_->stop();
    if (active_) {
        // Each turn starts from 0 again, as a repeating animation to 360 does.
        rotation_->setStartValue(0.0);
        rotation_->setEndValue(360.0);
        rotation_->setDuration(turnMilliseconds);
        rotation_->setEasingCurve(QEasingCurve::Linear);
        rotation_->setLoopCount(-1);
    } else {
        rotation_->setStartValue(angle_);
        rotation_->setEndValue(0.0);
        rotation_->setDuration(settleMilliseconds);
        rotation_->setEasingCurve(QEasingCurve::OutCubic);
        rotation_->setLoopCount(1);
    }
    rotation_->start();
}

void AuroraBorder::paintEvent(QPaintEvent*) {
    if (ringOpacity_ <= 0) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(ringOpacity_);
    const QRectF outer = rect();
    const QRectF inner = outer.adjusted(Metrics::ringWidth, Metrics::ringWidth, -Metrics::ringWidth,
                                        -Metrics::ringWidth);
    QPainterPath ring = ShapePainter::roundedRect(outer, cornerRadius_);
    ring = ring.subtracted(
        ShapePainter::roundedRect(inner, std::max(0.0, cornerRadius_ - Metrics::ringWidth)));
    painter.fillPath(ring, DesignGradients::aurora(outer, angle_, ColorScheme::of(this)));
}

} // namespace quorvane
