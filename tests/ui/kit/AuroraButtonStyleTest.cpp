#include "ui/kit/AuroraButtonStyle.h"

#include "support/Render.h"
#include "ui/kit/KitButton.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QFontMetricsF>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <memory>

namespace quorvane {
namespace {

TEST(AuroraButtonStyleTest, NaturalWidthPadsTheLabelAndFixedWidthCentresIt) {
    KitButton natural(std::make_unique<AuroraButtonStyle>());
    natural.setText(QStringLiteral("Enhance"));
    const QFontMetricsF metrics(natural.style().labelFont());
    EXPECT_EQ(natural.sizeHint(),
              QSize(static_cast<int>(std::ceil(metrics.horizontalAdvance("Enhance") + 36)), 42));

    KitButton fixed(std::make_unique<AuroraButtonStyle>(160));
    fixed.setText(QStringLiteral("Go"));
    EXPECT_EQ(fixed.sizeHint(), QSize(160, 42));
    fixed.resize(fixed.sizeHint());
    // The white label is the only near-white ink on the gradient.
    const QImage image = test::render(fixed);
    int left = image.width();
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.green() > 200 && pixel.red() > 200) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    ASSERT_GE(right, left);
    EXPECT_NEAR((left + right) / 2.0, 80.0, 3.0);
}

} // namespace
} // namespace quorvane
