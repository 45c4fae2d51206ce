#include "ui/kit/ShadowUnderlay.h"

#include "ui/kit/SoftShadow.h"

#include <QPainter>

#include <cmath>

namespace quorvane {

ShadowUnderlay::ShadowUnderlay(QWidget* target, qreal cornerRadius, qreal radius,
                               const QPointF& offset, const QColor& color)
    : TargetOverlay(target)
    , cornerRadius_(cornerRadius)
    , radius_(radius)
    , offset_(offset)
    , color_(color) {
    followTarget();
}

void ShadowUnderlay::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
}

QMargins ShadowUnderlay::reach() const {
    // One more than the blur so that its antialiased edge fits too.
    const int blur = static_cast<int>(std::ceil(radius_)) + 1;
    const auto toward = [blur](qreal shift) {
        return std::max(0, blur + static_cast<int>(std::ceil(shift)));
    };
    return {toward(-offset_.x()), toward(-offset_.y()), toward(offset_.x()), toward(offset_.y())};
}

void ShadowUnderlay::followTarget() {
    if (target() == nullptr) {
        return;
    }
    QWidget* parent = target()->parentWidget();
    if (parent == nullptr) {
        // A parentless underlay would be a window of its own.
        hide();
        return;
    }
    if (parentWidget() != parent) {
        setParent(parent);
    }
    setGeometry(target()->geometry().marginsAdded(reach()));
    setVisible(target()->isVisible());
    stackUnder(target());
}

void ShadowUnderlay::paintEvent(QPaintEvent*) {
    if (target() == nullptr || color_.alpha() == 0) {
        return;
    }
    if (cache_.size() != size() || cacheColor_ != color_) {
        cacheColor_ = color_;
        cache_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        cache_.fill(Qt::transparent);
        QPainter cachePainter(&cache_);
        cachePainter.setRenderHint(QPainter::Antialiasing);
        const QMargins margins = reach();
        const QRectF card(margins.left(), margins.top(), target()->width(), target()->height());
        SoftShadow::paintRoundedRect(cachePainter, card, cornerRadius_, color_, radius_, offset_);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, cache_);
}

} // namespace quorvane
