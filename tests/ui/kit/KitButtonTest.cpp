#include "ui/kit/KitButton.h"

#include "support/Render.h"
#include "ui/kit/AuroraButtonStyle.h"
#include "ui/kit/CircleIconButtonStyle.h"
#include "ui/kit/PushButtonSize.h"
#include "ui/kit/SoftButtonStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QFontMetricsF>
#include <QImage>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>

namespace quorvane {
namespace {

void hover(QWidget& widget, bool inside) {
    if (inside) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&widget, &leave);
    }
}

void waitForScale(const KitButton& button) {
    QElapsedTimer safety;
    safety.start();
    while (std::abs(button.currentScale() - button.targetScale()) > 1e-9 &&
           safety.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

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

TEST(KitButtonTest, ClickRunsTheActionOnlyWhileEnabled) {
    KitButton button(std::make_unique<SoftButtonStyle>());
    button.setText(QStringLiteral("Clear"));
    button.resize(button.sizeHint());
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
}

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

TEST(ControlSizeTest, SmallPushButtonsTakeTheSmallFontAndGoBackToTheInheritedOne) {
    QWidget parent;
    QFont inherited = parent.font();
    inherited.setPixelSize(15);
    parent.setFont(inherited);
    QPushButton regular(QStringLiteral("Done"), &parent);
    QPushButton small(QStringLiteral("Done"), &parent);
    PushButtonSize::apply(small, ControlSize::small);
    EXPECT_EQ(small.font().pixelSize(), static_cast<int>(ButtonStyle::smallLabelSize));
    EXPECT_TRUE(small.testAttribute(Qt::WA_MacSmallSize));
    EXPECT_LT(small.sizeHint().height(), regular.sizeHint().height());

    PushButtonSize::apply(small, ControlSize::regular);
    EXPECT_EQ(small.font().pixelSize(), 15);
    EXPECT_FALSE(small.testAttribute(Qt::WA_MacSmallSize));
}

} // namespace
} // namespace quorvane
