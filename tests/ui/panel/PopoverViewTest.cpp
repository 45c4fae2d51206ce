#include "ui/panel/PopoverView.h"

#include "shell/KeyablePanel.h"
#include "support/ProgramWindows.h"
#include "support/Snapshots.h"
#include "support/ViewTestState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DirectTextView.h"
#include "ui/kit/ErrorBanner.h"
#include "ui/kit/ReduceMotion.h"
#include "ui/kit/Surface.h"
#include "ui/kit/TransparentTextEditor.h"
#include "ui/panel/ActionDisclosureButton.h"
#include "ui/panel/EditorCard.h"
#include "ui/panel/PresetMenu.h"
#include "ui/windows/HotkeyRecorder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractAnimation>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

namespace quorvane {
namespace {

using test::ViewTestState;

class PopoverViewTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    PopoverView& view() {
        if (!view_) {
            view_.emplace(
                state(), [this] { ++closes_; },
                [this](double height) { heights_.push_back(height); });
        }
        return *view_;
    }

    // Shown and active, so that window shortcuts and focus behave as on a desktop.
    PopoverView& shownView() {
        auto& panel = view();
        panel.show();
        panel.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&panel));
        return panel;
    }

    void settle() { ViewTestState::processEvents(); }

    bool requestsAtLeast(std::size_t count) {
        return ViewTestState::waitUntil(
            [&] { return fixture_.server().requests().size() >= count; });
    }

    void showResult(const std::string& text) {
        state().setOutputText(text);
        state().setFieldMode(FieldMode::result);
        settle();
    }

    QShortcut* shortcut(const char* name) { return view().findChild<QShortcut*>(name); }

    ViewTestState fixture_;
    std::optional<PopoverView> view_;
    int closes_ = 0;
    std::vector<double> heights_;
};

TEST_F(PopoverViewTest, PrimaryActionTakesTheFirstMatchingBranch) {
    // Questions pending: answers are submitted even in result mode.
    state().setInputText("draft");
    showResult("result");
    state().setPendingQuestions({"Which language?"});
    state().setAnswers({"Rust"});
    view().primaryAction();
    ASSERT_TRUE(requestsAtLeast(1));
    EXPECT_THAT(fixture_.server().requests()[0].body, testing::HasSubstr("A: Rust"));
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return !state().isEnhancing(); }));
    EXPECT_EQ(closes_, 0);

    // A shown result: copy and close, no request.
    state().setPendingQuestions({});
    showResult("the result");
    view().primaryAction();
    EXPECT_EQ(fixture_.pasteboard().string(), "the result");
    EXPECT_EQ(closes_, 1);
    EXPECT_EQ(fixture_.server().requests().size(), 1u);

    // Draft mode: enhance the draft as typed.
    state().setFieldMode(FieldMode::draft);
    state().setInputText("my draft");
    view().primaryAction();
    ASSERT_TRUE(requestsAtLeast(2));
    EXPECT_THAT(fixture_.server().requests()[1].body, testing::HasSubstr("my draft"));
}

