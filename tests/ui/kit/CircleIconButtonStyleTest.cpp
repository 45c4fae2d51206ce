#include "ui/kit/CircleIconButtonStyle.h"

#include "ButtonHover.h"
#include "ui/kit/KitButton.h"

#include <gtest/gtest.h>

#include <QTest>

#include <memory>

namespace quorvane {
namespace {

using test::hover;

TEST(CircleIconButtonStyleTest, PressWinsOverHoverAndHoverFirmsTheDisc) {
    KitButton button(std::make_unique<CircleIconButtonStyle>());
    button.setSymbol("xmark");
    const auto& style = static_cast<const CircleIconButtonStyle&>(button.style());
    EXPECT_DOUBLE_EQ(style.discOpacity(button.state()), 0.85);

    hover(button, true);
    EXPECT_TRUE(button.isHovered());
    EXPECT_DOUBLE_EQ(button.targetScale(), 1.05);
    EXPECT_DOUBLE_EQ(style.discOpacity(button.state()), 1.0);

    button.resize(button.sizeHint());
    button.show();
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(16, 16));
    EXPECT_DOUBLE_EQ(button.targetScale(), 0.95);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(16, 16));
    EXPECT_DOUBLE_EQ(button.targetScale(), 1.05);

    hover(button, false);
    EXPECT_DOUBLE_EQ(button.targetScale(), 1.0);
    EXPECT_DOUBLE_EQ(style.discOpacity(button.state()), 0.85);
}

} // namespace
} // namespace quorvane
