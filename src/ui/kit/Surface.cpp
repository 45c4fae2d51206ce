#include "ui/kit/Surface.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/ShadowUnderlay.h"
#include "ui/kit/ShapePainter.h"

#include <QEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace quorvane {

Surface::Surface(qreal cornerRadius, qreal shadowRadius, qreal shadowY, QWidget* parent)
    : QWidget(parent)
    , cornerRadius_(cornerRadius)
    , shadowRadius_(shadowRadius)
    , shadowY_(shadowY) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    placeShadow();
}

void Surface::setContent(QWidget* content) {
    if (content_ != nullptr) {
        layout()->removeWidget(content_);
        content_->deleteLater();
    }
    content_ = content;
    if (content_ != nullptr) {
        layout()->addWidget(content_);
    }
}

QColor Surface::shadowColor() const {
    const bool dark = ColorScheme::of(this) == ColorScheme::Scheme::dark;
    return DesignColors::withOpacity(DesignColors::black(), dark ? 0.4 : 0.08);
}

void Surface::placeShadow() {
    if (shadow_ != nullptr || parentWidget() == nullptr) {
        return;
    }
    shadow_ =
        new ShadowUnderlay(this, cornerRadius_, shadowRadius_, QPointF(0, shadowY_), shadowColor());
}

void Surface::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        placeShadow();
    }
    QWidget::changeEvent(event);
}

void Surface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const bool dark = scheme == ColorScheme::Scheme::dark;
    // The scheme can change without an event reaching the underlay; it follows the card.
    if (shadow_ != nullptr) {
        shadow_->setColor(shadowColor());
    }
    const QRectF card = rect();
    const QPainterPath shape = ShapePainter::roundedRect(card, cornerRadius_);
    painter.fillPath(shape, dark ? DesignColors::regularMaterial(scheme)
                                 : DesignColors::textBackground(scheme));
    if (dark) {
        painter.fillPath(shape, DesignColors::withOpacity(DesignColors::white(), 0.04));
    }
    const QColor rim = dark ? DesignColors::withOpacity(DesignColors::white(), 0.12)
                            : DesignColors::withOpacity(DesignColors::primary(scheme), 0.08);
    ShapePainter::strokeRoundedRectInside(painter, card, cornerRadius_, rim, 0.5);
}

} // namespace quorvane
