#include "ui/windows/PresetsSection.h"

#include "engine/MetaPrompt.h"
#include "shell/ApplicationWindow.h"
#include "support/ProgramWindows.h"
#include "support/Snapshots.h"
#include "support/ViewTestState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/windows/PresetBuiltInRow.h"
#include "ui/windows/PresetCustomRow.h"
#include "ui/windows/PresetTextEditor.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsRow.h"
#include "ui/windows/SettingsView.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace quorvane {
namespace {

using test::ViewTestState;

class PresetsSectionTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    PresetsSection& section() {
        if (!section_) {
            section_.emplace(state());
            section_->resize(520, 900);
            section_->show();
        }
        return *section_;
    }

    PresetBuiltInRow& row(Preset preset) {
        return *section().builtInRows().at(static_cast<std::size_t>(preset));
    }

    PresetCustomRow& customRow(std::size_t index) { return *section().customRows().at(index); }

    // What SettingsView does after a change: one re-read per event-loop turn.
    void refresh() {
        ViewTestState::processEvents();
        section().refresh();
    }

    static void type(PresetTextEditor& editor, const QString& text) {
        QTest::keyClicks(editor.editor(), text);
    }

    PresetOverride storedOverride(Preset preset, std::optional<std::string> text, bool active) {
        return PresetOverride{.presetRawValue = std::string(rawValue(preset)),
                              .customInstructions = std::move(text),
                              .imageStructure = std::nullopt,
                              .isActive = active};
    }

    ViewTestState fixture_;
    std::optional<PresetsSection> section_;
};

TEST_F(PresetsSectionTest, ListsTheSevenBuiltInsInOrderShowingTheirBuiltInText) {
    ASSERT_EQ(section().builtInRows().size(), 7u);
    for (const Preset preset : allCases<Preset>()) {
        SCOPED_TRACE(std::string(rawValue(preset)));
        auto& built = row(preset);
        EXPECT_EQ(built.preset(), preset);
        EXPECT_EQ(built.editor()->text().toStdString(), MetaPrompt::forPreset(preset));
        EXPECT_TRUE(built.customizedMark()->isHidden());
        EXPECT_TRUE(built.resetButton()->isHidden());
    }
}

TEST_F(PresetsSectionTest, FirstKeystrokeInABuiltInEditorStoresAnActiveOverride) {
    struct Case {
        Preset preset;
        bool carriesImageStructure;
    };
    for (const Case& c : {Case{Preset::general, false}, Case{Preset::imageGen, true},
                          Case{Preset::video, true}, Case{Preset::code, false}}) {
        SCOPED_TRACE(std::string(rawValue(c.preset)));
        auto& built = row(c.preset);
        type(*built.editor(), QStringLiteral("Z"));

        const auto stored = state().overrideStore().activeOverride(c.preset);
        ASSERT_TRUE(stored.has_value());
        EXPECT_TRUE(stored->isActive);
        EXPECT_EQ(stored->customInstructions, built.editor()->text().toStdString());
        EXPECT_NE(stored->customInstructions->find('Z'), std::string::npos);
        EXPECT_EQ(stored->imageStructure.has_value(), c.carriesImageStructure);
        EXPECT_FALSE(built.customizedMark()->isHidden());
        EXPECT_FALSE(built.resetButton()->isHidden());
    }
    // One upserted override per edited preset, not one per keystroke.
    EXPECT_EQ(state().overrideStore().loadAll().size(), 4u);
}

TEST_F(PresetsSectionTest, ClearedBuiltInEditorStaysEmptyAndCustomized) {
    auto& built = row(Preset::writing);
    built.editor()->editor()->selectAll();
    QTest::keyClick(built.editor()->editor(), Qt::Key_Delete);
    refresh();

    const auto stored = state().overrideStore().activeOverride(Preset::writing);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->customInstructions, std::string());
    EXPECT_EQ(built.editor()->text(), QString());
    EXPECT_TRUE(built.isCustomized());
}

