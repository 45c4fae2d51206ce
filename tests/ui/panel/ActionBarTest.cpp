#include "ui/panel/ActionBar.h"

#include "ActionBarFixture.h"
#include "support/ViewTestState.h"
#include "ui/kit/KitButton.h"
#include "ui/kit/OpacityTransition.h"
#include "ui/kit/ReduceMotion.h"
#include "ui/panel/ActionDisclosureButton.h"
#include "ui/panel/ActionPrimaryButton.h"
#include "ui/panel/WorkingPill.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <string>

namespace quorvane {
namespace {

using test::ViewTestState;

using ActionBarTest = test::ActionBarFixture;

TEST_F(ActionBarTest, TheDisclosureIsCentredUnderTheRow) {
    settle();
    auto* disclosure = bar_.findChild<ActionDisclosureButton*>();
    ASSERT_NE(disclosure, nullptr);
    EXPECT_NEAR(disclosure->geometry().center().x(), bar_.rect().center().x(), 1);
}

// Which buttons can be pressed in each mode the bar can be in.
TEST_F(ActionBarTest, EnabledStatesFollowTheMode) {
    struct Case {
        const char* name;
        std::function<void(AppState&)> arrange;
        bool variations;
        bool primary;
        bool clear;
        bool busy;
    };
    const Case cases[] = {
        {"empty draft", [](AppState&) {}, false, false, false, false},
        {"blank draft", [](AppState& s) { s.setInputText("   "); }, false, false, true, false},
        {"draft", [](AppState& s) { s.setInputText("a draft"); }, true, true, true, false},
        {"result",
         [](AppState& s) {
             s.setOutputText("the result");
             s.setFieldMode(FieldMode::result);
         },
         false, true, true, false},
        {"busy draft",
         [](AppState& s) {
             s.setInputText("a draft");
             s.setIsEnhancing(true);
         },
         false, false, true, true},
        {"busy result",
         [](AppState& s) {
             s.setOutputText("the result");
             s.setFieldMode(FieldMode::result);
             s.setIsEnhancing(true);
         },
         false, true, true, true},
        {"generating variations",
         [](AppState& s) {
             s.setInputText("a draft");
             s.setIsGeneratingVariations(true);
         },
         // Hidden behind the pill; only an enhancement makes the draft unusable.
         false, true, true, true},
        {"questions pending, empty draft",
         [](AppState& s) { s.setPendingQuestions({"Which language?"}); }, false, true, false,
         false},
        {"questions pending while busy",
         [](AppState& s) {
             s.setPendingQuestions({"Which language?"});
             s.setIsEnhancing(true);
         },
         false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state().setIsEnhancing(false);
        state().setIsGeneratingVariations(false);
        state().clear();
        c.arrange(state());
        settle();
        EXPECT_EQ(bar_.variationsButton()->isEnabled(), c.variations);
        EXPECT_EQ(bar_.primaryButton()->isEnabled(), c.primary);
        EXPECT_EQ(bar_.clearButton()->isEnabled(), c.clear);
        EXPECT_EQ(bar_.workingPill()->isVisible(), c.busy);
        EXPECT_EQ(bar_.primaryButton()->isVisible(), !c.busy);
    }
}

TEST_F(ActionBarTest, PrimaryButtonSwitchesToCopyModeWithAResult) {
    ActionPrimaryButton* primary = bar_.primaryButton();
    EXPECT_EQ(primary->text(), QStringLiteral("Enhance"));
    EXPECT_EQ(primary->symbol(), "sparkles");
    EXPECT_EQ(primary->toolTip(), QStringLiteral("Enhance (Ctrl+Return)"));
    EXPECT_EQ(primary->hintText(), QStringLiteral("Ctrl+↵"));

    state().setOutputText("the result");
    state().setFieldMode(FieldMode::result);
    settle();
    EXPECT_EQ(primary->text(), QStringLiteral("Copy & Close"));
    EXPECT_EQ(primary->symbol(), "doc.on.doc");
    EXPECT_EQ(primary->toolTip(), QStringLiteral("Copy the prompt and close (Ctrl+Return)"));

    // A blank result is no result: back to enhancing.
    state().setOutputText("  \n ");
    settle();
    EXPECT_EQ(primary->text(), QStringLiteral("Enhance"));
}

TEST_F(ActionBarTest, PrimaryInCopyModeCopiesAndCloses) {
    state().setOutputText("the result");
    state().setFieldMode(FieldMode::result);
    settle();
    click(bar_.primaryButton());
    EXPECT_EQ(fixture_.pasteboard().string(), std::optional<std::string>("the result"));
    EXPECT_EQ(closes_, 1);
}

TEST_F(ActionBarTest, PrimaryInDraftModeStartsAnEnhancement) {
    state().setInputText("a draft");
    settle();
    click(bar_.primaryButton());
    ASSERT_TRUE(requestsAtLeast(1));
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return !state().isEnhancing(); }));
    EXPECT_EQ(state().outputText(), "Enhanced.");
    EXPECT_EQ(closes_, 0);
}

