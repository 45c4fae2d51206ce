#include "ui/kit/AuroraButtonStyle.h"

#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignGradients.h"
#include "ui/kit/ShapePainter.h"

namespace quorvane {

namespace {

constexpr qreal height = 42;
constexpr qreal horizontalPadding = 18;
constexpr qreal cornerRadius = 12;

} // namespace

AuroraButtonStyle::AuroraButtonStyle(std::optional<qreal> width)
    : width_(width) {}

QSizeF AuroraButtonStyle::sizeFor(const QSizeF& labelSize) const {
    if (width_) {
        return {*width_, height};
    }
    return {labelSize.width() + 2 * horizontalPadding, height};
}

QFont AuroraButtonStyle::labelFont() const {
    return DesignFonts::system(13, QFont::DemiBold);
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
    ShapePainter::fillRoundedRect(painter, rect, cornerRadius,
                                  DesignGradients::primary(rect, scheme));
}

} // namespace quorvane
