#include "ui/kit/SoftButtonStyle.h"

#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/ShapePainter.h"

namespace quorvane {

namespace {

using Metrics = DesignMetrics::SoftButton;

} // namespace

QSizeF SoftButtonStyle::sizeFor(const QSizeF& labelSize) const {
    const qreal x = isSmall() ? Metrics::smallHorizontalPadding : Metrics::horizontalPadding;
    const qreal y = isSmall() ? Metrics::smallVerticalPadding : Metrics::verticalPadding;
    return {labelSize.width() + 2 * x, labelSize.height() + 2 * y};
}

QFont SoftButtonStyle::labelFont() const {
    return DesignFonts::system(isSmall() ? smallLabelSize : 13, QFont::Medium);
}

QColor SoftButtonStyle::labelColor(ColorScheme::Scheme scheme) const {
    return DesignColors::primary(scheme);
}

qreal SoftButtonStyle::scale(const State& state) const {
    return state.pressed ? 0.97 : 1.0;
}

const Spring& SoftButtonStyle::scaleSpring() const {
    return DesignSprings::snappy;
}

void SoftButtonStyle::paintBackground(QPainter& painter, const QRectF& rect,
                                      ColorScheme::Scheme scheme, const State&) const {
    const qreal radius = isSmall() ? Metrics::smallCornerRadius : Metrics::cornerRadius;
    ShapePainter::fillRoundedRect(painter, rect, radius, DesignColors::regularMaterial(scheme));
    const qreal rimOpacity = scheme == ColorScheme::Scheme::dark ? 0.16 : 0.08;
    ShapePainter::strokeRoundedRectInside(
        painter, rect, radius, DesignColors::withOpacity(DesignColors::primary(scheme), rimOpacity),
        1);
}

} // namespace quorvane
