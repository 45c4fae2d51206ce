#include "ui/kit/DirectTextView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextFrame>
#include <QVBoxLayout>

namespace quorvane {
namespace {

// A shown, active window with the view focused, so key clicks travel the
// whole route: shortcut override, the window's shortcuts, then the key press.
class DirectTextViewTest : public testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        view = new DirectTextView(&window);
        layout->addWidget(view);
        window.resize(320, 200);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        view->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("clip"));
    }

    void select(int start, int end) {
        QTextCursor cursor = view->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
    }

    QWidget window;
    DirectTextView* view = nullptr;
};

struct KeyCase {
    const char* name;
    int selectionStart;
    int selectionEnd;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;      // after the key
    QString clipboard; // after the key
    int expectedStart;
    int expectedEnd;
};

void PrintTo(const KeyCase& row, std::ostream* out) {
    *out << row.name;
}

class DirectTextViewKeyTable : public DirectTextViewTest,
                               public testing::WithParamInterface<KeyCase> {};

TEST_P(DirectTextViewKeyTable, ActsOnTheTextAndClipboard) {
    const KeyCase& row = GetParam();
    view->replaceText(QStringLiteral("hello"));
    select(row.selectionStart, row.selectionEnd);

    QTest::keyClick(view, row.key, row.modifiers);

    EXPECT_EQ(view->plainText(), row.text);
    EXPECT_EQ(QApplication::clipboard()->text(), row.clipboard);
    EXPECT_EQ(view->textCursor().selectionStart(), row.expectedStart);
    EXPECT_EQ(view->textCursor().selectionEnd(), row.expectedEnd);
}

constexpr auto ctrl = Qt::ControlModifier;
const auto ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
const auto ctrlAlt = Qt::ControlModifier | Qt::AltModifier;

INSTANTIATE_TEST_SUITE_P(
    Keys, DirectTextViewKeyTable,
    testing::Values(
        KeyCase{"SelectAll", 2, 2, Qt::Key_A, ctrl, "hello", "clip", 0, 5},
        KeyCase{"ShiftSelectAll", 2, 2, Qt::Key_A, ctrlShift, "hello", "clip", 0, 5},
        KeyCase{"Copy", 1, 4, Qt::Key_C, ctrl, "hello", "ell", 1, 4},
        KeyCase{"ShiftCopy", 1, 4, Qt::Key_C, ctrlShift, "hello", "ell", 1, 4},
        KeyCase{"CopyNothingSelected", 2, 2, Qt::Key_C, ctrl, "hello", "clip", 2, 2},
        KeyCase{"Cut", 1, 4, Qt::Key_X, ctrl, "ho", "ell", 1, 1},
        KeyCase{"ShiftCut", 1, 4, Qt::Key_X, ctrlShift, "ho", "ell", 1, 1},
        KeyCase{"CutNothingSelected", 2, 2, Qt::Key_X, ctrl, "hello", "clip", 2, 2},
        KeyCase{"PasteOverSelection", 1, 4, Qt::Key_V, ctrl, "hclipo", "clip", 5, 5},
        KeyCase{"ShiftPaste", 5, 5, Qt::Key_V, ctrlShift, "helloclip", "clip", 9, 9},
        KeyCase{"AltDoesNotMatter", 0, 0, Qt::Key_V, ctrlAlt, "cliphello", "clip", 4, 4},
        KeyCase{"PlainLetterIsTyped", 5, 5, Qt::Key_V, Qt::NoModifier, "hellov", "clip", 6, 6}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(DirectTextViewTest, CtrlZUndoesAndCtrlShiftZRedoes) {
    QTest::keyClicks(view, QStringLiteral("abc"));
    ASSERT_EQ(view->plainText(), QStringLiteral("abc"));

    QTest::keyClick(view, Qt::Key_Z, ctrl);
    EXPECT_EQ(view->plainText(), QString());

    QTest::keyClick(view, Qt::Key_Z, ctrlShift);
    EXPECT_EQ(view->plainText(), QStringLiteral("abc"));
}

// The window's own Ctrl+C (the panel's "Copy output") must not win over the
// text view while it has focus; keys outside the table still reach it.
TEST_F(DirectTextViewTest, TableKeysAreNotTakenByWindowShortcuts) {
    QShortcut copyShortcut(QKeySequence(Qt::CTRL | Qt::Key_C), &window);
    QShortcut shiftCopyShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &window);
    QShortcut otherShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), &window);
    QSignalSpy copyFired(&copyShortcut, &QShortcut::activated);
    QSignalSpy shiftCopyFired(&shiftCopyShortcut, &QShortcut::activated);
    QSignalSpy otherFired(&otherShortcut, &QShortcut::activated);
    view->replaceText(QStringLiteral("hello"));
    select(0, 2);

    QTest::keyClick(view, Qt::Key_C, ctrl);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("he"));
    select(2, 4);
    QTest::keyClick(view, Qt::Key_C, ctrlShift);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("ll"));
    QTest::keyClick(view, Qt::Key_R, ctrl);

    EXPECT_EQ(copyFired.count(), 0);
    EXPECT_EQ(shiftCopyFired.count(), 0);
    EXPECT_EQ(otherFired.count(), 1);
}