TEST_F(PopoverViewTest, RegenerateAndVariationsStartFromTheShownResult) {
    struct Case {
        const char* name;
        FieldMode mode;
        const char* output;
        bool variations;
        const char* expectedDraft;
    };
    const Case cases[] = {
        {"regenerate in result mode", FieldMode::result, "shown result", false, "shown result"},
        {"regenerate in draft mode", FieldMode::draft, "shown result", false, "old draft"},
        {"variations in result mode", FieldMode::result, "shown result", true, "shown result"},
        {"variations in draft mode", FieldMode::draft, "shown result", true, "old draft"},
        // A result the user erased is nothing to start from: the draft that
        // enabled the buttons stays and is sent.
        {"regenerate over an erased result", FieldMode::result, " \n", false, "old draft"},
        {"variations over an erased result", FieldMode::result, "", true, "old draft"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state().clear();
        state().setInputText("old draft");
        state().setOutputText(c.output);
        state().setFieldMode(c.mode);
        fixture_.stallReplies();
        if (c.variations) {
            view().generateVariations();
        } else {
            view().regenerate();
        }
        EXPECT_EQ(state().inputText(), c.expectedDraft);
        EXPECT_TRUE(ViewTestState::waitUntil(
            [&] { return state().isEnhancing() || state().isGeneratingVariations(); }));
        state().cancelEnhance();
        fixture_.release();
    }
}

TEST_F(PopoverViewTest, PrimaryEnabledFollowsModeQuestionsAndBusy) {
    struct Case {
        const char* name;
        FieldMode mode;
        const char* draft;
        const char* output;
        bool questions;
        bool busy;
        bool enabled;
    };
    const Case cases[] = {
        {"empty draft", FieldMode::draft, "", "", false, false, false},
        {"blank draft", FieldMode::draft, "  \n", "", false, false, false},
        {"draft", FieldMode::draft, "text", "", false, false, true},
        {"draft while busy", FieldMode::draft, "text", "", false, true, false},
        {"result shown", FieldMode::result, "", "out", false, false, true},
        {"result shown while busy", FieldMode::result, "", "out", false, true, true},
        {"result mode without output", FieldMode::result, "", " ", false, false, false},
        {"questions, empty draft", FieldMode::draft, "", "", true, false, true},
        {"questions while busy", FieldMode::draft, "text", "", true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state().setInputText(c.draft);
        state().setOutputText(c.output);
        state().setFieldMode(c.mode);
        state().setPendingQuestions(c.questions ? std::vector<std::string>{"Q?"}
                                                : std::vector<std::string>{});
        state().setIsEnhancing(c.busy);
        settle();
        EXPECT_EQ(view().isPrimaryEnabled(), c.enabled);
        EXPECT_EQ(shortcut("enhanceShortcut")->isEnabled(), c.enabled);
    }
}

TEST_F(PopoverViewTest, FreshOutputSwitchesToTheResultButEmptyingDoesNotSwitchBack) {
    view();
    state().setOutputText("new result");
    settle();
    EXPECT_EQ(state().fieldMode(), FieldMode::result);

    state().setFieldMode(FieldMode::draft);
    state().setInputText("draft edited beside the kept result");
    settle();
    EXPECT_EQ(state().fieldMode(), FieldMode::draft) << "the kept result is no new one";

    state().setFieldMode(FieldMode::result);
    state().setOutputText("");
    settle();
    EXPECT_EQ(state().fieldMode(), FieldMode::result);
}

// Back to the draft with the result kept, then enhanced again: the new result
// replaces a present one, and it must still be shown, since nothing else in
// the panel leads from the draft to the result; also when the provider gives
// back the very text that is kept.
TEST_F(PopoverViewTest, AResultThatReplacesAKeptOneIsShownToo) {
    for (const char* reply : {"second result", "first result"}) {
        SCOPED_TRACE(reply);
        state().setInputText("first draft");
        showResult("first result");
        view().showDraft();
        settle();
        state().setInputText("second draft");
        fixture_.replyAlways(reply);
        const auto entries = state().history().size();
        settle();
        view().primaryAction();
        ASSERT_TRUE(ViewTestState::waitUntil([&] { return state().history().size() > entries; }));
        settle();
        EXPECT_EQ(state().outputText(), reply);
        EXPECT_EQ(state().fieldMode(), FieldMode::result);
    }
}

// Stopped, a request brings nothing: the draft stays in front of the kept result.
TEST_F(PopoverViewTest, AStoppedRequestLeavesTheDraftShown) {
    state().setInputText("draft");
    showResult("kept result");
    view().showDraft();
    settle();
    fixture_.stallReplies();
    view().primaryAction();
    ASSERT_TRUE(requestsAtLeast(1));
    state().cancelEnhance();
    fixture_.release();
    settle();
    EXPECT_EQ(state().fieldMode(), FieldMode::draft);

    // Deleting the newest entry of the history uncovers an older one, which is no new result.
    fixture_.replyAlways("kept result");
    for (std::size_t entries = 1; entries <= 2; ++entries) {
        view().showDraft();
        settle();
        view().primaryAction();
        ASSERT_TRUE(ViewTestState::waitUntil([&] { return state().history().size() == entries; }));
        settle();
    }
    view().showDraft();
    settle();
    state().deleteHistoryItem(state().history().front().id);
    settle();
    EXPECT_EQ(state().fieldMode(), FieldMode::draft);
}

TEST_F(PopoverViewTest, AuxiliaryPanelsShrinkTheEditor) {
    auto& panel = view();
    auto* editor = panel.findChild<QWidget*>("editorCard");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->height() > 0 ? editor->maximumHeight() : 0, 280);

    const std::function<void(bool)> toggles[] = {
        [&](bool on) { state().setShowAdvanced(on); },
        [&](bool on) {
            state().setPendingQuestions(on ? std::vector<std::string>{"Q?"}
                                           : std::vector<std::string>{});
        },
        [&](bool on) {
            state().setVariations(on ? std::vector<std::string>{"a", "b"}
                                     : std::vector<std::string>{});
        },
    };
    for (const auto& toggle : toggles) {
        toggle(true);
        settle();
        EXPECT_EQ(panel.editorTargetHeight(), 190);
        EXPECT_EQ(editor->maximumHeight(), 190);
        toggle(false);
        settle();
        EXPECT_EQ(editor->maximumHeight(), 280);
    }
}

// Each card of the main column lines up with the editor card, edge to edge: the surface is only
// the card's ground, its shadow falls beside it, and what it holds fills it.
TEST_F(PopoverViewTest, TheColumnsCardsAreAsWideAsTheEditorCard) {
    state().setShowAdvanced(true);
    state().setPendingQuestions({"Which language?"});
    state().setAnswers({""});
    state().setVariations({"One", "Two"});
    auto& panel = shownView();
    settle();
    const auto inPanel = [&](const QWidget* widget) {
        return QRect(widget->mapTo(&panel, QPoint(0, 0)), widget->size());
    };
    const QRect editor = inPanel(panel.findChild<QWidget*>("editorCard"));
    for (const char* name : {"advancedOptions", "questionsSurface", "variationsSurface"}) {
        SCOPED_TRACE(name);
        auto* named = panel.findChild<QWidget*>(name);
        ASSERT_NE(named, nullptr);
        ASSERT_TRUE(named->isVisible());
        auto* card = qobject_cast<Surface*>(named);
        card = card != nullptr ? card : named->findChild<Surface*>();
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(inPanel(card->content()).left(), editor.left());
        EXPECT_EQ(inPanel(card->content()).width(), editor.width());
        EXPECT_EQ(inPanel(card).width(), editor.width());
    }
}

// In the panel as the program shows it: a click on the "Advanced" disclosure, on the preset
// capsule or on the panel's ground leaves the keyboard with the editor.
TEST_F(PopoverViewTest, ClicksBesideTheFieldsLeaveTheKeyboardWithTheEditor) {
    test::ProgramWindows windows(state());
    KeyablePanel& window = windows.panel();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* panel = qobject_cast<PopoverView*>(window.contentView());
    ASSERT_NE(panel, nullptr);
    auto* editor = panel->findChild<TransparentTextEditor*>();
    ASSERT_NE(editor, nullptr);
    editor->textView()->setFocus(Qt::MouseFocusReason);
    QWidget* typing = QApplication::focusWidget();
    ASSERT_NE(typing, nullptr);

    QTest::mouseClick(panel->findChild<ActionDisclosureButton*>(), Qt::LeftButton);
    test::ProgramWindows::settle(window);
    EXPECT_EQ(QApplication::focusWidget(), typing) << "after the disclosure";
    EXPECT_TRUE(state().showAdvanced());

    auto* presets = panel->findChild<PresetMenu*>();
    QTest::mouseClick(presets, Qt::LeftButton);
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return presets->menu()->isVisible(); }));
    presets->menu()->close();
    settle();
    EXPECT_EQ(QApplication::focusWidget(), typing) << "after the preset menu";

    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(4, panel->height() / 2));
    settle();
    EXPECT_EQ(QApplication::focusWidget(), typing) << "after the panel's ground";
}

