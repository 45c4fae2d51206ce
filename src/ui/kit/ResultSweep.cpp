#include "ui/kit/ResultSweep.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/ReduceMotion.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QVariantAnimation>

namespace quorvane {

ResultSweep::ResultSweep(QWidget* target, bool trigger)
    : QWidget(target)
    , target_(target)
    , trigger_(trigger)
    , sweep_(new QVariantAnimation(this)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    sweep_->setDuration(sweepMilliseconds);
    sweep_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(sweep_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        phase_ = value.toReal();
        update();
    });
    target->installEventFilter(this);
    setGeometry(target->rect());
    raise();
}

void ResultSweep::setTrigger(bool trigger) {
    if (trigger == trigger_) {
        return;
    }
    trigger_ = trigger;
    if (!trigger || ReduceMotion::enabled()) {
        return;
    }
    sweep_->stop();
    phase_ = restingPhase;
    sweep_->setStartValue(restingPhase);
    sweep_->setEndValue(finalPhase);
    sweep_->start();
}

bool ResultSweep::isSweeping() const {
    return sweep_->state() == QAbstractAnimation::Running;
}

bool ResultSweep::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_ && event->type() == QEvent::Resize) {
        setGeometry(target_->rect());
    }
    if (watched == target_ && event->type() == QEvent::ChildAdded) {
        raise();
    }
    return QWidget::eventFilter(watched, event);
}

void ResultSweep::paintEvent(QPaintEvent*) {
    if (ReduceMotion::enabled()) {
        return;
    }
    const qreal height = this->height();
    const QRectF band(0, phase_ * height, width(), bandHeight * height);
    if (!band.intersects(rect())) {
        return;
    }
    QLinearGradient gradient(band.topLeft(), band.bottomLeft());
    const QColor accent = DesignColors::accent(ColorScheme::of(this));
    gradient.setColorAt(0.0, DesignColors::clear());
    gradient.setColorAt(0.5, DesignColors::withOpacity(accent, 0.3));
    gradient.setColorAt(1.0, DesignColors::clear());
    QPainter painter(this);
    painter.setClipRect(rect());
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.fillRect(band, gradient);
}

} // namespace quorvane
