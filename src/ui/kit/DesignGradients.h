// The kit's shared gradients. Qt gradients live in the coordinates of what
// they fill, so each one is made for the rectangle it paints.
#pragma once

#include "ui/kit/ColorScheme.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QRectF>

namespace quorvane {

class DesignGradients {
public:
    // Indigo to purple, top leading to bottom trailing.
    static QLinearGradient primary(const QRectF& rect, ColorScheme::Scheme scheme);
    // Indigo, purple, cyan, leading to trailing.
    static QLinearGradient spectrum(const QRectF& rect, ColorScheme::Scheme scheme);
    // Indigo, purple, cyan and back to indigo around the centre, so that the
    // seam does not show while the ring turns.
    static QConicalGradient aurora(const QRectF& rect, qreal angleDegrees,
                                   ColorScheme::Scheme scheme);
};

} // namespace quorvane
