// The secondary button: medium label in the primary colour on the regular
// material with a hairline rim.
#pragma once

#include "ui/kit/ButtonStyle.h"

namespace quorvane {

class SoftButtonStyle : public ButtonStyle {
public:
    QSizeF sizeFor(const QSizeF& labelSize) const override;
    QFont labelFont() const override;
    QColor labelColor(ColorScheme::Scheme scheme) const override;
    qreal scale(const State& state) const override;
    const Spring& scaleSpring() const override;
    void paintBackground(QPainter& painter, const QRectF& rect, ColorScheme::Scheme scheme,
                         const State& state) const override;
};

} // namespace quorvane
