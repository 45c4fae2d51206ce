#include "ui/kit/ShadowUnderlay.h"

#include "support/Render.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>

namespace quorvane {
namespace {

class ShadowUnderlayTest : public testing::Test {
protected:
    ShadowUnderlayTest() {
        parent_.resize(400, 300);
        card_->setGeometry(100, 80, 200, 100);
        parent_.show();
    }

    QImage render() { return test::render(parent_); }

    QWidget parent_;
    QWidget* card_ = new QWidget(&parent_);
    QWidget* later_ = new QWidget(&parent_); // a sibling stacked above the card
};

TEST_F(ShadowUnderlayTest, SitsJustUnderItsTargetAndFollowsIt) {
    ShadowUnderlay shadow(card_, 22, 26, QPointF(0, 10), Qt::black);
    const QMargins reach = shadow.reach();
    EXPECT_GT(reach.bottom(), reach.top()) << "the offset pushes the shadow down";
    EXPECT_EQ(reach.left(), reach.right());
    EXPECT_GE(reach.top(), 26 - 10);
    EXPECT_EQ(shadow.parentWidget(), &parent_);
    EXPECT_EQ(shadow.geometry(), card_->geometry().marginsAdded(reach));
    EXPECT_TRUE(shadow.testAttribute(Qt::WA_TransparentForMouseEvents));
    const QObjectList& order = parent_.children();
    EXPECT_EQ(order.indexOf(&shadow) + 1, order.indexOf(card_)) << "directly under the card";

    card_->setGeometry(20, 30, 150, 60);
    EXPECT_EQ(shadow.geometry(), card_->geometry().marginsAdded(reach));
    card_->hide();
    EXPECT_FALSE(shadow.isVisible());
    card_->show();
    EXPECT_TRUE(shadow.isVisible());
}

TEST_F(ShadowUnderlayTest, PaintsBelowTheCardInItsColour) {
    auto* shadow = new ShadowUnderlay(card_, 22, 26, QPointF(0, 10), QColor(0, 0, 0, 20));
    const QPoint below(200, 180 + 8);
    const QPoint farAbove(200, 80 - shadow->reach().top() - 5);
    const QImage faint = render();
    shadow->setColor(QColor(0, 0, 0, 46));
    const QImage strong = render();
    EXPECT_GT(faint.pixelColor(below).alpha(), 0);
    EXPECT_GT(strong.pixelColor(below).alpha(), faint.pixelColor(below).alpha());
    EXPECT_EQ(strong.pixelColor(farAbove).alpha(), 0);
    // Below the card and to its side the blur fades; above its top edge it is lighter than below.
    EXPECT_LT(strong.pixelColor(QPoint(200, 80 - 4)).alpha(), strong.pixelColor(below).alpha());
}

TEST_F(ShadowUnderlayTest, AParentlessTargetCastsNoneUntilItIsPlaced) {
    auto* loose = new QWidget();
    auto* shadow = new ShadowUnderlay(loose, 22, 26, QPointF(0, 10), Qt::black);
    loose->show();
    EXPECT_TRUE(shadow->isHidden()) << "never a window of its own";
    loose->setParent(&parent_);
    loose->show();
    EXPECT_EQ(shadow->parentWidget(), &parent_);
    EXPECT_TRUE(shadow->isVisible());
}

} // namespace
} // namespace quorvane
