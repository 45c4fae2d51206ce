#include "ui/panel/HistoryView.h"

#include "shell/KeyablePanel.h"
#include "support/ProgramWindows.h"
#include "support/Snapshots.h"
#include "support/ViewTestState.h"
#include "ui/kit/ApplicationTheme.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/Symbols.h"
#include "ui/panel/HistoryRow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using test::ViewTestState;

HistoryItem makeItem(const std::string& input, Preset preset = Preset::general,
                     ProviderID provider = ProviderID::anthropic) {
    return HistoryItem{Uuid::random(), input,    "output of " + input,
                       preset,         provider, std::chrono::system_clock::now()};
}

class HistoryViewTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }
    void settle() { ViewTestState::processEvents(); }

    // Puts the items in memory and in the store, as the enhance flow would.
    void seed(std::vector<HistoryItem> items) {
        state().historyStore().save(items);
        state().setHistory(std::move(items));
        settle();
    }

    HistoryView& view() {
        if (!view_) {
            view_.emplace(state());
            view_->resize(480, 420);
            view_->show();
        }
        return *view_;
    }

    ViewTestState fixture_;
    std::optional<HistoryView> view_;
};

// The header's clock and the empty state's tray are drawn at the sizes of the texts beside them
// (a font made from a pixel-sized font's point size used to come out one pixel high).
TEST_F(HistoryViewTest, SymbolsHaveTheSizesOfTheirTexts) {
    seed({});
    view();
    settle();
    std::map<QString, int> sizes;
    for (QLabel* label : view().findChildren<QLabel*>()) {
        if (label->font().family() == Symbols::fontFamily()) {
            sizes[label->text()] = label->font().pixelSize();
        }
    }
    EXPECT_EQ(sizes[Symbols::glyph("clock.arrow.circlepath")], DesignFonts::headline().pixelSize());
    EXPECT_EQ(sizes[Symbols::glyph("tray")], DesignFonts::title2().pixelSize());
}

// "Clear all" is destructive: its title is in the kit's red for text, in both looks.
TEST_F(HistoryViewTest, ClearAllIsInTheDestructiveRed) {
    seed({makeItem("one")});
    for (const auto scheme : {ColorScheme::Scheme::light, ColorScheme::Scheme::dark}) {
        view_.reset();
        QWidget host;
        ApplicationTheme::apply(host, scheme);
        auto* shown = new HistoryView(state(), &host);
        host.show();
        settle();
        EXPECT_EQ(shown->clearAllButton()->palette().color(QPalette::ButtonText),
                  DesignColors::redText(scheme));
    }
}

TEST_F(HistoryViewTest, EmptyHistoryShowsTheEmptyStateWithoutClearAll) {
    view();
    settle();
    EXPECT_TRUE(view().emptyState()->isVisible());
    EXPECT_FALSE(view().list()->isVisible());
    EXPECT_TRUE(view().clearAllButton()->isHidden());
    EXPECT_TRUE(view().doneButton()->isVisible());
    EXPECT_NE(view().emptyState()->findChild<QLabel*>(), nullptr);
    bool found = false;
    for (QLabel* label : view().emptyState()->findChildren<QLabel*>()) {
        found = found || label->text() == QStringLiteral("No history yet");
    }
    EXPECT_TRUE(found);
}

TEST_F(HistoryViewTest, RowsListTheItemsNewestFirstWithPresetAndProvider) {
    seed({makeItem("newest", Preset::imageGen, ProviderID::ollama),
          makeItem("older", Preset::code, ProviderID::custom)});
    const auto rows = view().rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]->previewLabel()->text(), QStringLiteral("newest"));
    EXPECT_EQ(rows[0]->detailLabel()->text(), QStringLiteral("Image gen · Ollama (local)"));
    EXPECT_EQ(rows[1]->detailLabel()->text(), QStringLiteral("Code · Custom (OpenAI-compatible)"));
    EXPECT_FALSE(rows[0]->timeLabel()->text().isEmpty());
    EXPECT_TRUE(view().list()->isVisible());
    EXPECT_TRUE(view().clearAllButton()->isVisible());
}

TEST_F(HistoryViewTest, ClearAllAndDoneAreSmallControls) {
    seed({makeItem("one")});
    QPushButton regular(QStringLiteral("Clear all"), &view());
    for (QPushButton* button : {view().clearAllButton(), view().doneButton()}) {
        SCOPED_TRACE(button->text().toStdString());
        EXPECT_LT(QFontInfo(button->font()).pixelSize(), QFontInfo(regular.font()).pixelSize());
        EXPECT_LT(button->sizeHint().height(), regular.sizeHint().height());
    }
}

