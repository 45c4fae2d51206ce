#include "ui/panel/HeaderCapsule.h"

#include "ui/kit/DesignColors.h"
#include "ui/kit/ShapePainter.h"

#include <QBrush>

namespace quorvane {

namespace {

constexpr qreal rimOpacity = 0.12;

} // namespace

void HeaderCapsule::paint(QPainter& painter, const QRectF& capsule, ColorScheme::Scheme scheme) {
    const qreal radius = capsule.height() / 2;
    ShapePainter::fillRoundedRect(painter, capsule, radius,
                                  QBrush(DesignColors::regularMaterial(scheme)));
    ShapePainter::strokeRoundedRectInside(
        painter, capsule, radius,
        QBrush(DesignColors::withOpacity(DesignColors::primary(scheme), rimOpacity)), 1);
}

} // namespace quorvane
