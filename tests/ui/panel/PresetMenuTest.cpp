#include "ui/panel/PresetMenu.h"

#include "PanelHeaderFixture.h"
#include "engine/PresetOverride.h"
#include "support/ViewTestState.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using test::ViewTestState;
using Item = test::PresetMenuItem;
const std::vector<std::string>& builtInNames = test::builtInPresetNames;

// The preset menu as the header shows it, re-read when its panel refreshes.
using PresetMenuTest = test::PanelHeaderFixture;

TEST_F(PresetMenuTest, WithoutCustomPresetsMenuHasBuiltInSectionDividerAndEdit) {
    std::vector<Item> expected = {{"Built-in", true}};
    for (const std::string& name : builtInNames) {
        expected.push_back({name, false, name == "General"});
    }
    expected.push_back({"", true});
    expected.push_back({"Edit presets…"});
    EXPECT_EQ(menuItems(), expected);
    EXPECT_EQ(header_.presetMenu()->text(), QStringLiteral("General"));
    EXPECT_EQ(header_.presetMenu()->symbol(), "text.bubble");
}

TEST_F(PresetMenuTest, CustomSectionFollowsBuiltInInListOrder) {
    const Uuid first = state().addCustomPreset();
    const Uuid second = state().addCustomPreset();
    auto presets = state().customPresets();
    presets[0].name = "Release notes";
    presets[1].name = "Release notes"; // same name, still its own row
    state().updateCustomPreset(presets[0]);
    state().updateCustomPreset(presets[1]);
    state().setActiveCustomPresetID(second);

    const std::vector<Item> items = menuItems();
    ASSERT_EQ(items.size(), 1 + builtInNames.size() + 2 + 2 + 2);
    const std::vector<Item> tail(items.begin() + 1 + static_cast<long>(builtInNames.size()),
                                 items.end());
    const std::vector<Item> expected = {{"", true},
                                        {"Custom", true},
                                        {"Release notes", false, false},
                                        {"Release notes", false, true},
                                        {"", true},
                                        {"Edit presets…"}};
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(checkedItems(), std::vector<std::string>{"Release notes"}) << "no built-in checked";
    // The symbol is the only mark: a checkable action would get a check box from the style.
    for (QAction* action : header_.presetMenu()->menu()->actions()) {
        if (action->text() == QStringLiteral("Release notes")) {
            EXPECT_FALSE(action->isCheckable());
        }
    }
    (void)first;
}

// A custom preset's name is shown as typed, in the capsule and in the menu; an
// ampersand in it makes no Alt shortcut that would open the menu.
TEST_F(PresetMenuTest, AnAmpersandInAPresetNameIsShownAndBindsNoKey) {
    const Uuid id = state().addCustomPreset();
    auto preset = state().customPresets()[0];
    preset.name = "Q&A";
    state().updateCustomPreset(preset);
    state().setActiveCustomPresetID(id);
    header_.presetMenu()->refresh();
    EXPECT_EQ(header_.presetMenu()->text(), QStringLiteral("Q&A"));
    header_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&header_));
    QTest::keyClick(&header_, Qt::Key_A, Qt::AltModifier);
    EXPECT_FALSE(ViewTestState::waitUntil([&] { return header_.presetMenu()->menu()->isVisible(); },
                                          std::chrono::milliseconds(400)));
    header_.presetMenu()->menu()->close();

    // The menu draws a lone ampersand as the underline of the next letter.
    header_.presetMenu()->rebuildMenu();
    const auto actions = header_.presetMenu()->menu()->actions();
    EXPECT_TRUE(std::any_of(actions.begin(), actions.end(), [](QAction* action) {
        return action->iconText() == QStringLiteral("Q&A");
    }));
}

TEST_F(PresetMenuTest, OnlyActiveOverridesWithContentAreMarkedCustomized) {
    const auto stored = [](const char* raw, std::optional<std::string> instructions,
                           std::optional<ImagePromptStructure> image, bool active) {
        return PresetOverride{.presetRawValue = raw,
                              .customInstructions = std::move(instructions),
                              .imageStructure = std::move(image),
                              .isActive = active};
    };
    state().overrideStore().saveAll({
        stored("code", "Be terse.", std::nullopt, true),
        stored("imageGen", std::nullopt, ImagePromptStructure{}, true),
        stored("writing", "Inactive.", std::nullopt, false),
        stored("video", std::nullopt, std::nullopt, true),
    });
    std::vector<std::string> customized;
    for (const Item& item : menuItems()) {
        if (item.customized) {
            customized.push_back(item.text);
        }
    }
    EXPECT_EQ(customized, (std::vector<std::string>{"Code", "Image gen"}));
    EXPECT_EQ(menuAction(QStringLiteral("Code"))->toolTip(), QStringLiteral("Customized"));
}

TEST_F(PresetMenuTest, SelectingPresetsMovesTheCheckmarkAndTheLabel) {
    state().setSelectedPreset(Preset::writing);
    const Uuid id = state().addCustomPreset();
    auto preset = state().customPresets().front();
    preset.name = "Pitch deck";
    state().updateCustomPreset(preset);

    menuAction(QStringLiteral("Pitch deck"))->trigger();
    EXPECT_EQ(state().activeCustomPresetID(), id);
    EXPECT_EQ(state().selectedPreset(), Preset::writing) << "custom choice keeps the built-in one";
    EXPECT_EQ(checkedItems(), std::vector<std::string>{"Pitch deck"});
    panel_.refreshNow();
    EXPECT_EQ(header_.presetMenu()->text(), QStringLiteral("Pitch deck"));
    EXPECT_EQ(header_.presetMenu()->symbol(), "doc.text") << "symbol of the built-in preset";

    menuAction(QStringLiteral("Code"))->trigger();
    EXPECT_FALSE(state().activeCustomPresetID().has_value());
    EXPECT_EQ(state().selectedPreset(), Preset::code);
    EXPECT_EQ(checkedItems(), std::vector<std::string>{"Code"});
    panel_.refreshNow();
    EXPECT_EQ(header_.presetMenu()->text(), QStringLiteral("Code"));
    EXPECT_EQ(header_.presetMenu()->symbol(), "curlybraces");
}

TEST_F(PresetMenuTest, MenuIsRebuiltWhenAboutToShow) {
    state().addCustomPreset();
    QMenu* menu = header_.presetMenu()->menu();
    menu->clear();
    emit menu->aboutToShow();
    bool sawCustom = false;
    for (QAction* action : menu->actions()) {
        sawCustom = sawCustom || (action->isSeparator() && action->text() == "Custom");
    }
    EXPECT_TRUE(sawCustom);
}

} // namespace
} // namespace quorvane