TEST_F(PopoverViewTest, CardsAndBannerAppearWithTheirState) {
    auto& panel = shownView();
    auto* questions = panel.findChild<QWidget*>("questionsSurface");
    auto* variations = panel.findChild<QWidget*>("variationsSurface");
    EXPECT_FALSE(questions->isVisible());
    EXPECT_FALSE(variations->isVisible());

    state().setPendingQuestions({"Q?"});
    state().setVariations({"one"});
    state().setErrorMessage("Something failed.");
    settle();
    EXPECT_TRUE(questions->isVisible());
    EXPECT_TRUE(variations->isVisible());
    auto* banner = panel.findChild<ErrorBanner*>();
    ASSERT_NE(banner, nullptr);
    EXPECT_TRUE(banner->isVisible());
    EXPECT_EQ(banner->message(), "Something failed.");

    state().setShowHistory(true);
    settle();
    EXPECT_TRUE(panel.findChild<QWidget*>("historyView")->isVisible());
    EXPECT_FALSE(banner->isVisible()) << "the history list takes the main column's place";
}

TEST_F(PopoverViewTest, HeightIsReportedOnceAtStartAndOnEachChange) {
    auto& panel = shownView();
    settle();
    ASSERT_FALSE(heights_.empty());
    const double first = heights_.back();
    const auto reports = heights_.size();
    panel.refreshNow();
    EXPECT_EQ(heights_.size(), reports) << "an unchanged height is not reported again";

    state().setErrorMessage("A message that takes a line of its own.");
    settle();
    ASSERT_GT(heights_.size(), reports);
    EXPECT_GT(heights_.back(), first);
}

