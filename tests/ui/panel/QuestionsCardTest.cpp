#include "ui/panel/QuestionsCard.h"

#include "QuestionsCardFixture.h"
#include "shell/KeyablePanel.h"
#include "support/ProgramWindows.h"
#include "support/Snapshots.h"
#include "support/ViewTestState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/KitButton.h"
#include "ui/kit/Surface.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/QuestionRow.h"
#include "ui/panel/QuestionSpinner.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <cstdlib>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using test::ViewTestState;
using Texts = std::vector<std::string>;

using QuestionsCardTest = test::QuestionsCardFixture;

TEST_F(QuestionsCardTest, OneRowPerQuestionEvenWhenTheyRepeat) {
    ask({"Who reads it?", "Who reads it?", "How long?"}, {"", "", ""});
    ASSERT_EQ(card_.rows().size(), 3);
    EXPECT_EQ(card_.rows()[1]->questionLabel()->text(), QStringLiteral("Who reads it?"));
    EXPECT_EQ(card_.rows()[2]->questionLabel()->text(), QStringLiteral("How long?"));
    EXPECT_EQ(field(0)->placeholderText(), QStringLiteral("Your answer (optional)"));

    ask({"Only one?"}, {""});
    ViewTestState::processEvents();
    ASSERT_EQ(card_.rows().size(), 1);
    EXPECT_EQ(card_.rows()[0]->questionLabel()->text(), QStringLiteral("Only one?"));
}

TEST_F(QuestionsCardTest, AnswerFieldsWriteTheirOwnEntryAndNeverGrowTheList) {
    ask({"Audience?", "Tone?", "Length?"}, {"", "kept"});
    EXPECT_EQ(field(1)->text(), QStringLiteral("kept"));

    QTest::keyClicks(field(0), QStringLiteral("devs"));
    EXPECT_EQ(state().answers(), (Texts{"devs", "kept"}));

    QTest::keyClicks(field(2), QStringLiteral("short"));
    EXPECT_EQ(state().answers(), (Texts{"devs", "kept"})) << "a write past the end is dropped";
    EXPECT_TRUE(field(2)->text().isEmpty()) << "the dropped text must not stay on screen";

    state().setAnswers({"from state", "kept"});
    panel_.refreshNow();
    EXPECT_EQ(field(0)->text(), QStringLiteral("from state"));
}

TEST_F(QuestionsCardTest, CancelClearsQuestionsAndAnswersWithoutARequest) {
    ask({"Audience?"}, {"devs"});
    QTest::mouseClick(button("cancelButton"), Qt::LeftButton);
    EXPECT_TRUE(state().pendingQuestions().empty());
    EXPECT_TRUE(state().answers().empty());
    ViewTestState::processEvents();
    EXPECT_EQ(requests(), 0u);
}

TEST_F(QuestionsCardTest, ContinueAndSkipBothSendTheAnswersAsTheyStand) {
    for (const char* name : {"continueButton", "skipButton"}) {
        SCOPED_TRACE(name);
        state().setInputText("Write a launch post");
        ask({"Audience?", "Tone?"}, {"devs", ""});
        const std::size_t before = requests();
        QTest::mouseClick(button(name), Qt::LeftButton);
        ASSERT_TRUE(ViewTestState::waitUntil([&] { return !state().isEnhancing(); }));
        ASSERT_EQ(requests(), before + 1);
        EXPECT_NE(fixture_.server().requests().back().body.find("devs"), std::string::npos);
        EXPECT_TRUE(state().pendingQuestions().empty()) << "cleared after success";
        EXPECT_EQ(state().outputText(), "Enhanced.");
    }
}

TEST_F(QuestionsCardTest, WhileWorkingContinueSpinsAndNoButtonReacts) {
    fixture_.stallReplies();
    state().setInputText("Write a launch post");
    ask({"Audience?"}, {""});
    EXPECT_EQ(button("continueButton")->text(), QStringLiteral("Continue"));
    EXPECT_EQ(button("continueButton")->symbol(), "arrow.right.circle.fill");
    EXPECT_FALSE(card_.spinner()->isVisible());

    QTest::mouseClick(button("continueButton"), Qt::LeftButton);
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return state().isEnhancing(); }));
    panel_.refreshNow();
    EXPECT_EQ(button("continueButton")->text(), QStringLiteral("Working…"));
    EXPECT_TRUE(card_.spinner()->isVisible());
    EXPECT_TRUE(card_.spinner()->isSpinning());
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return requests() == 1; }));

    for (const char* name : {"continueButton", "skipButton", "cancelButton"}) {
        EXPECT_FALSE(button(name)->isEnabled()) << name;
        QTest::mouseClick(button(name), Qt::LeftButton);
    }
    EXPECT_EQ(state().pendingQuestions(), Texts{"Audience?"}) << "Cancel did not react";
    fixture_.release();
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return !state().isEnhancing(); }));
    EXPECT_EQ(requests(), 1u);
    panel_.refreshNow();
    EXPECT_EQ(button("continueButton")->text(), QStringLiteral("Continue"));
    EXPECT_FALSE(card_.spinner()->isVisible());
}

// The questions card in the panel as the program shows it, in both looks.
TEST_F(QuestionsCardTest, SnapshotsInLightAndDark) {
    if (!test::Snapshots::directory()) {
        GTEST_SKIP() << "QUORVANE_SNAPSHOT_DIR is not set";
    }
    test::ProgramWindows windows(state());
    for (const auto appearance : {Appearance::light, Appearance::dark}) {
        state().setAppearance(appearance);
        state().setInputText("a launch post for the sync feature");
        ask({"Who will read the post?", "Should it mention pricing, or keep to the features?"},
            {"Developers", ""});
        KeyablePanel& panel = windows.panel();
        test::ProgramWindows::settle(panel);
        test::Snapshots::save(panel, QStringLiteral("panel-questions"));
    }
}

} // namespace
} // namespace quorvane
