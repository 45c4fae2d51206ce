#include "ui/windows/PresetTextEditor.h"

#include "support/ViewTestState.h"
#include "ui/windows/SettingsView.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <cstdlib>

namespace quorvane {
namespace {

using test::ViewTestState;

// The editors as the presets section of the settings form holds them.
class PresetTextEditorTest : public testing::Test {
protected:
    PresetTextEditorTest() { unsetenv("THRIM_CUSTOM_API_KEY"); }

    AppState& state() { return fixture_.state(); }

    ViewTestState fixture_;
};

// The wheel over a preset editor scrolls the editor while it can go on, then the form.
TEST_F(PresetTextEditorTest, TheWheelOverAnEditorAtItsEndScrollsTheForm) {
    SettingsView view(state());
    view.resize(SettingsView::formWidth, SettingsView::formMinimumHeight);
    view.show();
    ViewTestState::processEvents();
    QPlainTextEdit* editor = view.findChild<PresetTextEditor*>()->editor();
    view.scrollArea()->ensureWidgetVisible(editor);
    ViewTestState::processEvents();
    QScrollBar* form = view.scrollArea()->verticalScrollBar();
    QScrollBar* own = editor->verticalScrollBar();
    ASSERT_GT(own->maximum(), 0) << "the built-in text is longer than the editor";
    const auto wheelDown = [&] {
        const QPointF at(10, 10);
        QWheelEvent wheel(at, editor->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(editor->viewport(), &wheel);
        ViewTestState::processEvents();
    };

    own->setValue(own->minimum());
    int formAt = form->value();
    wheelDown();
    EXPECT_GT(own->value(), own->minimum()) << "the editor scrolls first";
    EXPECT_EQ(form->value(), formAt);

    own->setValue(own->maximum());
    formAt = form->value();
    wheelDown();
    EXPECT_GT(form->value(), formAt) << "then the form";
    EXPECT_EQ(own->value(), own->maximum());
}

} // namespace
} // namespace quorvane