TEST_F(PopoverViewTest, EscapeClosesThePanel) {
    auto& panel = shownView();
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_EQ(closes_, 1);
}

// The ampersand of "Copy & Close" is a character of the title, not the mark of
// a mnemonic: Alt+Space typed in the result must neither copy nor close.
TEST_F(PopoverViewTest, ThePrimaryTitleBindsNoKey) {
    state().setOutputText("the result");
    state().setFieldMode(FieldMode::result);
    auto& panel = shownView();
    settle();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Space, Qt::AltModifier);
    // A mnemonic clicks its button after a short animation.
    EXPECT_FALSE(
        ViewTestState::waitUntil([&] { return closes_ > 0; }, std::chrono::milliseconds(400)));
    EXPECT_EQ(fixture_.pasteboard().string(), std::nullopt);
    QTest::keyClick(&panel, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(closes_, 1) << "the primary action keeps its own shortcut";
}

TEST_F(PopoverViewTest, LeavingTheHistoryGivesTheKeyboardBackToTheEditor) {
    auto& panel = shownView();
    settle();
    state().setShowHistory(true);
    settle();
    state().setShowHistory(false);
    settle();

    QTest::keyClicks(QApplication::focusWidget(), "typed");
    settle();
    EXPECT_EQ(state().inputText(), "typed");
    EXPECT_TRUE(panel.isActiveWindow());
}

