#include "OnboardingIconTile.h"

#include "ui/kit/DesignColors.h"
#include "ui/kit/SoftShadow.h"
#include "ui/kit/Symbols.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace quorvane {

OnboardingIconTile::OnboardingIconTile(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(sizeHint());
    setAccessibleName(QStringLiteral("Quorvane"));
}

qreal OnboardingIconTile::margin() const {
    return SoftShadow::reach(shadowRadius, shadowOffset);
}

QSize OnboardingIconTile::sizeHint() const {
    const int extent = int(std::ceil(side + 2 * margin()));
    return {extent, extent};
}

void OnboardingIconTile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF tile((width() - side) / 2, (height() - side) / 2, side, side);
    QPainterPath shape;
    shape.addRoundedRect(tile, cornerRadius, cornerRadius);

    SoftShadow::paint(painter, shape, DesignColors::withOpacity(DesignColors::black(), 0.2),
                      shadowRadius, QPointF(0, shadowOffset));

    QLinearGradient gradient(tile.topLeft(), tile.bottomLeft());
    gradient.setColorAt(0, QColor::fromRgbF(0.40f, 0.34f, 0.97f));
    gradient.setColorAt(1, QColor::fromRgbF(0.62f, 0.29f, 0.93f));
    painter.fillPath(shape, gradient);

    Symbols::paint(painter, tile, "wand.and.stars", symbolSize, DesignColors::white());
}

} // namespace quorvane
