// Painter helpers for the kit's shapes: rounded rectangles and circles,
// filled or stroked inside their outline (the shape inset by half the line
// width, butt caps, miter joins, miter limit 10).
#pragma once

#include <QBrush>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace quorvane {

class ShapePainter {
public:
    static QPainterPath roundedRect(const QRectF& rect, qreal cornerRadius);

    static void fillRoundedRect(QPainter& painter, const QRectF& rect, qreal cornerRadius,
                                const QBrush& brush);
    static void strokeRoundedRectInside(QPainter& painter, const QRectF& rect, qreal cornerRadius,
                                        const QBrush& brush, qreal lineWidth);
    static void fillCircle(QPainter& painter, const QRectF& rect, const QBrush& brush);
    static void strokeCircleInside(QPainter& painter, const QRectF& rect, const QBrush& brush,
                                   qreal lineWidth);
};

} // namespace quorvane
