// A blurred drop shadow of a shape, painted under it. Qt offers no blur to
// a painter, so the shape's silhouette is rendered to an image and blurred
// with three box passes, which is close to a Gaussian.
//
// A rounded rectangle's blurred silhouette does not change along a side once
// the blur no longer reaches a corner, so its shadow is blurred at the
// smallest size that still has such a stretch on each side and drawn
// stretched to the full size: the cost follows the corners and the blur, not
// the area.
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace quorvane {

class SoftShadow {
public:
    // How far a shadow of this radius and offset reaches past the shape.
    static qreal reach(qreal radius, qreal offset);

    static void paint(QPainter& painter, const QPainterPath& shape, const QColor& color,
                      qreal radius, const QPointF& offset);

    // The same as painting ShapePainter::roundedRect(rect, cornerRadius).
    static void paintRoundedRect(QPainter& painter, const QRectF& rect, qreal cornerRadius,
                                 const QColor& color, qreal radius, const QPointF& offset);

    // The shadow of the band ringWidth wide just inside the outline of the
    // rounded rectangle: a glow round a frame rather than under a card.
    static void paintRoundedRing(QPainter& painter, const QRectF& rect, qreal cornerRadius,
                                 qreal ringWidth, const QColor& color, qreal radius,
                                 const QPointF& offset);
};

} // namespace quorvane
