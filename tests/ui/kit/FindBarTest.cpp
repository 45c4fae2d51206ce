#include "ui/kit/FindBar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace quorvane {
namespace {

class FindBarTest : public testing::Test {
protected:
    void SetUp() override {
        editor.setPlainText(QStringLiteral("Bar one, bar two, barn"));
        editor.resize(400, 200);
        editor.show();
        QApplication::setActiveWindow(&editor);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
        bar.open();
    }

    int selectionStart() const { return editor.textCursor().selectionStart(); }
    QString selected() const { return editor.textCursor().selectedText(); }

    QTextEdit editor;
    FindBar bar{&editor, &editor};
};

// Each keystroke refines the match in place, without skipping ahead, and
// matching ignores case.
TEST_F(FindBarTest, TypingSelectsTheMatchIncrementally) {
    QTest::keyClick(bar.field(), Qt::Key_B);
    EXPECT_EQ(selectionStart(), 0);
    EXPECT_EQ(selected(), QStringLiteral("B"));

    QTest::keyClicks(bar.field(), QStringLiteral("ar"));
    EXPECT_EQ(selectionStart(), 0);
    EXPECT_EQ(selected(), QStringLiteral("Bar"));

    QTest::keyClick(bar.field(), Qt::Key_N);
    EXPECT_EQ(selectionStart(), 18);
    EXPECT_EQ(selected(), QStringLiteral("barn"));
}

TEST_F(FindBarTest, EnterMovesOnAndWrapsShiftEnterGoesBack) {
    QTest::keyClicks(bar.field(), QStringLiteral("bar"));
    ASSERT_EQ(selectionStart(), 0);

    const std::vector<int> forward = {9, 18, 0};
    for (const int expected : forward) {
        QTest::keyClick(bar.field(), Qt::Key_Return);
        EXPECT_EQ(selectionStart(), expected);
    }
    QTest::keyClick(bar.field(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(selectionStart(), 18);
}

TEST_F(FindBarTest, NoMatchLeavesTheSelectionAlone) {
    QTest::keyClicks(bar.field(), QStringLiteral("bar"));
    QTest::keyClick(bar.field(), Qt::Key_Return);
    QTest::keyClick(bar.field(), Qt::Key_Q);

    EXPECT_EQ(selectionStart(), 9);
    EXPECT_EQ(selected(), QStringLiteral("bar"));
}

// Escape belongs to the field while it is open, not to the window's own
// Escape (which hides the panel).
TEST_F(FindBarTest, EscapeClosesTheBarOnly) {
    QShortcut windowEscape(QKeySequence(Qt::Key_Escape), &editor);
    QSignalSpy windowEscaped(&windowEscape, &QShortcut::activated);
    QSignalSpy closed(&bar, &FindBar::closed);
    QTest::keyClicks(bar.field(), QStringLiteral("two"));

    QTest::keyClick(bar.field(), Qt::Key_Escape);

    EXPECT_TRUE(bar.isHidden());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(windowEscaped.count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), &editor);
    EXPECT_EQ(selected(), QStringLiteral("two"));
}

} // namespace
} // namespace quorvane
