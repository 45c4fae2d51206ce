#include "ui/panel/EditorSurface.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"

#include <QPainter>
#include <QPainterPath>

namespace quorvane {

EditorSurface::EditorSurface(QWidget* parent)
    : QWidget(parent) {}

void EditorSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(shape, DesignColors::regularMaterial(ColorScheme::of(this)));
}

} // namespace quorvane
