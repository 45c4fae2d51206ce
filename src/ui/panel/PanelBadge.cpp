#include "ui/panel/PanelBadge.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignGradients.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/ShapePainter.h"
#include "ui/kit/SoftShadow.h"
#include "ui/kit/Symbols.h"

#include <QPainter>

#include <cmath>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::PanelBadge;

constexpr qreal shadowOpacity = 0.3;

int margin() {
    return static_cast<int>(std::ceil(SoftShadow::reach(Metrics::shadowRadius, Metrics::shadowY)));
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
        painter, square, Metrics::cornerRadius,
        DesignColors::withOpacity(DesignColors::purple(scheme), shadowOpacity),
        Metrics::shadowRadius, QPointF(0, Metrics::shadowY));
    ShapePainter::fillRoundedRect(painter, square, Metrics::cornerRadius,
                                  QBrush(DesignGradients::primary(square, scheme)));
    Symbols::paint(painter, square, "wand.and.stars", Metrics::symbolSize, DesignColors::white());
}

} // namespace quorvane
