#include "ui/kit/CircleIconButtonStyle.h"

#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/ShapePainter.h"

#include <QPainter>

#include <cmath>

namespace quorvane {

QSizeF CircleIconButtonStyle::sizeFor(const QSizeF&) const {
    return {diameter, diameter};
}

// 5% growth of a 32-point disc needs 0.8 points a side.
qreal CircleIconButtonStyle::paintMargin() const {
    return 1;
}

QFont CircleIconButtonStyle::labelFont() const {
    return DesignFonts::system(13, QFont::Medium);
}

QColor CircleIconButtonStyle::labelColor(ColorScheme::Scheme scheme) const {
    return DesignColors::secondary(scheme);
}

qreal CircleIconButtonStyle::scale(const State& state) const {
    if (state.pressed) {
        return 0.95;
    }
    return state.hovered ? 1.05 : 1.0;
}

const Spring& CircleIconButtonStyle::scaleSpring() const {
    return DesignSprings::snappy;
}

qreal CircleIconButtonStyle::discOpacity(const State& state) const {
    return (state.hovered || state.pressed) ? 1.0 : 0.85;
}

void CircleIconButtonStyle::paintBackground(QPainter& painter, const QRectF& rect,
                                            ColorScheme::Scheme scheme, const State& state) const {
    painter.save();
    painter.setOpacity(painter.opacity() * discOpacity(state));
    ShapePainter::fillCircle(painter, rect, DesignColors::regularMaterial(scheme));
    painter.restore();
    const qreal rimOpacity = scheme == ColorScheme::Scheme::dark ? 0.12 : 0.07;
    ShapePainter::strokeCircleInside(
        painter, rect, DesignColors::withOpacity(DesignColors::primary(scheme), rimOpacity), 1);
}

} // namespace quorvane
