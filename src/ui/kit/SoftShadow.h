// A blurred drop shadow of a shape, painted under it. Qt offers no blur to
// a painter, so the shape's silhouette is rendered to an image and blurred
// with three box passes, which is close to a Gaussian.
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>

class QPainter;

namespace quorvane {

class SoftShadow {
public:
    // How far a shadow of this radius and offset reaches past the shape.
    static qreal reach(qreal radius, qreal offset);

    static void paint(QPainter& painter, const QPainterPath& shape, const QColor& color,
                      qreal radius, const QPointF& offset);
};

} // namespace quorvane