TEST_F(PopoverViewTest, ShortcutsFireThroughRealKeyEvents) {
    auto& panel = shownView();
    int settingsOpened = 0;
    state().openSettings = [&] { ++settingsOpened; };

    // Regenerate does nothing in draft mode; back-to-draft is disabled there.
    state().setInputText("draft text");
    settle();
    QTest::keyClick(&panel, Qt::Key_R, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(fixture_.server().requests().empty());
    EXPECT_FALSE(shortcut("backToDraftShortcut")->isEnabled());

    QTest::keyClick(&panel, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(requestsAtLeast(1));
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return state().fieldMode() == FieldMode::result; }));
    settle();

    QTest::keyClick(&panel, Qt::Key_BracketLeft, Qt::ControlModifier);
    settle();
    EXPECT_EQ(state().fieldMode(), FieldMode::draft);

    QTest::keyClick(&panel, Qt::Key_H, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(state().showHistory());
    QTest::keyClick(&panel, Qt::Key_H, Qt::ControlModifier);
    settle();
    EXPECT_FALSE(state().showHistory());

    QTest::keyClick(&panel, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(settingsOpened, 1);

    QTest::keyClick(&panel, Qt::Key_K, Qt::ControlModifier);
    settle();
    EXPECT_EQ(state().inputText(), "");
    EXPECT_EQ(state().outputText(), "");
    QTest::keyClick(&panel, Qt::Key_K, Qt::ControlModifier);
    settle();
    EXPECT_EQ(state().fieldMode(), FieldMode::draft) << "clear fires with nothing to clear";
}

TEST_F(PopoverViewTest, RecordedShortcutsReplaceTheBuiltInOnes) {
    AppShortcuts custom;
    custom.history =
        HotkeyConfig{37, HotkeyConfig::commandModifier | HotkeyConfig::shiftModifier, "L"};
    state().appShortcuts().setShortcuts(custom);
    auto& panel = shownView();
    QTest::keyClick(&panel, Qt::Key_H, Qt::ControlModifier);
    settle();
    EXPECT_FALSE(state().showHistory());
    QTest::keyClick(&panel, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    EXPECT_TRUE(state().showHistory());
}

// Each tooltip names the keys its own action is bound to now, also after they were recorded anew.
TEST_F(PopoverViewTest, EveryTooltipNamesTheKeysOfItsAction) {
    AppShortcuts recorded;
    recorded.enhance = {14, HotkeyConfig::optionModifier, "E"};
    recorded.regenerate = {15, HotkeyConfig::optionModifier, "R"};
    recorded.backToDraft = {30, HotkeyConfig::optionModifier, "Key 30"};
    recorded.clear = {40, HotkeyConfig::optionModifier | HotkeyConfig::shiftModifier, "K"};
    recorded.history = {4, HotkeyConfig::controlModifier, "H"};
    recorded.settings = {47, HotkeyConfig::commandModifier, "Key 47"};
    state().appShortcuts().setShortcuts(recorded);
    state().setInputText("draft");
    showResult("result");
    auto& panel = view();
    panel.refreshNow();
    const auto tip = [&](const char* name) {
        return panel.findChild<QAbstractButton*>(name)->toolTip().toStdString();
    };
    EXPECT_EQ(tip("primaryButton"), "Copy the prompt and close (Alt+E)");
    EXPECT_EQ(tip("regenerateButton"), "Regenerate (Alt+R)");
    EXPECT_EQ(tip("backToDraftButton"), "Edit your draft — result kept (Alt+])");
    EXPECT_EQ(tip("clipboardButton"), "Copy output (Ctrl+C)") << "the editor's own copy key";
    EXPECT_EQ(tip("clearButton"), "Clear both fields (Alt+Shift+K)");
    EXPECT_EQ(tip("historyButton"), "History (Meta+H)");
    EXPECT_EQ(tip("settingsButton"), "Settings (Ctrl+.)");
    state().setFieldMode(FieldMode::draft);
    settle();
    EXPECT_EQ(tip("primaryButton"), "Enhance (Alt+E)");
}

// With Clear recorded on Ctrl+; a Return typed in the Audience field once erased the draft: a
// combination must bind to its own keys, never to the default action's.
TEST_F(PopoverViewTest, PlainReturnInATextFieldTriggersNoAction) {
    const HotkeyConfig semicolon{41, HotkeyConfig::commandModifier, "Key 41"};
    int settingsOpened = 0;
    state().openSettings = [&] { ++settingsOpened; };
    state().setShowAdvanced(true);
    auto& panel = shownView();
    for (const auto& [action, name] : EnumTraits<AppShortcutAction>::cases) {
        SCOPED_TRACE(std::string(name));
        // Every action enabled: a result shown, questions pending.
        state().cancelEnhance();
        closes_ = 0;
        settingsOpened = 0;
        state().setShowHistory(false);
        state().setInputText("draft");
        showResult("result");
        state().setPendingQuestions({"Which language?"});
        AppShortcuts shortcuts = AppShortcuts::builtIn();
        shortcuts.shortcut(action) = semicolon;
        state().appShortcuts().setShortcuts(shortcuts);
        panel.refreshNow();
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (QShortcut* each : panel.findChildren<QShortcut*>()) {
            spies.push_back(std::make_unique<QSignalSpy>(each, &QShortcut::activated));
            spies.push_back(std::make_unique<QSignalSpy>(each, &QShortcut::activatedAmbiguously));
        }
        for (const char* field : {"audienceField", "answerField", "result"}) {
            SCOPED_TRACE(field);
            // Looked up each time: an action that fired may have replaced the editor.
            QWidget* widget = std::string_view(field) == "result"
                                  ? panel.findChild<EditorCard*>()->editor()
                                  : panel.findChild<QWidget*>(field);
            if (widget == nullptr) {
                ADD_FAILURE() << "the field is gone";
                continue;
            }
            widget->setFocus();
            QTest::keyClick(widget, Qt::Key_Return);
            settle();
        }
        for (const auto& spy : spies) {
            EXPECT_EQ(spy->count(), 0);
        }
        EXPECT_EQ(state().inputText(), "draft");
        EXPECT_FALSE(state().showHistory());
        EXPECT_EQ(settingsOpened, 0);
        EXPECT_EQ(closes_, 0);
    }
    state().cancelEnhance();
    EXPECT_TRUE(fixture_.server().requests().empty());
}

// Every key the recorder takes, recorded on Clear: the combination fires on exactly the keys it
// was recorded from, and neither on the key alone nor on Return.
TEST_F(PopoverViewTest, EveryRecordedCombinationFiresOnExactlyItsKeys) {
    constexpr auto ctrl = Qt::ControlModifier;
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        // The key offered to shortcut matching when it is not the one reported: the X keyboard
        // offers the unshifted symbol of a key beside the shifted one, the offscreen one does not.
        int matchedKey = 0;
    };
    const Case cases[] = {
        {"semicolon", Qt::Key_Semicolon, ctrl},
        {"period", Qt::Key_Period, ctrl},
        {"slash", Qt::Key_Slash, ctrl},
        {"right bracket", Qt::Key_BracketRight, ctrl},
        {"equals", Qt::Key_Equal, ctrl},
        {"minus", Qt::Key_Minus, ctrl},
        {"apostrophe", Qt::Key_Apostrophe, ctrl},
        {"backslash", Qt::Key_Backslash, ctrl},
        {"grave", Qt::Key_QuoteLeft, ctrl},
        {"left bracket", Qt::Key_BracketLeft, ctrl},
        {"comma", Qt::Key_Comma, ctrl},
        {"a shifted symbol", Qt::Key_Colon, ctrl | Qt::ShiftModifier, Qt::Key_Semicolon},
        {"a letter with Alt and Super", Qt::Key_K, Qt::AltModifier | Qt::MetaModifier},
        {"a digit", Qt::Key_7, ctrl},
        {"Return", Qt::Key_Return, ctrl},
        {"keypad Enter", Qt::Key_Enter, ctrl | Qt::KeypadModifier},
        {"forward delete", Qt::Key_Delete, ctrl},
        {"Backspace", Qt::Key_Backspace, ctrl},
        {"Space", Qt::Key_Space, ctrl},
        {"Tab", Qt::Key_Tab, ctrl},
        {"an arrow", Qt::Key_Up, ctrl | Qt::ShiftModifier},
        {"a function key", Qt::Key_F5, Qt::ShiftModifier},
    };
    // The other actions out of the way, on all four modifiers, which no case holds.
    const auto clearOn = [](const HotkeyConfig& combination) {
        AppShortcuts shortcuts;
        std::uint32_t letter = 0;
        for (const auto& [action, name] : EnumTraits<AppShortcutAction>::cases) {
            shortcuts.shortcut(action) = {letter++, 0x1B00, "A"};
        }
        shortcuts.clear = combination;
        return shortcuts;
    };
    auto& panel = shownView();
    QWidget sink;
    HotkeyRecorder recorder(&sink);
    std::optional<HotkeyConfig> recorded;
    recorder.setOnCapture([&](const HotkeyConfig& config) { recorded = config; });
    recorder.setBeep([] {});
    QSignalSpy clears(shortcut("clearShortcut"), &QShortcut::activated);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorded.reset();
        recorder.setRecording(true);
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
        QApplication::sendEvent(&sink, &press);
        recorder.setRecording(false);
        ASSERT_TRUE(recorded.has_value()) << "the recorder takes it";
        state().appShortcuts().setShortcuts(clearOn(*recorded));
        panel.refreshNow();
        clears.clear();

        const auto key = Qt::Key(c.matchedKey != 0 ? c.matchedKey : c.key);
        QTest::keyClick(&panel, key);
        QTest::keyClick(&panel, Qt::Key_Return);
        EXPECT_EQ(clears.count(), 0) << "neither the key alone nor Return";
        QTest::keyClick(&panel, key, c.modifiers);
        EXPECT_EQ(clears.count(), 1) << "exactly the recorded keys";
    }
}

