#include "ui/kit/Surface.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/ShapePainter.h"
#include "ui/kit/SoftShadow.h"

#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace quorvane {

Surface::Surface(qreal cornerRadius, qreal shadowRadius, qreal shadowY, QWidget* parent)
    : QWidget(parent)
    , cornerRadius_(cornerRadius)
    , shadowRadius_(shadowRadius)
    , shadowY_(shadowY) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(shadowMargins());
    layout->setSpacing(0);
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

QMargins Surface::shadowMargins() const {
    const int side = static_cast<int>(std::ceil(shadowRadius_));
    const int top = static_cast<int>(std::ceil(std::max(0.0, shadowRadius_ - shadowY_)));
    const int bottom = static_cast<int>(std::ceil(shadowRadius_ + std::max(0.0, shadowY_)));
    return {side, top, side, bottom};
}

QRectF Surface::cardRect() const {
    return QRectF(rect()).marginsRemoved(shadowMargins());
}

void Surface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = ColorScheme::of(this) == ColorScheme::Scheme::dark;
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const QRectF card = cardRect();
    const QPainterPath shape = ShapePainter::roundedRect(card, cornerRadius_);

    SoftShadow::paintRoundedRect(
        painter, card, cornerRadius_,
        DesignColors::withOpacity(DesignColors::black(), dark ? 0.4 : 0.08), shadowRadius_,
        QPointF(0, shadowY_));
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
