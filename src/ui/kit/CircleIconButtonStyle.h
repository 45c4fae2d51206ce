// The round icon buttons of the panel header: a 32-point material disc that
// firms up and grows a little under the mouse and shrinks while pressed.
#pragma once

#include "ui/kit/ButtonStyle.h"
#include "ui/kit/DesignMetrics.h"

namespace quorvane {

class CircleIconButtonStyle : public ButtonStyle {
public:
    static constexpr qreal diameter = DesignMetrics::CircleIconButton::diameter;

    QSizeF sizeFor(const QSizeF& labelSize) const override;
    qreal paintMargin() const override;
    QFont labelFont() const override;
    QColor labelColor(ColorScheme::Scheme scheme) const override;
    qreal scale(const State& state) const override;
    const Spring& scaleSpring() const override;
    void paintBackground(QPainter& painter, const QRectF& rect, ColorScheme::Scheme scheme,
                         const State& state) const override;

    qreal discOpacity(const State& state) const;
};

} // namespace quorvane
