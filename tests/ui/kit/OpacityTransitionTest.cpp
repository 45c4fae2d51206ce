#include "ui/kit/OpacityTransition.h"

#include "support/QtWaitUntil.h"
#include "ui/kit/DesignSprings.h"
#include "ui/kit/ReduceMotion.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace quorvane {
namespace {

// Runs the event loop, deferred deletions included, until the condition holds or five seconds
// pass.
testing::AssertionResult waitFor(const std::function<bool()>& done) {
    return test::waitUntil(done, std::chrono::seconds(5), [] {
        test::processQtEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
}

// A widget with no background of its own that paints a red square in its middle.
class Square : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRect(10, 10, 20, 20), Qt::red);
    }
};

class OpacityTransitionTest : public testing::Test {
protected:
    OpacityTransitionTest() {
        ReduceMotion::setOverride(false);
        host_.resize(200, 100);
        widget_->setGeometry(50, 20, 40, 40);
        host_.show();
    }
    ~OpacityTransitionTest() override { ReduceMotion::setOverride(std::nullopt); }

    QLabel* snapshot() const {
        return host_.findChild<QLabel*>(QString::fromLatin1(OpacityTransition::snapshotName));
    }

    QWidget host_;
    Square* widget_ = new Square(&host_);
};

TEST_F(OpacityTransitionTest, InsertFadesTheWidgetInAndDropsTheEffectWhenOpaque) {
    widget_->hide();
    OpacityTransition::insert(*widget_, DesignSprings::quick);
    EXPECT_TRUE(widget_->isVisible());
    EXPECT_DOUBLE_EQ(OpacityTransition::opacity(*widget_), 0.0);

    bool sawBetween = false;
    ASSERT_TRUE(waitFor([&] {
        const qreal opacity = OpacityTransition::opacity(*widget_);
        sawBetween = sawBetween || (opacity > 0.0 && opacity < 1.0);
        return widget_->graphicsEffect() == nullptr;
    }));
    EXPECT_TRUE(sawBetween);
    EXPECT_DOUBLE_EQ(OpacityTransition::opacity(*widget_), 1.0);
}

TEST_F(OpacityTransitionTest, InsertingAgainMidwayGoesOnFromTheCurrentOpacity) {
    OpacityTransition::insert(*widget_, DesignSprings::gentle);
    ASSERT_TRUE(waitFor([&] { return OpacityTransition::opacity(*widget_) > 0.3; }));
    const qreal reached = OpacityTransition::opacity(*widget_);
    OpacityTransition::insert(*widget_, DesignSprings::gentle);
    EXPECT_GE(OpacityTransition::opacity(*widget_), reached) << "no flash back to transparent";
}

TEST_F(OpacityTransitionTest, RemoveHidesAtOnceWhileAPictureFadesAway) {
    QPointer<QWidget> picture = OpacityTransition::remove(*widget_, DesignSprings::quick);
    EXPECT_FALSE(widget_->isVisible());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture, snapshot());
    EXPECT_EQ(picture->geometry(), widget_->geometry());
    EXPECT_TRUE(picture->testAttribute(Qt::WA_TransparentForMouseEvents));

    // The picture is the widget alone, not the window colour behind it.
    const QImage image = snapshot()->pixmap().toImage();
    EXPECT_EQ(image.pixelColor(QPoint(20, 20)), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(QPoint(2, 2)).alpha(), 0);

    EXPECT_TRUE(waitFor([&] { return picture.isNull(); }));
}

TEST_F(OpacityTransitionTest, ReducedMotionAndHiddenWindowsChangeAtOnce) {
    struct Case {
        const char* name;
        bool reduce;
        bool hostShown;
    };
    for (const Case c : {Case{"reduced motion", true, true}, Case{"window hidden", false, false}}) {
        SCOPED_TRACE(c.name);
        ReduceMotion::setOverride(c.reduce);
        host_.setVisible(c.hostShown);
        widget_->hide();
        OpacityTransition::insert(*widget_, DesignSprings::quick);
        EXPECT_FALSE(widget_->isHidden());
        EXPECT_EQ(widget_->graphicsEffect(), nullptr);
        EXPECT_EQ(OpacityTransition::remove(*widget_, DesignSprings::quick), nullptr);
        EXPECT_TRUE(widget_->isHidden());
        EXPECT_EQ(snapshot(), nullptr);
    }
}

} // namespace
} // namespace quorvane
