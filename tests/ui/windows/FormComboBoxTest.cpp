#include "ui/windows/FormComboBox.h"

#include "ProviderSectionFixture.h"
#include "engine/ProviderConfig.h"
#include "support/ViewTestState.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpontaneKeyEvent>
#include <QWheelEvent>

namespace quorvane {
namespace {

using test::ViewTestState;

// The provider and model pickers of the provider section in a scrolling form.
using FormComboBoxTest = test::ProviderSectionFixture;

// The form scrolls under the wheel; the provider and model pickers it passes
// over keep their choice.
TEST_F(FormComboBoxTest, WheelOverThePickersScrollsTheForm) {
    fixture_.keys().setKey("", ProviderID::custom);
    state().setFetchedModels({{ProviderID::custom, {"a-model", "b-model", "c-model"}}});
    state().setModel("b-model");
    QScrollArea form;
    auto* content = new ProviderSection(state());
    content->setMinimumHeight(2000);
    form.setWidget(content);
    form.resize(480, 300);
    form.show();
    ViewTestState::processEvents();
    QScrollBar* bar = form.verticalScrollBar();
    bar->setValue(bar->maximum() / 2);

    struct Case {
        const char* name;
        QComboBox* picker;
        int delta;
        const char* shown;
    };
    for (const Case& c :
         {Case{"provider, up", content->providerPicker(), 120, "Custom (OpenAI-compatible)"},
          Case{"provider, down", content->providerPicker(), -120, "Custom (OpenAI-compatible)"},
          Case{"model, up", content->modelPicker(), 120, "b-model"},
          Case{"model, down", content->modelPicker(), -120, "b-model"}}) {
        SCOPED_TRACE(c.name);
        const int before = bar->value();
        const QPoint at = c.picker->rect().center();
        QWheelEvent wheel(at, c.picker->mapToGlobal(at), QPoint(), QPoint(0, c.delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        // As from the window system: only such events travel on to the parents.
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        qApp->notify(c.picker, &wheel);
        ViewTestState::processEvents();
        content->refresh();
        EXPECT_EQ(state().providerID(), ProviderID::custom);
        EXPECT_EQ(state().model(), "b-model");
        EXPECT_EQ(c.picker->currentText().toStdString(), c.shown);
        EXPECT_EQ(bar->value() < before, c.delta > 0) << "the form scrolls instead";
        EXPECT_NE(bar->value(), before);
    }
}

} // namespace
} // namespace quorvane
