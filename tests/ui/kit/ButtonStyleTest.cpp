#include "ui/kit/ButtonStyle.h"

#include "ButtonHover.h"
#include "support/Render.h"
#include "ui/kit/AuroraButtonStyle.h"
#include "ui/kit/CircleIconButtonStyle.h"
#include "ui/kit/KitButton.h"
#include "ui/kit/SoftButtonStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

namespace quorvane {
namespace {

using test::hover;

void waitForScale(const KitButton& button) {
    QElapsedTimer safety;
    safety.start();
    while (std::abs(button.currentScale() - button.targetScale()) > 1e-9 &&
           safety.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// Every style, on a kit button.
struct StyleCase {
    const char* name;
    std::function<std::unique_ptr<ButtonStyle>()> make;
    qreal pressedScale;
};

class ButtonStyleTest : public testing::TestWithParam<StyleCase> {};

TEST_P(ButtonStyleTest, DisabledButtonKeepsItsLayoutAndDrawsAtReducedOpacity) {
    KitButton button(GetParam().make());
    button.setText(QStringLiteral("Variations"));
    button.resize(button.sizeHint());
    const QSize enabledSize = button.sizeHint();
    const QPoint sample(4, button.height() / 2);
    const int enabledAlpha = test::render(button).pixelColor(sample).alpha();

    button.setEnabled(false);
    EXPECT_EQ(button.sizeHint(), enabledSize);
    EXPECT_DOUBLE_EQ(button.style().opacity(button.state()), 0.45);
    const int disabledAlpha = test::render(button).pixelColor(sample).alpha();
    ASSERT_GT(enabledAlpha, 0);
    EXPECT_NEAR(static_cast<double>(disabledAlpha) / enabledAlpha, 0.45, 0.03);
}

TEST_P(ButtonStyleTest, PressSpringsToThePressedScaleAndBack) {
    KitButton button(GetParam().make());
    button.setText(QStringLiteral("Go"));
    button.resize(button.sizeHint());
    button.show();
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_DOUBLE_EQ(button.targetScale(), GetParam().pressedScale);
    waitForScale(button);
    EXPECT_DOUBLE_EQ(button.currentScale(), GetParam().pressedScale);

    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(8, 8));
    // The pointer is still over the button; take it away so that no style
    // keeps a hover scale.
    hover(button, false);
    waitForScale(button);
    EXPECT_DOUBLE_EQ(button.currentScale(), 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, ButtonStyleTest,
    testing::Values(
        StyleCase{"Aurora", [] { return std::make_unique<AuroraButtonStyle>(); }, 0.96},
        StyleCase{"AuroraFixed", [] { return std::make_unique<AuroraButtonStyle>(160); }, 0.96},
        StyleCase{"Soft", [] { return std::make_unique<SoftButtonStyle>(); }, 0.97},
        StyleCase{"Circle", [] { return std::make_unique<CircleIconButtonStyle>(); }, 0.95}),
    [](const testing::TestParamInfo<StyleCase>& info) { return std::string(info.param.name); });

// The small size is smaller in every direction it is free to shrink, and only where asked for.
TEST(ControlSizeTest, SmallButtonsAreSmallerThanRegularOnes) {
    struct Case {
        const char* name;
        std::function<std::unique_ptr<ButtonStyle>()> make;
        bool keepsWidth;
    };
    const Case cases[] = {
        {"Soft", [] { return std::make_unique<SoftButtonStyle>(); }, false},
        {"Aurora", [] { return std::make_unique<AuroraButtonStyle>(); }, false},
        {"AuroraFixed", [] { return std::make_unique<AuroraButtonStyle>(160); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KitButton regular(c.make());
        KitButton small(c.make());
        for (KitButton* button : {&regular, &small}) {
            button->setText(QStringLiteral("Use this"));
        }
        EXPECT_EQ(regular.controlSize(), ControlSize::regular);
        const QSize regularHint = regular.sizeHint();
        small.setControlSize(ControlSize::small);
        EXPECT_LT(small.sizeHint().height(), regularHint.height());
        EXPECT_LT(small.style().labelFont().pixelSize(), regular.style().labelFont().pixelSize());
        if (c.keepsWidth) {
            EXPECT_EQ(small.sizeHint().width(), regularHint.width());
        } else {
            EXPECT_LT(small.sizeHint().width(), regularHint.width());
        }
        small.setControlSize(ControlSize::regular);
        EXPECT_EQ(small.sizeHint(), regularHint);
    }
}

} // namespace
} // namespace quorvane