TEST_F(PresetsSectionTest, OverrideWithoutInstructionsShowsBuiltInTextButCountsWhenStructured) {
    auto structured = storedOverride(Preset::imageGen, std::nullopt, true);
    structured.imageStructure = ImagePromptStructure{};
    state().overrideStore().saveAll(
        {storedOverride(Preset::general, "inactive text", false), structured});
    refresh();

    EXPECT_EQ(row(Preset::general).editor()->text().toStdString(),
              MetaPrompt::forPreset(Preset::general));
    EXPECT_FALSE(row(Preset::general).isCustomized());
    EXPECT_EQ(row(Preset::imageGen).editor()->text().toStdString(),
              MetaPrompt::forPreset(Preset::imageGen));
    EXPECT_TRUE(row(Preset::imageGen).isCustomized());
    EXPECT_FALSE(row(Preset::imageGen).resetButton()->isHidden());
}

TEST_F(PresetsSectionTest, ResetDropsEveryOverrideOfThatPresetAndKeepsTheOthersInOrder) {
    const auto codeFirst = storedOverride(Preset::code, "code one", true);
    const auto contentAfter = storedOverride(Preset::content, "content", false);
    state().overrideStore().saveAll({storedOverride(Preset::general, "old", false), codeFirst,
                                     storedOverride(Preset::general, "mine", true), contentAfter});
    refresh();
    auto& general = row(Preset::general);
    ASSERT_EQ(general.editor()->text(), QStringLiteral("mine"));

    general.resetButton()->click();
    refresh();

    EXPECT_EQ(state().overrideStore().loadAll(), (std::vector{codeFirst, contentAfter}));
    EXPECT_EQ(general.editor()->text().toStdString(), MetaPrompt::forPreset(Preset::general));
    EXPECT_TRUE(general.resetButton()->isHidden());
    EXPECT_TRUE(general.customizedMark()->isHidden());
    EXPECT_EQ(row(Preset::code).editor()->text(), QStringLiteral("code one"));
}

TEST_F(PresetsSectionTest, CloneAddsACustomPresetWithTheShownText) {
    state().overrideStore().saveAll({storedOverride(Preset::analysis, "my analysis", true)});
    refresh();

    row(Preset::analysis).cloneButton()->click();
    refresh();

    ASSERT_EQ(state().customPresets().size(), 1u);
    EXPECT_EQ(state().customPresets().front().instructions, "my analysis");
    ASSERT_EQ(section().customRows().size(), 1u);
    EXPECT_EQ(customRow(0).editor()->text(), QStringLiteral("my analysis"));
    EXPECT_TRUE(section().emptyCaption()->isHidden());
}

TEST_F(PresetsSectionTest, CustomPresetsAreAddedRenamedEditedAndDeleted) {
    EXPECT_FALSE(section().emptyCaption()->isHidden());
    EXPECT_TRUE(section().customRows().empty());

    section().addButton()->click();
    section().addButton()->click();
    refresh();
    ASSERT_EQ(section().customRows().size(), 2u);
    EXPECT_TRUE(section().emptyCaption()->isHidden());
    const Uuid firstID = state().customPresets().at(0).id;
    const Uuid secondID = state().customPresets().at(1).id;
    EXPECT_EQ(customRow(0).presetID(), firstID);

    auto& first = customRow(0);
    first.nameField()->selectAll();
    QTest::keyClicks(first.nameField(), QStringLiteral("Haiku"));
    type(*first.editor(), QStringLiteral("Q"));
    refresh();
    const auto& renamed = state().customPresets().at(0);
    EXPECT_EQ(renamed.name, "Haiku");
    EXPECT_NE(renamed.instructions.find('Q'), std::string::npos);
    EXPECT_EQ(first.deleteButton()->accessibleName(), QStringLiteral("Delete preset Haiku"));
    EXPECT_EQ(first.deleteButton()->toolTip(), QStringLiteral("Delete this preset"));

    state().setActiveCustomPresetID(firstID);
    first.deleteButton()->click();
    refresh();
    EXPECT_EQ(state().activeCustomPresetID(), std::nullopt);
    ASSERT_EQ(section().customRows().size(), 1u);
    EXPECT_EQ(customRow(0).presetID(), secondID);
    ASSERT_EQ(state().presetStore().load().size(), 1u);

    customRow(0).deleteButton()->click();
    refresh();
    EXPECT_TRUE(section().customRows().empty());
    EXPECT_FALSE(section().emptyCaption()->isHidden());
}

