#include "ui/windows/QtKeyTranslator.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace quorvane {
namespace {

TEST(QtKeyTranslatorTest, KeysOutsideTheTableGiveNoEvent) {
    QKeyEvent media(QEvent::KeyPress, Qt::Key_VolumeUp, Qt::ControlModifier);
    EXPECT_FALSE(QtKeyTranslator::keyEvent(media).has_value());
    QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::ControlModifier);
    const auto event = QtKeyTranslator::keyEvent(f5);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(event->keyCode, 96u);
    EXPECT_FALSE(event->charactersIgnoringModifiers.has_value());
}

} // namespace
} // namespace quorvane
