#include "ui/kit/ShadowUnderlay.h"

#include "ui/kit/ShapePainter.h"
#include "ui/kit/SoftShadow.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

namespace quorvane {

ShadowUnderlay::ShadowUnderlay(QWidget* target, qreal cornerRadius, qreal radius,
                               const QPointF& offset, const QColor& color)
    : QWidget(target->parentWidget())
    , target_(target)
    , cornerRadius_(cornerRadius)
    , radius_(radius)
    , offset_(offset)
    , color_(color) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Without a parent the underlay is nobody's child; it goes with its target.
    connect(target, &QObject::destroyed, this, &QObject::deleteLater);
    target->installEventFilter(this);
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

bool ShadowUnderlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ZOrderChange:
        case QEvent::ParentChange:
            followTarget();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ShadowUnderlay::followTarget() {
    if (target_ == nullptr) {
        return;
    }
    QWidget* parent = target_->parentWidget();
    if (parent == nullptr) {
        // A parentless underlay would be a window of its own.
        hide();
        return;
    }
    if (parentWidget() != parent) {
        setParent(parent);
    }
    setGeometry(target_->geometry().marginsAdded(reach()));
    setVisible(target_->isVisible());
    stackUnder(target_);
}

void ShadowUnderlay::paintEvent(QPaintEvent*) {
    if (target_ == nullptr || color_.alpha() == 0) {
        return;
    }
    if (cache_.size() != size() || cacheColor_ != color_) {
        cacheColor_ = color_;
        cache_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        cache_.fill(Qt::transparent);
        QPainter cachePainter(&cache_);
        cachePainter.setRenderHint(QPainter::Antialiasing);
        const QMargins margins = reach();
        const QRectF card(margins.left(), margins.top(), target_->width(), target_->height());
        SoftShadow::paint(cachePainter, ShapePainter::roundedRect(card, cornerRadius_), color_,
                          radius_, offset_);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, cache_);
}

} // namespace quorvane
