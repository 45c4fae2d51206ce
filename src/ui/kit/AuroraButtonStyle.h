// The primary call to action: white semibold label on the indigo-to-purple
// gradient, 42 high, either a fixed width or the label plus 18 a side.
#pragma once

#include "ui/kit/ButtonStyle.h"

#include <optional>

namespace quorvane {

class AuroraButtonStyle : public ButtonStyle {
public:
    explicit AuroraButtonStyle(std::optional<qreal> width = std::nullopt);

    std::optional<qreal> width() const { return width_; }

    QSizeF sizeFor(const QSizeF& labelSize) const override;
    QFont labelFont() const override;
    QColor labelColor(ColorScheme::Scheme scheme) const override;
    qreal scale(const State& state) const override;
    const Spring& scaleSpring() const override;
    void paintBackground(QPainter& painter, const QRectF& rect, ColorScheme::Scheme scheme,
                         const State& state) const override;

private:
    std::optional<qreal> width_;
};

} // namespace quorvane
