#include "ui/kit/ShapePainter.h"

#include <QPainter>
#include <QPen>

#include <algorithm>

namespace quorvane {

namespace {

QPen insidePen(const QBrush& brush, qreal lineWidth) {
    QPen pen(brush, lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

QRectF insetByHalf(const QRectF& rect, qreal lineWidth) {
    const qreal half = lineWidth / 2.0;
    return rect.adjusted(half, half, -half, -half);
}

} // namespace

QPainterPath ShapePainter::roundedRect(const QRectF& rect, qreal cornerRadius) {
    const qreal radius = std::clamp(cornerRadius, 0.0, std::min(rect.width(), rect.height()) / 2);
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void ShapePainter::fillRoundedRect(QPainter& painter, const QRectF& rect, qreal cornerRadius,
                                   const QBrush& brush) {
    painter.fillPath(roundedRect(rect, cornerRadius), brush);
}

void ShapePainter::strokeRoundedRectInside(QPainter& painter, const QRectF& rect,
                                           qreal cornerRadius, const QBrush& brush,
                                           qreal lineWidth) {
    if (lineWidth <= 0) {
        return;
    }
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(insidePen(brush, lineWidth));
    painter.drawPath(
        roundedRect(insetByHalf(rect, lineWidth), std::max(0.0, cornerRadius - lineWidth / 2)));
    painter.restore();
}

void ShapePainter::fillCircle(QPainter& painter, const QRectF& rect, const QBrush& brush) {
    QPainterPath path;
    path.addEllipse(rect);
    painter.fillPath(path, brush);
}

void ShapePainter::strokeCircleInside(QPainter& painter, const QRectF& rect, const QBrush& brush,
                                      qreal lineWidth) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(insidePen(brush, lineWidth));
    painter.drawEllipse(insetByHalf(rect, lineWidth));
    painter.restore();
}

} // namespace quorvane
