#include "ui/kit/SoftShadow.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace quorvane {
namespace {

// A square's shadow, painted alone on a transparent image.
QImage shadowOfSquare(qreal radius, QPointF offset) {
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QPainterPath square;
    square.addRect(QRectF(60, 60, 80, 80));
    SoftShadow::paint(painter, square, QColor(0, 0, 0, 200), radius, offset);
    return image;
}

int alphaAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y));
}

TEST(SoftShadowTest, FullInsideFadingOutsideAndNothingPastItsReach) {
    const qreal radius = 26;
    const QImage image = shadowOfSquare(radius, {});
    EXPECT_NEAR(alphaAt(image, 100, 100), 200, 1) << "the colour's own alpha deep inside";
    const int reach = static_cast<int>(SoftShadow::reach(radius, 0));
    EXPECT_EQ(alphaAt(image, 140 + reach + 1, 100), 0);
    EXPECT_EQ(alphaAt(image, 100, 60 - reach - 2), 0);
    // Falling off steadily across the edge, and the same on every side.
    int previous = 256;
    for (int x = 120; x <= 140 + reach; x += 4) {
        const int alpha = alphaAt(image, x, 100);
        EXPECT_LE(alpha, previous) << x;
        previous = alpha;
        EXPECT_EQ(alpha, alphaAt(image, 199 - x, 100)) << x;
        EXPECT_EQ(alpha, alphaAt(image, 100, x)) << x;
    }
    EXPECT_GT(alphaAt(image, 150, 100), 0) << "the blur reaches past the shape";
    EXPECT_LT(alphaAt(image, 140, 100), 200) << "and softens its edge";
}

TEST(SoftShadowTest, OffsetMovesTheWholeShadow) {
    const QImage centred = shadowOfSquare(12, {});
    const QImage lowered = shadowOfSquare(12, {0, 10});
    for (const int y : {50, 70, 100, 140, 155}) {
        EXPECT_EQ(alphaAt(lowered, 100, y + 10), alphaAt(centred, 100, y)) << y;
        EXPECT_EQ(alphaAt(lowered, 150, y + 10), alphaAt(centred, 150, y)) << y;
    }
}

} // namespace
} // namespace quorvane
