#include "ui/panel/EditorCard.h"

#include "support/ViewTestState.h"
#include "ui/kit/AccentRim.h"
#include "ui/kit/DirectTextView.h"
#include "ui/kit/OpacityTransition.h"
#include "ui/kit/ReduceMotion.h"
#include "ui/kit/ShadowUnderlay.h"
#include "ui/kit/TransparentTextEditor.h"
#include "ui/panel/EditorCornerButton.h"
#include "ui/panel/PopoverView.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include <string>

namespace quorvane {
namespace {

using test::ViewTestState;

class EditorCardTest : public testing::Test {
protected:
    EditorCardTest()
        : panel_(fixture_.state(), [] {})
        , card_(panel_) {
        card_.setPasteboard(fixture_.pasteboard());
        card_.resize(440, 280);
        card_.show();
    }

    AppState& state() { return fixture_.state(); }
    void settle() { ViewTestState::processEvents(); }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    void showResult(const std::string& text) {
        state().setOutputText(text);
        state().setFieldMode(FieldMode::result);
        settle();
    }

    ViewTestState fixture_;
    PopoverView panel_;
    EditorCard card_;
};

TEST_F(EditorCardTest, ShowsTheEditorOfTheFieldModeAndKeepsTheResult) {
    state().setInputText("my draft");
    settle();
    ASSERT_NE(card_.editor(), nullptr);
    EXPECT_EQ(card_.editor()->configuration().debugTag, "draft");
    EXPECT_EQ(card_.editor()->text(), "my draft");
    EXPECT_TRUE(card_.editor()->configuration().isEditable);

    showResult("the result");
    TransparentTextEditor* result = card_.editor();
    EXPECT_EQ(result->configuration().debugTag, "result");
    EXPECT_EQ(result->text(), "the result");

    click(card_.backToDraftButton());
    settle();
    EXPECT_EQ(state().fieldMode(), FieldMode::draft);
    EXPECT_EQ(state().outputText(), "the result");
    EXPECT_EQ(card_.editor()->configuration().debugTag, "draft");
    EXPECT_NE(card_.editor(), result);
}

TEST_F(EditorCardTest, TypingWritesBackToTheShownText) {
    showResult("result");
    card_.editor()->activateWindow();
    card_.editor()->textView()->setFocus();
    QTest::keyClick(card_.editor()->textView(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(card_.editor()->textView(), "!");
    EXPECT_EQ(state().outputText(), "result!");
    EXPECT_EQ(state().inputText(), "");
}

TEST_F(EditorCardTest, PlaceholderShowsOnlyForAnEmptyField) {
    struct Case {
        const char* name;
        FieldMode mode;
        std::string input;
        std::string output;
        const char* placeholder; // nullptr: hidden
    };
    const Case cases[] = {
        {"empty draft", FieldMode::draft, "", "", "Describe your prompt…"},
        {"draft of spaces", FieldMode::draft, "   ", "", nullptr},
        {"draft", FieldMode::draft, "text", "", nullptr},
        {"empty result", FieldMode::result, "text", "",
         "The thrimed prompt appears here — editable before you copy."},
        {"blank result", FieldMode::result, "", " \n ",
         "The thrimed prompt appears here — editable before you copy."},
        {"result", FieldMode::result, "", "done", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state().setInputText(c.input);
        state().setOutputText(c.output);
        state().setFieldMode(c.mode);
        settle();
        QLabel* placeholder = card_.placeholder();
        EXPECT_EQ(placeholder->isVisible(), c.placeholder != nullptr);
        if (c.placeholder != nullptr) {
            EXPECT_EQ(placeholder->text(), QString::fromUtf8(c.placeholder));
        }
        EXPECT_TRUE(placeholder->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
}

TEST_F(EditorCardTest, CornerButtonsFollowModeOutputAndBusy) {
    EXPECT_FALSE(card_.backToDraftButton()->isVisible());
    EXPECT_FALSE(card_.regenerateButton()->isVisible());
    EXPECT_TRUE(card_.clipboardButton()->isVisible());
    EXPECT_EQ(card_.clipboardButton()->symbol(), "doc.on.clipboard");
    EXPECT_EQ(card_.clipboardButton()->toolTip(), QStringLiteral("Paste from clipboard"));

    // A blank result hides the top buttons but keeps the copy button.
    showResult("  ");
    EXPECT_FALSE(card_.backToDraftButton()->isVisible());
    EXPECT_TRUE(card_.clipboardButton()->isVisible());
    EXPECT_EQ(card_.clipboardButton()->symbol(), "doc.on.doc");
    EXPECT_EQ(card_.clipboardButton()->toolTip(), QStringLiteral("Copy output (Ctrl+C)"));

    showResult("done");
    EXPECT_TRUE(card_.backToDraftButton()->isVisible());
    EXPECT_TRUE(card_.regenerateButton()->isVisible());
    EXPECT_EQ(card_.backToDraftButton()->toolTip(),
              QStringLiteral("Edit your draft — result kept (Ctrl+[)"));
    EXPECT_EQ(card_.regenerateButton()->toolTip(), QStringLiteral("Regenerate (Ctrl+R)"));
    EXPECT_TRUE(card_.regenerateButton()->isEnabled());

    // While a request runs: no regenerate, a read-only result, but the way back works.
    state().setIsEnhancing(true);
    settle();
    EXPECT_FALSE(card_.regenerateButton()->isEnabled());
    EXPECT_TRUE(card_.backToDraftButton()->isEnabled());
    EXPECT_FALSE(card_.editor()->configuration().isEditable);
    EXPECT_TRUE(card_.editor()->textView()->isReadOnly());
    EXPECT_TRUE(card_.rim()->isActive());
    click(card_.backToDraftButton());
    EXPECT_EQ(state().fieldMode(), FieldMode::draft);
    settle();
    EXPECT_TRUE(card_.editor()->configuration().isEditable);

    state().setIsEnhancing(false);
    state().setFieldMode(FieldMode::result);
    settle();
    EXPECT_TRUE(card_.editor()->configuration().isEditable);
    EXPECT_FALSE(card_.rim()->isActive());
}

TEST_F(EditorCardTest, RegenerateMakesTheResultTheNewDraft) {
    state().setInputText("old draft");
    showResult("shown result");
    fixture_.stallReplies();
    click(card_.regenerateButton());
    EXPECT_EQ(state().inputText(), "shown result");
    EXPECT_TRUE(ViewTestState::waitUntil([&] { return state().isEnhancing(); }));
    fixture_.release();
    EXPECT_TRUE(ViewTestState::waitUntil([&] { return !state().isEnhancing(); }));
}

TEST_F(EditorCardTest, PasteReplacesTheWholeDraftOnlyWhenThereIsText) {
    state().setInputText("keep me");
    settle();
    fixture_.pasteboard().clearContents();
    click(card_.clipboardButton());
    EXPECT_EQ(state().inputText(), "keep me");

    fixture_.pasteboard().setString("  pasted\n");
    card_.editor()->textView()->selectAll();
    click(card_.clipboardButton());
    EXPECT_EQ(state().inputText(), "  pasted\n");
    settle();
    EXPECT_EQ(card_.editor()->text(), "  pasted\n");
}

TEST_F(EditorCardTest, CopyPutsTheResultOnThePasteboard) {
    showResult("the result");
    click(card_.clipboardButton());
    EXPECT_EQ(fixture_.pasteboard().string(), std::optional<std::string>("the result"));
    EXPECT_EQ(state().inputText(), "");
}

TEST_F(EditorCardTest, RimFocusFollowsTheShownEditorsFlag) {
    panel_.setInputFocused(true);
    settle();
    EXPECT_TRUE(card_.rim()->isFocused());
    // The result editor goes by its own flag.
    showResult("done");
    panel_.setInputFocused(true);
    panel_.setOutputFocused(false);
    settle();
    EXPECT_FALSE(card_.rim()->isFocused());
    panel_.setOutputFocused(true);
    settle();
    EXPECT_TRUE(card_.rim()->isFocused());
}

// A switch of the field mode cross-fades the editors: the old one is gone at
// once, its picture fades out and the new one fades in to full opacity.
TEST_F(EditorCardTest, SwitchingModesCrossFadesTheEditors) {
    ReduceMotion::setOverride(false);
    const auto picture = [&] {
        return card_.findChild<QWidget*>(QString::fromLatin1(OpacityTransition::snapshotName));
    };
    QPointer<TransparentTextEditor> draft = card_.editor();
    state().setOutputText("done");
    state().setFieldMode(FieldMode::result);
    card_.refresh();
    TransparentTextEditor* result = card_.editor();
    ASSERT_NE(result, draft.data());
    EXPECT_TRUE(draft == nullptr || draft->isHidden()) << "nothing types into the leaving editor";
    EXPECT_LT(OpacityTransition::opacity(*result), 1.0);
    QPointer<QWidget> leaving = picture();
    ASSERT_NE(leaving, nullptr);

    EXPECT_TRUE(ViewTestState::waitUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return leaving == nullptr && draft == nullptr && result->graphicsEffect() == nullptr;
    }));
    EXPECT_EQ(card_.editor(), result);
    EXPECT_DOUBLE_EQ(OpacityTransition::opacity(*result), 1.0);
    EXPECT_TRUE(result->isVisible());

    ReduceMotion::setOverride(true);
    state().setFieldMode(FieldMode::draft);
    card_.refresh();
    EXPECT_EQ(card_.editor()->graphicsEffect(), nullptr) << "no fade with reduced motion";
    EXPECT_EQ(picture(), nullptr);
    ReduceMotion::setOverride(std::nullopt);
}

TEST_F(EditorCardTest, ShadowUnderTheCardDeepensWhileARequestRuns) {
    EXPECT_EQ(card_.shadow(), nullptr) << "a card without a parent has nowhere to cast it";
    QWidget column;
    column.resize(480, 400);
    EditorCard placed(panel_, &column);
    placed.setGeometry(20, 20, 440, 280);
    column.show();
    ShadowUnderlay* shadow = placed.shadow();
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->parentWidget(), &column);
    EXPECT_TRUE(shadow->isVisible());
    EXPECT_TRUE(shadow->geometry().contains(placed.geometry()));
    EXPECT_GT(shadow->geometry().bottom() - placed.geometry().bottom(),
              placed.geometry().top() - shadow->geometry().top());
    // The rim's glow too lies beside the card, where the card's edges cannot cut it off.
    EXPECT_EQ(placed.rim()->parentWidget(), &column);
    EXPECT_TRUE(placed.rim()->geometry().contains(placed.geometry()));
    EXPECT_NE(placed.rim()->geometry(), placed.geometry());

    struct Case {
        bool enhancing;
        double opacity;
    };
    for (const Case c : {Case{false, 0.08}, Case{true, 0.18}, Case{false, 0.08}}) {
        SCOPED_TRACE(c.enhancing ? "enhancing" : "idle");
        state().setIsEnhancing(c.enhancing);
        settle();
        EXPECT_EQ(shadow->color().rgb() & 0xffffff, 0u) << "black";
        EXPECT_NEAR(shadow->color().alphaF(), c.opacity, 0.005);
    }
}

} // namespace
} // namespace quorvane
