#include "ui/panel/PresetMenuRow.h"

#include "PanelHeaderFixture.h"
#include "engine/PresetOverride.h"
#include "support/Render.h"
#include "support/ViewTestState.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QWidgetAction>

namespace quorvane {
namespace {

using test::ViewTestState;

// The rows of the preset menu as the header's menu builds them.
using PresetMenuRowTest = test::PanelHeaderFixture;

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

TEST_F(PresetMenuRowTest, BuiltInRowsShowThePencilWhenCustomizedAndTheCheckmarkWhenCurrent) {
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

TEST_F(PresetMenuRowTest, BuiltInRowsOfTheOpenMenuAnswerClicksAndKeys) {
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

} // namespace
} // namespace quorvane
