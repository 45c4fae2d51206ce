#include "ui/panel/PanelHeader.h"

#include "engine/PresetOverride.h"
#include "support/Render.h"
#include "support/ViewTestState.h"
#include "ui/kit/KitButton.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/PresetMenu.h"
#include "ui/panel/PresetMenuRow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QWidgetAction>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using test::ViewTestState;

// One menu entry as the user reads it: separators keep their section title.
struct Item {
    std::string text;
    bool separator = false;
    bool checked = false;
    bool customized = false;

    bool operator==(const Item&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Item& item) {
    return out << (item.separator ? "---" : "") << item.text << (item.checked ? " [x]" : "")
               << (item.customized ? " (customized)" : "");
}

const std::vector<std::string> builtInNames = {"General", "Code",    "Image gen", "Writing",
                                               "Video",   "Content", "Analysis"};

class PanelHeaderTest : public testing::Test {
protected:
    void SetUp() override { header_.show(); }

    AppState& state() { return fixture_.state(); }

    std::vector<Item> menuItems() {
        header_.presetMenu()->rebuildMenu();
        std::vector<Item> items;
        for (QAction* action : header_.presetMenu()->menu()->actions()) {
            // A built-in row draws its own checkmark for a checked action; a custom row shows
            // the checkmark symbol as its icon.
            const bool marked =
                action->isCheckable() ? action->isChecked() : !action->icon().isNull();
            items.push_back({action->text().toStdString(), action->isSeparator(), marked,
                             action->property("customized").toBool()});
        }
        return items;
    }

    QAction* menuAction(const QString& text) {
        header_.presetMenu()->rebuildMenu();
        for (QAction* action : header_.presetMenu()->menu()->actions()) {
            if (!action->isSeparator() && action->text() == text) {
                return action;
            }
        }
        ADD_FAILURE() << "no menu item " << text.toStdString();
        return nullptr;
    }

    std::vector<std::string> checkedItems() {
        std::vector<std::string> checked;
        for (const Item& item : menuItems()) {
            if (item.checked) {
                checked.push_back(item.text);
            }
        }
        return checked;
    }

