#include "ui/kit/KitButton.h"

#include "ui/kit/SoftButtonStyle.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>

#include <memory>

namespace quorvane {
namespace {

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

} // namespace
} // namespace quorvane