// An ampersand in a saved draft is text: the row makes no Alt shortcut of the
// letter after it, which would restore the item over the current draft.
TEST_F(HistoryViewTest, AnAmpersandInADraftBindsNoKey) {
    state().setInputText("the current draft");
    seed({makeItem("a R&D memo")});
    view().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view()));
    QTest::keyClick(&view(), Qt::Key_D, Qt::AltModifier);
    // A mnemonic clicks its button after a short animation.
    EXPECT_FALSE(
        ViewTestState::waitUntil([&] { return state().inputText() != "the current draft"; },
                                 std::chrono::milliseconds(400)));
    EXPECT_EQ(view().rows()[0]->previewLabel()->text(), QStringLiteral("a R&D memo"));
}

TEST_F(HistoryViewTest, ClickingARowRestoresItAndHidesTheHistory) {
    state().setShowHistory(true);
    state().setVariations({"a", "b"});
    seed({makeItem("first draft", Preset::writing), makeItem("second draft")});
    QTest::mouseClick(view().rows()[0], Qt::LeftButton);
    EXPECT_EQ(state().inputText(), "first draft");
    EXPECT_EQ(state().outputText(), "output of first draft");
    EXPECT_EQ(state().selectedPreset(), Preset::writing);
    EXPECT_TRUE(state().variations().empty());
    EXPECT_FALSE(state().showHistory());
    // Rebuilding after the click must not pull the row out from under it.
    settle();
    EXPECT_EQ(view().rows().size(), 2u);
}

TEST_F(HistoryViewTest, DeletingTheLastItemSwitchesToTheEmptyState) {
    seed({makeItem("one"), makeItem("two")});
    ASSERT_EQ(view().rows().size(), 2u);
    view().rows()[0]->deleteAction()->trigger();
    settle();
    ASSERT_EQ(view().rows().size(), 1u);
    EXPECT_EQ(view().rows()[0]->previewLabel()->text(), QStringLiteral("two"));
    EXPECT_EQ(state().historyStore().load().size(), 1u);

    view().rows()[0]->deleteAction()->trigger();
    settle();
    EXPECT_TRUE(view().rows().empty());
    EXPECT_TRUE(view().emptyState()->isVisible());
    EXPECT_TRUE(view().clearAllButton()->isHidden());
}

TEST_F(HistoryViewTest, ClearAllEmptiesMemoryAndStoreAtOnce) {
    seed({makeItem("one"), makeItem("two")});
    view();
    QTest::mouseClick(view().clearAllButton(), Qt::LeftButton);
    EXPECT_TRUE(state().history().empty());
    EXPECT_TRUE(state().historyStore().load().empty());
    EXPECT_TRUE(view().emptyState()->isVisible());
    EXPECT_TRUE(view().clearAllButton()->isHidden());
}

TEST_F(HistoryViewTest, DoneHidesTheHistory) {
    state().setShowHistory(true);
    QTest::mouseClick(view().doneButton(), Qt::LeftButton);
    EXPECT_FALSE(state().showHistory());
}

// The history in the panel as the program shows it, empty and filled, in both looks.
TEST_F(HistoryViewTest, SnapshotsOfEmptyAndFilledHistory) {
    if (!test::Snapshots::directory()) {
        GTEST_SKIP() << "QUORVANE_SNAPSHOT_DIR is not set";
    }
    test::ProgramWindows windows(state());
    for (const auto appearance : {Appearance::light, Appearance::dark}) {
        state().setAppearance(appearance);
        seed({});
        state().setShowHistory(true);
        KeyablePanel& panel = windows.panel();
        test::ProgramWindows::settle(panel);
        test::Snapshots::save(panel, QStringLiteral("history-empty"));

        seed({makeItem("Write a launch announcement for the new sync feature\nwith a short FAQ",
                       Preset::writing, ProviderID::openAI),
              makeItem("refactor the parser", Preset::code, ProviderID::anthropic),
              makeItem("a lighthouse at dusk, volumetric fog", Preset::imageGen,
                       ProviderID::ollama)});
        test::ProgramWindows::settle(panel);
        auto* history = panel.findChild<HistoryView*>();
        ASSERT_NE(history, nullptr);
        EXPECT_EQ(history->rows().size(), 3u);
        EXPECT_TRUE(history->rows().front()->isVisible());
        test::Snapshots::save(panel, QStringLiteral("history-items"));
    }
}

} // namespace
} // namespace quorvane
