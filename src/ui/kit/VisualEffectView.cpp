#include "ui/kit/VisualEffectView.h"

#include "ui/kit/DesignColors.h"

#include <QPainter>

namespace quorvane {

namespace {

// How much denser each material is than the regular one; without a blur
// behind it the denser fills keep text readable over a busy desktop.
qreal density(VisualEffectView::Material material) {
    switch (material) {
    case VisualEffectView::Material::popover:
        return 1.15;
    case VisualEffectView::Material::menu:
        return 1.2;
    case VisualEffectView::Material::sidebar:
        return 1.0;
    case VisualEffectView::Material::hudWindow:
        return 1.1;
    case VisualEffectView::Material::windowBackground:
        return 1.25;
    }
    return 1.0;
}

} // namespace

VisualEffectView::VisualEffectView(Material material, BlendingMode blending, QWidget* parent)
    : QWidget(parent)
    , m_material(material)
    , m_blending(blending) {
    setAttribute(Qt::WA_NoSystemBackground);
}

void VisualEffectView::setEffect(Material material, BlendingMode blending) {
    m_material = material;
    m_blending = blending;
    update();
}

QColor VisualEffectView::fill(Material material, ColorScheme::Scheme scheme) {
    QColor color = DesignColors::regularMaterial(scheme);
    color.setAlphaF(qMin<qreal>(1.0, color.alphaF() * density(material)));
    return color;
}

void VisualEffectView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), fill(m_material, ColorScheme::of(this)));
}

} // namespace quorvane