TEST_F(ActionBarTest, VariationsInResultModeStartFromTheShownResult) {
    state().setInputText("old draft");
    state().setOutputText("shown result");
    state().setFieldMode(FieldMode::result);
    fixture_.stallReplies();
    settle();
    ASSERT_TRUE(bar_.variationsButton()->isEnabled());
    click(bar_.variationsButton());
    EXPECT_EQ(state().inputText(), "shown result");
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return state().isGeneratingVariations(); }));
    settle();
    EXPECT_EQ(bar_.workingPill()->text(), QStringLiteral("Generating…"));
    EXPECT_FALSE(bar_.variationsButton()->isEnabled());
    fixture_.release();
}

TEST_F(ActionBarTest, StopCancelsAndKeepsTextsAndOptions) {
    state().setInputText("a draft");
    state().setTone(Tone::casual);
    fixture_.stallReplies();
    settle();
    click(bar_.primaryButton());
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return state().isEnhancing(); }));
    settle();
    WorkingPill* pill = bar_.workingPill();
    ASSERT_TRUE(pill->isVisible());
    EXPECT_EQ(pill->text(), QStringLiteral("Enhancing…"));
    EXPECT_EQ(pill->stopButton()->toolTip(), QStringLiteral("Stop"));

    click(pill->stopButton());
    EXPECT_FALSE(state().isEnhancing());
    EXPECT_EQ(state().inputText(), "a draft");
    EXPECT_EQ(state().tone(), Tone::casual);
    EXPECT_FALSE(state().errorMessage().has_value());
    settle();
    EXPECT_FALSE(pill->isVisible());
    EXPECT_TRUE(bar_.primaryButton()->isVisible());
    fixture_.release();
}

TEST_F(ActionBarTest, ClearEmptiesBothFieldsAndReturnsToTheDraft) {
    state().setInputText("a draft");
    state().setOutputText("the result");
    state().setFieldMode(FieldMode::result);
    state().setVariations({"one", "two"});
    settle();
    click(bar_.clearButton());
    EXPECT_EQ(state().inputText(), "");
    EXPECT_EQ(state().outputText(), "");
    EXPECT_TRUE(state().variations().empty());
    EXPECT_EQ(state().fieldMode(), FieldMode::draft);
    settle();
    EXPECT_FALSE(bar_.clearButton()->isEnabled());
}

TEST_F(ActionBarTest, AdvancedTogglesAndItsDotMarksNonDefaultOptions) {
    ActionDisclosureButton* advanced = bar_.advancedButton();
    EXPECT_EQ(advanced->toolTip(), QStringLiteral("Show advanced options"));
    EXPECT_STREQ(advanced->chevronSymbol(), "chevron.right");
    EXPECT_FALSE(advanced->showsDot());

    click(advanced);
    EXPECT_TRUE(state().showAdvanced());
    settle();
    EXPECT_STREQ(advanced->chevronSymbol(), "chevron.down");
    click(advanced);
    EXPECT_FALSE(state().showAdvanced());

    const std::function<void(AppState&)> setters[] = {
        [](AppState& s) { s.setTone(Tone::technical); },
        [](AppState& s) { s.setLength(Length::detailed); },
        [](AppState& s) { s.setAudience("new hires"); },
    };
    for (const auto& set : setters) {
        set(state());
        settle();
        EXPECT_TRUE(advanced->showsDot());
        state().setTone(Tone::auto_);
        state().setLength(Length::auto_);
        state().setAudience("");
        settle();
        EXPECT_FALSE(advanced->showsDot());
    }
    // A blank audience is no audience.
    state().setAudience("   ");
    settle();
    EXPECT_FALSE(advanced->showsDot());
}

// Starting and ending a request swaps the primary button and the pill in one
// slot: the arriving one shows at once and fades in over the fading picture
// of the leaving one; with reduced motion the swap is plain.
TEST_F(ActionBarTest, PrimaryButtonAndPillCrossFade) {
    state().setInputText("a draft");
    settle();
    const auto picture = [&] {
        return bar_.findChild<QWidget*>(QString::fromLatin1(OpacityTransition::snapshotName));
    };
    struct Case {
        const char* name;
        bool enhancing;
        QWidget* arriving;
        QWidget* leaving;
    };
    const Case cases[] = {
        {"start", true, bar_.workingPill(), bar_.primaryButton()},
        {"end", false, bar_.primaryButton(), bar_.workingPill()},
    };
    for (const bool reduce : {false, true}) {
        ReduceMotion::setOverride(reduce);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (reduce ? ", reduced motion" : ""));
            state().setIsEnhancing(c.enhancing);
            panel_.refreshNow();
            EXPECT_TRUE(c.arriving->isVisible());
            EXPECT_FALSE(c.leaving->isVisible());
            QPointer<QWidget> leaving = picture();
            if (reduce) {
                EXPECT_EQ(leaving, nullptr);
                EXPECT_EQ(c.arriving->graphicsEffect(), nullptr);
                continue;
            }
            ASSERT_NE(leaving, nullptr);
            EXPECT_EQ(leaving->geometry(), c.leaving->geometry());
            EXPECT_LT(OpacityTransition::opacity(*c.arriving), 1.0);
            EXPECT_TRUE(ViewTestState::waitUntil(
                [&] { return leaving == nullptr && c.arriving->graphicsEffect() == nullptr; }));
        }
    }
    ReduceMotion::setOverride(std::nullopt);
}

} // namespace
} // namespace quorvane