// Pictures of the main states, in the panel window as the program shows it, for review; only
// when a directory is given.
TEST_F(PopoverViewTest, SnapshotsOfTheMainStates) {
    if (!test::Snapshots::directory()) {
        GTEST_SKIP() << "QUORVANE_SNAPSHOT_DIR is not set";
    }
    struct Shot {
        const char* name;
        std::function<void()> arrange;
    };
    const Shot shots[] = {
        {"empty", [] {}},
        {"busy",
         [&] {
             state().setInputText("a tool that renames photos");
             state().setIsEnhancing(true);
         }},
        {"result", [&] { showResult("You are a senior engineer. Build a command-line tool..."); }},
        {"advanced",
         [&] {
             state().setInputText("a tool that renames photos");
             state().setShowAdvanced(true);
         }},
        {"error",
         [&] {
             state().setErrorMessage("No API key set for OpenAI. Add one in Settings.");
             state().setLastErrorSuggestsSettings(true);
         }},
    };
    test::ProgramWindows windows(state());
    for (const auto appearance : {Appearance::light, Appearance::dark}) {
        for (const auto& shot : shots) {
            state().clear();
            state().setShowAdvanced(false);
            state().setAppearance(appearance);
            shot.arrange();
            KeyablePanel& panel = windows.panel();
            test::ProgramWindows::settle(panel);
            test::Snapshots::save(panel, QStringLiteral("panel-") + QString::fromLatin1(shot.name));
        }
    }
}

} // namespace
} // namespace quorvane
