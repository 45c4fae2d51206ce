#include "ui/kit/PushButtonSize.h"

#include "ui/kit/ButtonStyle.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QPushButton>
#include <QWidget>

namespace quorvane {
namespace {

TEST(PushButtonSizeTest, SmallPushButtonsTakeTheSmallFontAndGoBackToTheInheritedOne) {
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
