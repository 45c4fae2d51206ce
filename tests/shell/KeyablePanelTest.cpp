#include "shell/KeyablePanel.h"

#include "ui/kit/ColorScheme.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWindow>

namespace quorvane {
namespace {

// A shown panel with an editor and a button, and a window shortcut for every combination the
// rows press, standing in for the view's and the application's own shortcuts.
class KeyablePanelTest : public testing::Test {
protected:
    KeyablePanelTest() {
        auto* content = new QWidget;
        auto* layout = new QVBoxLayout(content);
        editor_ = new QTextEdit;
        button_ = new QPushButton("Button");
        layout->addWidget(editor_);
        layout->addWidget(button_);
        panel_.setContentView(content);
        panel_.show();
        panel_.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&panel_));
        editor_->setPlainText("hello world");
        editor_->setFocus();
        QGuiApplication::clipboard()->setText("pasted");
    }

    int shortcutHits(QKeyCombination combination) {
        auto* shortcut = new QShortcut(QKeySequence(combination), &panel_);
        auto hits = std::make_shared<int>(0);
        QObject::connect(shortcut, &QShortcut::activated, [hits] { ++*hits; });
        counters_.push_back(hits);
        return static_cast<int>(counters_.size()) - 1;
    }

    void press(QKeyCombination combination) {
        QTest::keyClick(QApplication::focusWidget(), combination.key(),
                        combination.keyboardModifiers());
    }

    KeyablePanel panel_{QSize(480, 420)};
    QTextEdit* editor_ = nullptr;
    QPushButton* button_ = nullptr;
    std::vector<std::shared_ptr<int>> counters_;
};

TEST_F(KeyablePanelTest, EditingShortcutsReachTheEditorBeforeAnyShortcut) {
    struct Row {
        QKeyCombination keys;
        QString text;      // of the editor afterwards
        QString selection; // of the editor afterwards
        QString clipboard;
    };
    const Row rows[] = {
        {Qt::CTRL | Qt::Key_A, "hello world", "hello world", "pasted"},
        // Other modifiers held with Ctrl do not stop the mapping.
        {Qt::CTRL | Qt::SHIFT | Qt::Key_A, "hello world", "hello world", "pasted"},
        {Qt::CTRL | Qt::Key_V, "pasted", "", "pasted"},
        {Qt::CTRL | Qt::Key_C, "hello world", "hello world", "hello world"},
        {Qt::CTRL | Qt::Key_X, "", "", "hello world"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(QKeySequence(row.keys).toString().toStdString());
        editor_->setPlainText("hello world");
        QGuiApplication::clipboard()->setText("pasted");
        if (row.keys.key() != Qt::Key_A) {
            editor_->selectAll();
        }
        const int shortcut = shortcutHits(row.keys);

        press(row.keys);

        EXPECT_EQ(editor_->toPlainText(), row.text);
        EXPECT_EQ(editor_->textCursor().selectedText(), row.selection);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), row.clipboard);
        EXPECT_EQ(*counters_[static_cast<std::size_t>(shortcut)], 0);
    }
}

TEST_F(KeyablePanelTest, OtherCombinationsAndOtherFocusAreLeftToTheShortcuts) {
    const int quit = shortcutHits(Qt::CTRL | Qt::Key_Q);
    press(Qt::CTRL | Qt::Key_Q);
    EXPECT_EQ(*counters_[static_cast<std::size_t>(quit)], 1);

    // Without Ctrl, V is typed.
    QTest::keyClick(editor_, 'v');
    EXPECT_TRUE(editor_->toPlainText().contains("v"));

    // No text editor has the focus: the panel does not claim the paste.
    button_->setFocus();
    const int paste = shortcutHits(Qt::CTRL | Qt::Key_V);
    press(Qt::CTRL | Qt::Key_V);
    EXPECT_EQ(*counters_[static_cast<std::size_t>(paste)], 1);
}

TEST_F(KeyablePanelTest, AppearanceDarkIsDarkAndTheOthersLight) {
    const std::pair<Appearance, ColorScheme::Scheme> rows[] = {
        {Appearance::dark, ColorScheme::Scheme::dark},
        {Appearance::auto_, ColorScheme::Scheme::light},
        {Appearance::light, ColorScheme::Scheme::light},
    };
    for (const auto& [appearance, scheme] : rows) {
        panel_.setAppearance(appearance);
        EXPECT_EQ(ColorScheme::of(editor_), scheme);
        EXPECT_EQ(ColorScheme::fromPalette(panel_.palette()), scheme);
    }
}

TEST_F(KeyablePanelTest, HidesWhenTheApplicationDeactivatesOnlyWhenAsked) {
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_TRUE(panel_.isVisible());

    panel_.setHidesOnDeactivate(true);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(panel_.isVisible());
}

// Pressed and dragged as a person does, through the window, so the press lands on whatever lies
// under it and travels up from there.
TEST_F(KeyablePanelTest, ADragOnTheBackgroundMovesThePanelAndOnAControlDoesNot) {
    QWindow* window = panel_.windowHandle();
    ASSERT_NE(window, nullptr);
    const QPoint background(240, 2);
    struct Row {
        const char* name;
        QPoint press;
        Qt::MouseButton button;
        bool moves;
    };
    const Row rows[] = {
        {"background", background, Qt::LeftButton, true},
        {"editor", editor_->mapTo(&panel_, editor_->rect().center()), Qt::LeftButton, false},
        {"button", button_->mapTo(&panel_, button_->rect().center()), Qt::LeftButton, false},
        {"background, right button", background, Qt::RightButton, false},
    };
    ASSERT_EQ(panel_.childAt(background), panel_.contentView());
    // The pointer's place on the screen, given in the window's coordinates of the moment.
    const auto local = [&](QPoint global) { return window->mapFromGlobal(global); };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        editor_->setFocus();
        panel_.move(100, 100);
        const QPoint start = window->mapToGlobal(row.press);
        // Towards the middle, so that a press the panel does not follow stays inside the window.
        const QPoint step(30, row.press.y() < panel_.height() / 2 ? 20 : -20);
        const QPoint moved = row.moves ? QPoint(100, 100) + 2 * step : QPoint(100, 100);
        QTest::mousePress(window, row.button, {}, row.press);
        QTest::mouseMove(window, local(start + step));
        QTest::mouseMove(window, local(start + 2 * step));
        QTest::mouseRelease(window, row.button, {}, local(start + 2 * step));
        EXPECT_EQ(panel_.pos(), moved);
        if (row.press == background) {
            EXPECT_EQ(QApplication::focusWidget(), editor_)
                << "typing no longer reaches the editor";
        }

        // Once let go, the pointer moves on alone.
        QTest::mouseMove(window, local(start + 3 * step));
        EXPECT_EQ(panel_.pos(), moved);
    }
}

TEST_F(KeyablePanelTest, ContentKeepsItsOwnSizeAndCornersAreClipped) {
    auto* content = panel_.contentView();
    EXPECT_EQ(content->size(), QSize(480, 420));
    content->resize(480, 600);
    EXPECT_EQ(panel_.size(), QSize(480, 420));

    const QRegion mask = panel_.mask();
    EXPECT_FALSE(mask.contains(QPoint(1, 1)));
    EXPECT_FALSE(mask.contains(QPoint(478, 418)));
    EXPECT_TRUE(mask.contains(QPoint(240, 1)));
    EXPECT_TRUE(mask.contains(QPoint(240, 210)));
}

} // namespace
} // namespace quorvane
