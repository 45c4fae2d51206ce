#include "ui/kit/AuroraButtonStyle.h"

#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignGradients.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/ShapePainter.h"

namespace quorvane {

namespace {

using Metrics = DesignMetrics::AuroraButton;

} // namespace

AuroraButtonStyle::AuroraButtonStyle(std::optional<qreal> width)
    : width_(width) {}

QSizeF AuroraButtonStyle::sizeFor(const QSizeF& labelSize) const {
    const qreal h = isSmall() ? Metrics::smallHeight : Metrics::height;
    if (width_) {
        return {*width_, h};
    }
    return {labelSize.width() +
                2 * (isSmall() ? Metrics::smallHorizontalPadding : Metrics::horizontalPadding),
            h};
}

QFont AuroraButtonStyle::labelFont() const {
    return DesignFonts::system(isSmall() ? smallLabelSize : 13, QFont::DemiBold);
}

QColor AuroraButtonStyle::labelColor(ColorScheme::Scheme) const {
    return DesignColors::white();
}

qreal AuroraButtonStyle::scale(const State& state) const {
    return state.pressed ? 0.96 : 1.0;
}

const Spring& AuroraButtonStyle::scaleSpring() const {
    return DesignSprings::press;
}

void AuroraButtonStyle::paintBackground(QPainter& painter, const QRectF& rect,
                                        ColorScheme::Scheme scheme, const State&) const {
    ShapePainter::fillRoundedRect(painter, rect,
                                  isSmall() ? Metrics::smallCornerRadius : Metrics::cornerRadius,
                                  DesignGradients::primary(rect, scheme));
}

} // namespace quorvane
