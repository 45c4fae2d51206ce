#include "ui/kit/AccentRim.h"

#include "ui/kit/AuroraBorder.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignGradients.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/ShapePainter.h"
#include "ui/kit/SoftShadow.h"

#include <QPainter>
#include <QVariantAnimation>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::AccentRim;

constexpr qreal glowOpacity = 0.25;

} // namespace

AccentRim::AccentRim(QWidget* target, qreal cornerRadius, bool focused, bool active)
    : TargetOverlay(target)
    , cornerRadius_(cornerRadius)
    , focused_(focused)
    , active_(active)
    , focusProgress_(focused ? 1.0 : 0.0)
    , activeProgress_(active ? 1.0 : 0.0)
    , glowProgress_((focused || active) ? 1.0 : 0.0)
    , aurora_(new AuroraBorder(active, cornerRadius, this))
    , focusFade_(makeFade(&focusProgress_))
    , activeFade_(makeFade(&activeProgress_))
    , glowFade_(makeFade(&glowProgress_)) {
    connect(activeFade_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { aurora_->setRingOpacity(value.toReal()); });
    followTarget();
}

int AccentRim::glowMargin() {
    return static_cast<int>(SoftShadow::reach(Metrics::glowRadius, 0)) + 1;
}

QVariantAnimation* AccentRim::makeFade(qreal* value) {
    auto* animation = new QVariantAnimation(this);
    animation->setDuration(fadeMilliseconds);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(animation, &QVariantAnimation::valueChanged, this, [this, value](const QVariant& v) {
        *value = v.toReal();
        update();
    });
    return animation;
}

void AccentRim::fadeTo(QVariantAnimation* animation, qreal from, qreal to) {
    animation->stop();
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->start();
}

void AccentRim::setFocused(bool focused) {
    if (focused == focused_) {
        return;
    }
    focused_ = focused;
    fadeTo(focusFade_, focusProgress_, focused ? 1.0 : 0.0);
    fadeTo(glowFade_, glowProgress_, (focused_ || active_) ? 1.0 : 0.0);
}

void AccentRim::setActive(bool active) {
    if (active == active_) {
        return;
    }
    active_ = active;
    // The ring keeps its current opacity and fades with the rim, while its
    // turning starts or eases back on its own.
    const qreal ringOpacity = aurora_->ringOpacity();
    aurora_->setActive(active);
    aurora_->setRingOpacity(ringOpacity);
    fadeTo(activeFade_, activeProgress_, active ? 1.0 : 0.0);
    fadeTo(glowFade_, glowProgress_, (focused_ || active_) ? 1.0 : 0.0);
}

void AccentRim::followTarget() {
    if (target() == nullptr) {
        return;
    }
    if (parentWidget() != target()->parentWidget()) {
        setParent(target()->parentWidget());
    }
    const int margin = glowMargin();
    setGeometry(target()->geometry().adjusted(-margin, -margin, margin, margin));
    aurora_->setGeometry(QRect(margin, margin, target()->width(), target()->height()));
    setVisible(target()->isVisible());
    raise();
}

void AccentRim::paintGlow(QPainter& painter, const QRectF& card) {
    if (glowProgress_ <= 0) {
        return;
    }
    // The glow is the same image for every frame of the turning ring, so it
    // is blurred once per size.
    const int scheme = static_cast<int>(ColorScheme::of(this));
    if (glowCache_.size() != size() || glowCacheScheme_ != scheme) {
        glowCacheScheme_ = scheme;
        glowCache_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        glowCache_.fill(Qt::transparent);
        QPainter cachePainter(&glowCache_);
        SoftShadow::paintRoundedRing(
            cachePainter, card, cornerRadius_, 2,
            DesignColors::withOpacity(DesignColors::indigo(ColorScheme::of(this)), glowOpacity),
            Metrics::glowRadius, QPointF());
    }
    painter.save();
    painter.setOpacity(glowProgress_);
    painter.drawImage(0, 0, glowCache_);
    painter.restore();
}

void AccentRim::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const QRectF card = QRectF(aurora_->geometry());
    paintGlow(painter, card);

    const qreal plain = plainRimOpacity();
    if (plain <= 0) {
        return;
    }
    const qreal restingOpacity = scheme == ColorScheme::Scheme::dark ? 0.18 : 0.10;
    painter.setOpacity(plain * (1.0 - focusProgress_));
    ShapePainter::strokeRoundedRectInside(
        painter, card, cornerRadius_,
        DesignColors::withOpacity(DesignColors::primary(scheme), restingOpacity), 1);
    painter.setOpacity(plain * focusProgress_);
    ShapePainter::strokeRoundedRectInside(painter, card, cornerRadius_,
                                          DesignGradients::spectrum(card, scheme), 2);
}

} // namespace quorvane