TEST_F(PresetsSectionTest, RefreshWhileTypingKeepsTheCaret) {
    section().addButton()->click();
    refresh();
    auto* builtIn = row(Preset::general).editor()->editor();
    auto* custom = customRow(0).editor()->editor();
    for (QPlainTextEdit* editor : {builtIn, custom}) {
        QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(editor, QStringLiteral("ab"));
        QTest::keyClick(editor, Qt::Key_Left);
        const int caret = editor->textCursor().position();
        refresh();
        state().sendObjectWillChange();
        refresh();
        EXPECT_EQ(editor->textCursor().position(), caret);
        QTest::keyClicks(editor, QStringLiteral("c"));
        EXPECT_TRUE(editor->toPlainText().endsWith(QStringLiteral("acb")));
    }
    EXPECT_TRUE(state().customPresets().at(0).instructions.ends_with("acb"));
}

// Nothing of a row comes nearer the card's side edges than the form's row inset: the captions,
// the symbols and the buttons used to touch or straddle them.
TEST_F(PresetsSectionTest, RowsKeepTheirInsetFromTheCardsEdges) {
    state().overrideStore().saveAll({storedOverride(Preset::code, "Be terse.", true)});
    section();
    refresh();
    auto* group = section().findChild<SettingsGroup*>();
    ASSERT_NE(group, nullptr);
    QWidget* card = group->rows().front()->parentWidget();
    const QImage picture = card->grab().toImage();
    const QColor fill = picture.pixelColor(5, picture.height() / 2);
    const auto differs = [&](int x, int y) {
        const QColor pixel = picture.pixelColor(x, y);
        return std::abs(pixel.red() - fill.red()) > 8 ||
               std::abs(pixel.green() - fill.green()) > 8 ||
               std::abs(pixel.blue() - fill.blue()) > 8;
    };
    // Inside the rounded border, within the inset, top to bottom.
    const int inset = SettingsRow::leadingInset;
    for (int y = 12; y < picture.height() - 12; ++y) {
        for (const int x : {3, inset - 2, picture.width() - inset + 1, picture.width() - 4}) {
            ASSERT_FALSE(differs(x, y)) << "something drawn at " << x << "," << y;
        }
    }
}

// The presets section in the settings window as the program shows it, with a customised
// built-in preset and a custom one, scrolled to its start and to its end.
TEST_F(PresetsSectionTest, SavesSnapshotsWhenAsked) {
    if (!test::Snapshots::directory()) {
        GTEST_SKIP() << "QUORVANE_SNAPSHOT_DIR is not set";
    }
    state().overrideStore().saveAll({storedOverride(Preset::code, "Be terse.", true)});
    state().addCustomPreset();
    test::ProgramWindows windows(state());
    for (const auto appearance : {Appearance::light, Appearance::dark}) {
        state().setAppearance(appearance);
        ApplicationWindow& window = windows.settings();
        auto* view = qobject_cast<SettingsView*>(window.content());
        auto* presets = view->findChild<PresetsSection*>();
        QScrollBar* bar = view->scrollArea()->verticalScrollBar();
        bar->setValue(presets->mapTo(view->scrollArea()->widget(), QPoint(0, 0)).y());
        test::ProgramWindows::settle(window);
        test::Snapshots::save(window, QStringLiteral("settings-presets-start"));
        view->scrollArea()->ensureWidgetVisible(presets->addButton());
        test::ProgramWindows::settle(window);
        test::Snapshots::save(window, QStringLiteral("settings-presets-end"));
    }
}

} // namespace
} // namespace quorvane
