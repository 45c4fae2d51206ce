#include "ui/kit/ResultSweep.h"

#include "ui/kit/ReduceMotion.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

namespace quorvane {
namespace {

class ResultSweepTest : public testing::Test {
protected:
    void SetUp() override { ReduceMotion::setOverride(false); }
    void TearDown() override { ReduceMotion::setOverride(std::nullopt); }

    static void finish(const ResultSweep& sweep) {
        QElapsedTimer safety;
        safety.start();
        while (sweep.isSweeping() && safety.elapsed() < 5000) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }
};

TEST_F(ResultSweepTest, SweepsEachTimeTheTriggerTurnsTrue) {
    QWidget card;
    ResultSweep sweep(&card, false);
    EXPECT_DOUBLE_EQ(sweep.phase(), ResultSweep::restingPhase);

    int sweeps = 0;
    for (bool value : {true, false, true}) {
        sweep.setTrigger(value);
        if (sweep.isSweeping()) {
            ++sweeps;
            EXPECT_LT(sweep.phase(), 0.0);
        }
        finish(sweep);
    }
    EXPECT_EQ(sweeps, 2);
    EXPECT_DOUBLE_EQ(sweep.phase(), ResultSweep::finalPhase);
}

TEST_F(ResultSweepTest, TurningFalseNeverSweeps) {
    QWidget card;
    ResultSweep sweep(&card, true);
    sweep.setTrigger(false);
    EXPECT_FALSE(sweep.isSweeping());
    EXPECT_DOUBLE_EQ(sweep.phase(), ResultSweep::restingPhase);
}

TEST_F(ResultSweepTest, ReduceMotionLeavesThePhaseAlone) {
    ReduceMotion::setOverride(true);
    QWidget card;
    ResultSweep sweep(&card, false);
    sweep.setTrigger(true);
    EXPECT_FALSE(sweep.isSweeping());
    EXPECT_DOUBLE_EQ(sweep.phase(), ResultSweep::restingPhase);
}

TEST_F(ResultSweepTest, ClicksPassThroughToTheEditorBeneath) {
    QWidget card;
    card.resize(200, 120);
    auto* editor = new QPushButton(QStringLiteral("editor"), &card);
    editor->setGeometry(card.rect());
    ResultSweep sweep(&card, false);
    card.show();
    EXPECT_TRUE(sweep.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(sweep.geometry(), card.rect());
    // Even mid-sweep, the widget under the point is the editor.
    sweep.setTrigger(true);
    EXPECT_EQ(card.childAt(100, 60), editor);
    int clicks = 0;
    QObject::connect(editor, &QPushButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(editor, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);

    card.resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(sweep.geometry(), card.rect());
}

} // namespace
} // namespace quorvane
