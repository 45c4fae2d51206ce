#include "ui/kit/CardShape.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/ShapePainter.h"
#include "ui/kit/SoftShadow.h"

#include <QPainter>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::CardShape;

} // namespace

CardShape::CardShape(bool focused, qreal cornerRadius, QWidget* parent)
    : QWidget(parent)
    , focused_(focused)
    , cornerRadius_(cornerRadius)
    , focusProgress_(focused ? 1.0 : 0.0)
    , focusAnimation_(new QVariantAnimation(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(shadowMargins());
    layout->setSpacing(0);
    focusAnimation_->setDuration(150);
    focusAnimation_->setEasingCurve(QEasingCurve::OutCubic);
    connect(focusAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        focusProgress_ = value.toReal();
        update();
    });
}

void CardShape::setContent(QWidget* content) {
    if (content_ != nullptr) {
        layout()->removeWidget(content_);
        content_->deleteLater();
    }
    content_ = content;
    if (content_ != nullptr) {
        layout()->addWidget(content_);
    }
}

void CardShape::setFocused(bool focused) {
    if (focused == focused_) {
        return;
    }
    focused_ = focused;
    focusAnimation_->stop();
    focusAnimation_->setStartValue(focusProgress_);
    focusAnimation_->setEndValue(focused ? 1.0 : 0.0);
    focusAnimation_->start();
}

QMargins CardShape::shadowMargins() {
    const int side = static_cast<int>(Metrics::shadowRadius);
    return {side, side - static_cast<int>(Metrics::shadowY), side,
            side + static_cast<int>(Metrics::shadowY)};
}

QRectF CardShape::cardRect() const {
    return QRectF(rect()).marginsRemoved(shadowMargins());
}

void CardShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const QRectF card = cardRect();
    const QPainterPath shape = ShapePainter::roundedRect(card, cornerRadius_);

    SoftShadow::paintRoundedRect(painter, card, cornerRadius_,
                                 DesignColors::withOpacity(DesignColors::black(), 0.06),
                                 Metrics::shadowRadius, QPointF(0, Metrics::shadowY));
    painter.fillPath(shape, DesignColors::textBackground(scheme));

    painter.save();
    painter.setOpacity(1.0 - focusProgress_);
    ShapePainter::strokeRoundedRectInside(
        painter, card, cornerRadius_, DesignColors::withOpacity(DesignColors::black(), 0.08), 1);
    painter.setOpacity(focusProgress_);
    ShapePainter::strokeRoundedRectInside(
        painter, card, cornerRadius_, DesignColors::withOpacity(DesignColors::accent(scheme), 0.85),
        2);
    painter.restore();
}

} // namespace quorvane
