#include "ui/kit/SoftShadow.h"

#include "ui/kit/ShapePainter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

namespace quorvane {
namespace {

// A square's shadow, painted alone on a transparent image.
QImage shadowOfSquare(qreal radius, QPointF offset) {
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QPainterPath square;
    square.addRect(QRectF(60, 60, 80, 80));
    SoftShadow::paint(painter, square, QColor(200, 40, 90, 200), radius, offset);
    return image;
}

int alphaAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y));
}

TEST(SoftShadowTest, FullInsideFadingOutsideAndNothingPastItsReach) {
    const qreal radius = 26;
    const QImage image = shadowOfSquare(radius, {});
    const QColor inside = image.pixelColor(100, 100);
    EXPECT_NEAR(inside.alpha(), 200, 1) << "the colour's own alpha deep inside";
    EXPECT_NEAR(inside.red(), 200, 1);
    EXPECT_NEAR(inside.green(), 40, 1);
    EXPECT_NEAR(inside.blue(), 90, 1);
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

// A rounded rectangle's shadow, blurred small and stretched, against the blur of the whole path.
struct StretchCase {
    std::string name;
    QRectF rect;
    qreal cornerRadius;
    qreal ringWidth; // 0 for a filled rectangle
    qreal radius;
    QPointF offset;
};

void PrintTo(const StretchCase& row, std::ostream* out) {
    *out << row.name;
}

class SoftShadowStretchTest : public testing::TestWithParam<StretchCase> {};

// The ring as the rim used to build it: a 2-px stroke just inside the outline.
QPainterPath strokedRing(const StretchCase& row) {
    QPainterPathStroker stroker;
    stroker.setWidth(row.ringWidth);
    const qreal half = row.ringWidth / 2;
    return stroker.createStroke(ShapePainter::roundedRect(
        row.rect.adjusted(half, half, -half, -half), std::max(0.0, row.cornerRadius - half)));
}

QImage painted(const StretchCase& row, const std::function<void(QPainter&)>& paint) {
    const int room = static_cast<int>(SoftShadow::reach(row.radius, 0)) + 20;
    const QRectF area = row.rect.adjusted(-room, -room, room, room);
    QImage image(static_cast<int>(area.right()) + 1, static_cast<int>(area.bottom()) + 1,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return image;
}

TEST_P(SoftShadowStretchTest, MatchesTheShadowOfTheWholePath) {
    const StretchCase& row = GetParam();
    const QColor color(40, 20, 90, 180);
    const QImage whole = painted(row, [&](QPainter& painter) {
        const QPainterPath shape = row.ringWidth > 0
                                       ? strokedRing(row)
                                       : ShapePainter::roundedRect(row.rect, row.cornerRadius);
        SoftShadow::paint(painter, shape, color, row.radius, row.offset);
    });
    const QImage stretched = painted(row, [&](QPainter& painter) {
        if (row.ringWidth > 0) {
            SoftShadow::paintRoundedRing(painter, row.rect, row.cornerRadius, row.ringWidth, color,
                                         row.radius, row.offset);
        } else {
            SoftShadow::paintRoundedRect(painter, row.rect, row.cornerRadius, color, row.radius,
                                         row.offset);
        }
    });
    int worst = 0;
    QPoint where;
    int strongest = 0;
    for (int y = 0; y < whole.height(); ++y) {
        const auto* expected = reinterpret_cast<const QRgb*>(whole.constScanLine(y));
        const auto* actual = reinterpret_cast<const QRgb*>(stretched.constScanLine(y));
        for (int x = 0; x < whole.width(); ++x) {
            strongest = std::max(strongest, qAlpha(actual[x]));
            const int difference = std::max({std::abs(qAlpha(expected[x]) - qAlpha(actual[x])),
                                             std::abs(qRed(expected[x]) - qRed(actual[x])),
                                             std::abs(qGreen(expected[x]) - qGreen(actual[x])),
                                             std::abs(qBlue(expected[x]) - qBlue(actual[x]))});
            if (difference > worst) {
                worst = difference;
                where = QPoint(x, y);
            }
        }
    }
    EXPECT_LE(worst, 2) << "at " << where.x() << "," << where.y();
    EXPECT_GT(strongest, 0) << "the shadow was drawn";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SoftShadowStretchTest,
    testing::Values(
        StretchCase{"editorCard", QRectF(27, 17, 440, 280), 22, 0, 26, QPointF(0, 10)},
        StretchCase{"fractionalPlaceAndSize", QRectF(30.5, 20.25, 301.5, 97.75), 12.5, 0, 8,
                    QPointF(0, 3)},
        StretchCase{"smallerThanTheBlurReach", QRectF(40, 40, 44, 30), 9, 0, 26, QPointF(0, 10)},
        StretchCase{"longAndThinWithTheCornerClamped", QRectF(12, 12, 400, 24), 22, 0, 6,
                    QPointF(0, 2)},
        StretchCase{"tooLittleBlurForABox", QRectF(5, 5, 200, 100), 10, 0, 1, QPointF(-2, 1)},
        StretchCase{"squareCorners", QRectF(30, 30, 160, 90), 0, 0, 12, QPointF(0, 0)},
        StretchCase{"rimGlow", QRectF(13, 13, 440, 280), 22, 2, 12, QPointF(0, 0)},
        StretchCase{"rimGlowOfASmallCard", QRectF(13, 13, 50, 70), 22, 2, 12, QPointF(0, 0)}),
    [](const testing::TestParamInfo<StretchCase>& info) { return info.param.name; });

} // namespace
} // namespace quorvane
