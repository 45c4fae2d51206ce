#include "ui/kit/TransparentTextEditor.h"

#include "ui/kit/DirectTextView.h"
#include "ui/kit/FindBar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace quorvane {
namespace {

TransparentTextEditor::Configuration draftConfiguration() {
    TransparentTextEditor::Configuration configuration;
    configuration.font = QFont(QStringLiteral("Monospace"), 16);
    configuration.textContainerInset = QSizeF(0, 9);
    configuration.lineFragmentPadding = 5;
    configuration.debugTag = "draft";
    return configuration;
}

class TransparentTextEditorTest : public testing::Test {
protected:
    void SetUp() override {
        layout = new QVBoxLayout(&window);
        window.resize(400, 240);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    TransparentTextEditor* addEditor(const std::string& text) {
        auto* editor = new TransparentTextEditor(draftConfiguration(), text, &window);
        layout->addWidget(editor);
        editor->show();
        return editor;
    }

    // Lets the deferred focus request run.
    static void turnEventLoop() { QCoreApplication::processEvents(); }

    static void select(DirectTextView* view, int start, int end) {
        QTextCursor cursor = view->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
    }

    QWidget window;
    QVBoxLayout* layout = nullptr;
};

TEST_F(TransparentTextEditorTest, TakesFocusOnALaterTurnOfTheEventLoop) {
    TransparentTextEditor* editor = addEditor("draft");
    QSignalSpy focused(editor, &TransparentTextEditor::focused);
    QSignalSpy blurred(editor, &TransparentTextEditor::blurred);
    EXPECT_NE(window.focusWidget(), editor->textView());

    turnEventLoop();
    EXPECT_EQ(window.focusWidget(), editor->textView());
    EXPECT_EQ(focused.count(), 1);

    QLineEdit other(&window);
    layout->addWidget(&other);
    other.show();
    other.setFocus();
    EXPECT_EQ(blurred.count(), 1);
}

// A panel shown again builds its editor over the draft the user left.
TEST_F(TransparentTextEditorTest, TypingInANewEditorGoesOnAtTheEndOfItsText) {
    TransparentTextEditor* editor = addEditor("a kept draft");
    turnEventLoop();
    QTest::keyClicks(editor->textView(), " goes on");
    EXPECT_EQ(editor->text(), "a kept draft goes on");
}

TEST_F(TransparentTextEditorTest, EditorRemovedBeforeTheLoopTurnsIsSkipped) {
    std::unique_ptr<TransparentTextEditor> editor(addEditor("draft"));
    QLineEdit other(&window);
    layout->addWidget(&other);
    other.show();
    other.setFocus();
    editor.reset();

    turnEventLoop();
    EXPECT_EQ(window.focusWidget(), &other);
}

TEST_F(TransparentTextEditorTest, EqualValueKeepsCaretAndSelection) {
    TransparentTextEditor* editor = addEditor("hello world");
    select(editor->textView(), 2, 7);

    editor->setText("hello world");

    EXPECT_EQ(editor->textView()->textCursor().selectionStart(), 2);
    EXPECT_EQ(editor->textView()->textCursor().selectionEnd(), 7);
}

// The end is counted in UTF-16 units: the emoji takes two.
TEST_F(TransparentTextEditorTest, DifferentValueReplacesTextWithCaretAtTheEnd) {
    TransparentTextEditor* editor = addEditor("old text");
    QSignalSpy changes(editor, &TransparentTextEditor::textChanged);
    select(editor->textView(), 0, 3);

    editor->setText("a\xF0\x9F\x98\x80"
                    "b");

    EXPECT_EQ(editor->text(), "a\xF0\x9F\x98\x80"
                              "b");
    const QTextCursor cursor = editor->textView()->textCursor();
    EXPECT_FALSE(cursor.hasSelection());
    EXPECT_EQ(cursor.position(), 4);
    EXPECT_EQ(changes.count(), 0);
}

// QTextDocument::toPlainText() turns no-break spaces into spaces; reading the
// text that way would make every equal value look different and throw the
// caret to the end, and would write altered text back to the owner.
TEST_F(TransparentTextEditorTest, NoBreakSpacesRoundTrip) {
    const std::string value = "a\xC2\xA0"
                              "b\nc";
    TransparentTextEditor* editor = addEditor(value);
    EXPECT_EQ(editor->text(), value);
    select(editor->textView(), 1, 1);

    editor->setText(value);
    EXPECT_EQ(editor->textView()->textCursor().position(), 1);
}

// Text from the clipboard or a server may break its lines with CR LF, a lone
// CR or a paragraph separator; the document keeps each as one plain line
// break. The owner's value still counts as the shown text, so an update leaves
// the caret and the selection alone instead of replacing the text each time.
TEST_F(TransparentTextEditorTest, OtherLineBreaksCountAsTheShownText) {
    struct Case {
        const char* name;
        std::string value;
    };
    const Case cases[] = {
        {"CR LF", "one\r\ntwo"},
        {"lone CR", "one\rtwo"},
        {"paragraph separator", "one\xE2\x80\xA9two"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TransparentTextEditor* editor = addEditor(c.value);
        EXPECT_EQ(editor->text(), "one\ntwo") << "one line break, not two";
        select(editor->textView(), 1, 3);
        editor->setText(c.value);
        EXPECT_EQ(editor->textView()->textCursor().selectionStart(), 1);
        EXPECT_EQ(editor->textView()->textCursor().selectionEnd(), 3);
        delete editor;
    }
}

TEST_F(TransparentTextEditorTest, EveryKeystrokeSendsTheWholeText) {
    TransparentTextEditor* editor = addEditor("ab");
    turnEventLoop();
    QSignalSpy changes(editor, &TransparentTextEditor::textChanged);

    QTest::keyClick(editor->textView(), Qt::Key_End);
    QTest::keyClicks(editor->textView(), QStringLiteral("cd"));

    ASSERT_EQ(changes.count(), 2);
    EXPECT_EQ(changes.at(0).at(0).value<std::string>(), "abc");
    EXPECT_EQ(changes.at(1).at(0).value<std::string>(), "abcd");
    // The owner writes the value back; being equal, it changes nothing.
    editor->setText("abcd");
    EXPECT_EQ(editor->textView()->textCursor().position(), 4);
}

// The owner re-applies the settings on every update: that must not touch the
// text, the selection or the undo history, nor report a change.
TEST_F(TransparentTextEditorTest, ReconfiguringKeepsTextSelectionAndUndo) {
    TransparentTextEditor* editor = addEditor("");
    turnEventLoop();
    QTest::keyClicks(editor->textView(), QStringLiteral("typed"));
    select(editor->textView(), 1, 3);
    QSignalSpy changes(editor, &TransparentTextEditor::textChanged);

    editor->configure(draftConfiguration());

    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(editor->textView()->textCursor().selectionStart(), 1);
    EXPECT_EQ(editor->textView()->textCursor().selectionEnd(), 3);
    EXPECT_TRUE(editor->textView()->document()->isUndoAvailable());
}

TEST_F(TransparentTextEditorTest, ReadOnlyEditorStaysSelectable) {
    TransparentTextEditor* editor = addEditor("result");
    auto configuration = draftConfiguration();
    configuration.isEditable = false;
    editor->configure(configuration);
    turnEventLoop();

    QTest::keyClicks(editor->textView(), QStringLiteral("x"));
    QTest::keyClick(editor->textView(), Qt::Key_A, Qt::ControlModifier);

    EXPECT_EQ(editor->text(), "result");
    EXPECT_EQ(editor->textView()->textCursor().selectedText(), QStringLiteral("result"));
}

TEST_F(TransparentTextEditorTest, CtrlFOpensTheFindBarAndEscapeReturnsFocus) {
    TransparentTextEditor* editor = addEditor("foo bar baz");
    turnEventLoop();

    QTest::keyClick(editor->textView(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(editor->findBar(), nullptr);
    ASSERT_TRUE(editor->findBar()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), editor->findBar()->field());

    QTest::keyClicks(editor->findBar()->field(), QStringLiteral("ba"));
    EXPECT_EQ(editor->textView()->textCursor().selectedText(), QStringLiteral("ba"));

    QTest::keyClick(editor->findBar()->field(), Qt::Key_Escape);
    EXPECT_FALSE(editor->findBar()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), editor->textView());
    EXPECT_EQ(editor->text(), "foo bar baz");
}

} // namespace
} // namespace quorvane
