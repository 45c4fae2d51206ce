#include "ui/panel/PanelBadge.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignGradients.h"
#include "ui/kit/ShapePainter.h"
#include "ui/kit/SoftShadow.h"
#include "ui/kit/Symbols.h"

#include <QPainter>

#include <cmath>

namespace quorvane {

namespace {

constexpr qreal cornerRadius = 9;
constexpr qreal symbolSize = 15;
constexpr qreal shadowRadius = 6;
constexpr qreal shadowY = 2;
constexpr qreal shadowOpacity = 0.3;

int margin() {
    return static_cast<int>(std::ceil(SoftShadow::reach(shadowRadius, shadowY)));
}

} // namespace

PanelBadge::PanelBadge(QWidget* parent)
    : QWidget(parent) {
    setFixedSize(sizeHint());
    setAccessibleName(QStringLiteral("Quorvane"));
}

QSize PanelBadge::sizeHint() const {
    const int length = static_cast<int>(side) + 2 * margin();
    return {length, length};
}

void PanelBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const QRectF square(margin(), margin(), side, side);
    SoftShadow::paintRoundedRect(
        painter, square, cornerRadius,
        DesignColors::withOpacity(DesignColors::purple(scheme), shadowOpacity), shadowRadius,
        QPointF(0, shadowY));
    ShapePainter::fillRoundedRect(painter, square, cornerRadius,
                                  QBrush(DesignGradients::primary(square, scheme)));
    Symbols::paint(painter, square, "wand.and.stars", symbolSize, DesignColors::white());
}

} // namespace quorvane
