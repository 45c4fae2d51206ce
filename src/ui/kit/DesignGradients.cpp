#include "ui/kit/DesignGradients.h"

#include "ui/kit/DesignColors.h"

#include <QList>

namespace quorvane {

namespace {

template <typename Gradient>
void setEvenStops(Gradient& gradient, const QList<QColor>& colors) {
    const qsizetype last = colors.size() - 1;
    for (qsizetype i = 0; i <= last; ++i) {
        gradient.setColorAt(static_cast<qreal>(i) / static_cast<qreal>(last), colors[i]);
    }
}

} // namespace

// The same deep stops in both looks, the purple a step deeper still: white labels sit on this
// fill, and on the paler stops they fall short of 4.5:1 towards the purple end.
QLinearGradient DesignGradients::primary(const QRectF& rect, ColorScheme::Scheme) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
    setEvenStops(gradient, {DesignColors::indigo(ColorScheme::Scheme::light),
                            DesignColors::purple(ColorScheme::Scheme::light).darker(110)});
    return gradient;
}

QLinearGradient DesignGradients::spectrum(const QRectF& rect, ColorScheme::Scheme scheme) {
    const qreal middle = rect.center().y();
    QLinearGradient gradient(QPointF(rect.left(), middle), QPointF(rect.right(), middle));
    setEvenStops(gradient, {DesignColors::indigo(scheme), DesignColors::purple(scheme),
                            DesignColors::cyan(scheme)});
    return gradient;
}

QConicalGradient DesignGradients::aurora(const QRectF& rect, qreal angleDegrees,
                                         ColorScheme::Scheme scheme) {
    // Qt turns conical gradients counter-clockwise from three o'clock; the
    // ring turns clockwise on screen, hence the negated angle.
    QConicalGradient gradient(rect.center(), -angleDegrees);
    setEvenStops(gradient, {DesignColors::indigo(scheme), DesignColors::purple(scheme),
                            DesignColors::cyan(scheme), DesignColors::indigo(scheme)});
    return gradient;
}

} // namespace quorvane