    ViewTestState fixture_;
    int closes_ = 0;
    PopoverView panel_{fixture_.state(), [this] { ++closes_; }};
    PanelHeader header_{panel_};
};

TEST_F(PanelHeaderTest, WithoutCustomPresetsMenuHasBuiltInSectionDividerAndEdit) {
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

TEST_F(PanelHeaderTest, CustomSectionFollowsBuiltInInListOrder) {
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
TEST_F(PanelHeaderTest, AnAmpersandInAPresetNameIsShownAndBindsNoKey) {
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

TEST_F(PanelHeaderTest, OnlyActiveOverridesWithContentAreMarkedCustomized) {
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

// Whether anything is drawn inside the rectangle of a rendered row.
bool hasInk(const QImage& image, const QRectF& area) {
    const QRect pixels = area.toAlignedRect().intersected(image.rect());
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            if (image.pixelColor(x, y).alpha() > 0) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(PanelHeaderTest, BuiltInRowsShowThePencilWhenCustomizedAndTheCheckmarkWhenCurrent) {
    state().overrideStore().saveAll({PresetOverride{.presetRawValue = "code",
                                                    .customInstructions = "Be terse.",
                                                    .imageStructure = std::nullopt,
                                                    .isActive = true}});
    state().setSelectedPreset(Preset::writing);
    struct Case {
        const char* name;
        bool customized;
        bool current;
    };
    const Case cases[] = {
        {"Code", true, false}, {"Writing", false, true}, {"General", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* action = qobject_cast<QWidgetAction*>(menuAction(QString::fromLatin1(c.name)));
        ASSERT_NE(action, nullptr);
        auto* row = qobject_cast<PresetMenuRow*>(action->defaultWidget());
        ASSERT_NE(row, nullptr);
        row->resize(row->sizeHint());
        // The style's row ground is left out: only the row's own symbols and text count.
        const QImage image = test::render(*row);
        EXPECT_EQ(row->isCustomized(), c.customized);
        EXPECT_EQ(!row->customizedMarkRect().isEmpty(), c.customized);
        EXPECT_EQ(!row->checkmarkRect().isEmpty(), c.current);
        if (c.customized) {
            EXPECT_TRUE(hasInk(image, row->customizedMarkRect()));
        }
        if (c.current) {
            EXPECT_TRUE(hasInk(image, row->checkmarkRect()));
        }
    }
}

TEST_F(PanelHeaderTest, BuiltInRowsOfTheOpenMenuAnswerClicksAndKeys) {
    QMenu* menu = header_.presetMenu()->menu();
    // The menu ignores a pointer that is still where it was when the menu opened.
    QTest::mouseMove(&header_, QPoint(1, 1));
    menu->popup(header_.mapToGlobal(QPoint(0, header_.height())));
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return menu->isVisible(); }));
    QAction* code = nullptr;
    for (QAction* action : menu->actions()) {
        code = action->text() == QStringLiteral("Code") ? action : code;
    }
    ASSERT_NE(code, nullptr);
    auto* row = qobject_cast<PresetMenuRow*>(qobject_cast<QWidgetAction*>(code)->defaultWidget());
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(row->isVisible());
    QTest::mouseMove(row, QPoint(20, row->height() / 2));
    EXPECT_TRUE(ViewTestState::waitUntil([&] { return row->isHighlighted(); }));
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(20, row->height() / 2));
    EXPECT_TRUE(ViewTestState::waitUntil([&] { return !menu->isVisible(); }));
    EXPECT_EQ(state().selectedPreset(), Preset::code);

    // The keyboard reaches the rows as well.
    menu->popup(header_.mapToGlobal(QPoint(0, header_.height())));
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return menu->isVisible(); }));
    for (int step = 0; step < 12 && (menu->activeAction() == nullptr ||
                                     menu->activeAction()->text() != QStringLiteral("Writing"));
         ++step) {
        QTest::keyClick(menu, Qt::Key_Down);
    }
    ASSERT_NE(menu->activeAction(), nullptr);
    ASSERT_EQ(menu->activeAction()->text(), QStringLiteral("Writing"));
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_TRUE(ViewTestState::waitUntil([&] { return !menu->isVisible(); }));
    EXPECT_EQ(state().selectedPreset(), Preset::writing);
}

TEST_F(PanelHeaderTest, SelectingPresetsMovesTheCheckmarkAndTheLabel) {
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

TEST_F(PanelHeaderTest, MenuIsRebuiltWhenAboutToShow) {
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

TEST_F(PanelHeaderTest, EditPresetsAndSettingsButtonOpenSettings) {
    int opened = 0;
    state().openSettings = [&] { ++opened; };
    menuAction(QStringLiteral("Edit presets…"))->trigger();
    EXPECT_EQ(opened, 1);
    QTest::mouseClick(header_.findChild<KitButton*>("settingsButton"), Qt::LeftButton);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(closes_, 0);
}

TEST_F(PanelHeaderTest, RoundButtonsToggleHistoryAndClose) {
    const struct {
        const char* name;
        const char* symbol;
        QString help;
    } buttons[] = {
        {"historyButton", "clock.arrow.circlepath", QStringLiteral("History (Ctrl+H)")},
        {"settingsButton", "gearshape", QStringLiteral("Settings (Ctrl+,)")},
        {"closeButton", "xmark", QStringLiteral("Close (Esc)")},
    };
    for (const auto& expected : buttons) {
        auto* button = header_.findChild<KitButton*>(expected.name);
        ASSERT_NE(button, nullptr) << expected.name;
        EXPECT_EQ(button->symbol(), expected.symbol);
        EXPECT_EQ(button->toolTip(), expected.help);
        EXPECT_EQ(button->accessibleName(), expected.help);
    }

    auto* history = header_.findChild<KitButton*>("historyButton");
    QTest::mouseClick(history, Qt::LeftButton);
    EXPECT_TRUE(state().showHistory());
    QTest::mouseClick(history, Qt::LeftButton);
    EXPECT_FALSE(state().showHistory());

    QTest::mouseClick(header_.findChild<KitButton*>("closeButton"), Qt::LeftButton);
    EXPECT_EQ(closes_, 1);
}

} // namespace
} // namespace quorvane