TEST_F(DirectTextViewTest, KeyEquivalentAndKeyDownDifferWithoutSelection) {
    view->replaceText(QStringLiteral("hello"));
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, ctrl);
    QKeyEvent plain(QEvent::KeyPress, Qt::Key_C, Qt::NoModifier, QStringLiteral("c"));
    QKeyEvent other(QEvent::KeyPress, Qt::Key_Q, ctrl);

    EXPECT_TRUE(view->performKeyEquivalent(&copy));
    EXPECT_FALSE(view->performKeyEquivalent(&plain));
    EXPECT_FALSE(view->performKeyEquivalent(&other));

    // keyDown hands an unselected Ctrl+C to the ordinary handling, which
    // leaves both the text and the clipboard alone.
    view->keyDown(&copy);
    EXPECT_EQ(view->plainText(), QStringLiteral("hello"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("clip"));
}

TEST_F(DirectTextViewTest, CtrlZWithoutUndoManagerIsNotHandled) {
    view->setUndoRedoEnabled(false);
    QTest::keyClicks(view, QStringLiteral("abc"));
    QKeyEvent undo(QEvent::KeyPress, Qt::Key_Z, ctrl);

    EXPECT_FALSE(view->performKeyEquivalent(&undo));
    QTest::keyClick(view, Qt::Key_Z, ctrl);
    EXPECT_EQ(view->plainText(), QStringLiteral("abc"));
}

TEST_F(DirectTextViewTest, ReadOnlyTextCanBeSelectedAndCopiedButNotChanged) {
    QTest::keyClicks(view, QStringLiteral("abc"));
    view->setReadOnly(true);
    view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    QTest::keyClick(view, Qt::Key_A, ctrl);
    QTest::keyClick(view, Qt::Key_C, ctrl);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("abc"));

    QApplication::clipboard()->setText(QStringLiteral("clip"));
    QTest::keyClick(view, Qt::Key_V, ctrl);
    QTest::keyClick(view, Qt::Key_X, ctrl);
    QTest::keyClick(view, Qt::Key_Z, ctrl);
    EXPECT_EQ(view->plainText(), QStringLiteral("abc"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("clip"));
}

TEST_F(DirectTextViewTest, CtrlFAsksForTheFindBar) {
    QSignalSpy requested(view, &DirectTextView::findRequested);
    QTest::keyClick(view, Qt::Key_F, ctrl);
    EXPECT_EQ(requested.count(), 1);
    EXPECT_EQ(view->plainText(), QString());
}

// Styled clipboard content must arrive as characters only, in the view's own
// font and colour, whether it offers a plain-text form or only HTML.
TEST_F(DirectTextViewTest, StyledPasteArrivesAsPlainText) {
    const QString html = QStringLiteral(
        "<b>bold</b> <span style='color:#ff0000; font-size:30pt; font-family:Serif'>red</span>");
    for (const bool withPlainForm : {true, false}) {
        SCOPED_TRACE(withPlainForm ? "text and html" : "html only");
        view->replaceText(QString());
        auto* mime = new QMimeData;
        mime->setHtml(html);
        if (withPlainForm) {
            mime->setText(QStringLiteral("bold red"));
        }
        QApplication::clipboard()->setMimeData(mime);

        QTest::keyClick(view, Qt::Key_V, ctrl);

        EXPECT_EQ(view->plainText(), QStringLiteral("bold red"));
        const QTextBlock block = view->document()->firstBlock();
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            EXPECT_FALSE(format.hasProperty(QTextFormat::FontWeight));
            EXPECT_FALSE(format.hasProperty(QTextFormat::ForegroundBrush));
            EXPECT_FALSE(format.hasProperty(QTextFormat::FontPointSize));
        }
        EXPECT_DOUBLE_EQ(block.blockFormat().lineHeight(), 118.0);
    }
}

// The paragraph style and insets live in the document, which replacing the
// text resets; they must come back each time, on every new line, and without
// an undo step that would take them away again.
TEST_F(DirectTextViewTest, ParagraphStyleAndInsetsSurviveReplacingTheText) {
    view->setTextContainerInset(QSizeF(0, 9), 5);
    view->replaceText(QStringLiteral("one\ntwo"));
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Return);

    EXPECT_DOUBLE_EQ(view->tabStopDistance(), 28.0);
    int blocks = 0;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
        ++blocks;
        EXPECT_EQ(block.blockFormat().lineHeightType(), QTextBlockFormat::ProportionalHeight);
        EXPECT_DOUBLE_EQ(block.blockFormat().lineHeight(), 118.0);
    }
    EXPECT_EQ(blocks, 3);
    const QTextFrameFormat frame = view->document()->rootFrame()->frameFormat();
    EXPECT_DOUBLE_EQ(frame.leftMargin(), 5.0);
    EXPECT_DOUBLE_EQ(frame.rightMargin(), 5.0);
    EXPECT_DOUBLE_EQ(frame.topMargin(), 9.0);
    EXPECT_DOUBLE_EQ(frame.bottomMargin(), 9.0);

    QTest::keyClick(view, Qt::Key_Z, ctrl);
    QTest::keyClick(view, Qt::Key_Z, ctrl);
    EXPECT_EQ(view->plainText(), QStringLiteral("one\ntwo"));
    EXPECT_DOUBLE_EQ(view->document()->firstBlock().blockFormat().lineHeight(), 118.0);
}

} // namespace
} // namespace quorvane
