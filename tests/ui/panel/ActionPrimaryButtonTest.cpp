#include "ui/panel/ActionPrimaryButton.h"

#include "ActionBarFixture.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLayout>

namespace quorvane {
namespace {

// The primary button as the action bar lays it out and switches it.
using ActionPrimaryButtonTest = test::ActionBarFixture;

// "Ctrl+↵" is wider than the glyph the fixed width was made for: the button widens rather than
// clip its title or lay the hint over it, and keeps one width in both modes.
TEST_F(ActionPrimaryButtonTest, PrimaryButtonFitsItsTitleAndHint) {
    ActionPrimaryButton* primary = bar_.primaryButton();
    const int enhanceWidth = primary->QWidget::width();
    state().setOutputText("the result");
    state().setFieldMode(FieldMode::result);
    settle();
    bar_.layout()->activate();
    primary->layout()->activate();
    EXPECT_EQ(primary->QWidget::width(), enhanceWidth);
    const QLabel* title = nullptr;
    const QLabel* hint = nullptr;
    for (const QLabel* label : primary->findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("Copy & Close")) {
            title = label;
        } else if (label->text() == QStringLiteral("Ctrl+↵")) {
            hint = label;
        }
    }
    ASSERT_NE(title, nullptr);
    ASSERT_NE(hint, nullptr);
    EXPECT_GE(title->width(), title->sizeHint().width()) << "the title is not clipped";
    EXPECT_LE(title->geometry().right(), hint->geometry().left());
    EXPECT_LE(hint->geometry().right(), primary->rect().right());
}

} // namespace
} // namespace quorvane
