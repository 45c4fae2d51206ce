#include "ui/panel/AdvancedOptionsPanel.h"

#include "support/ViewTestState.h"
#include "ui/panel/PopoverView.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace quorvane {
namespace {

using test::ViewTestState;

QStringList items(const QComboBox& combo) {
    QStringList titles;
    for (int i = 0; i < combo.count(); ++i) {
        titles << combo.itemText(i);
    }
    return titles;
}

class AdvancedOptionsPanelTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    AdvancedOptionsPanel& openPanel() {
        state().setShowAdvanced(true);
        panel_.refreshNow();
        return options_;
    }

    ViewTestState fixture_;
    PopoverView panel_{fixture_.state(), [] {}};
    AdvancedOptionsPanel options_{panel_};
};

TEST(AdvancedOptionsChoiceTitleTest, CapitalizesEveryWord) {
    const struct {
        const char* raw;
        const char* title;
    } cases[] = {
        {"auto", "Auto"}, {"persuasive", "Persuasive"}, {"two words", "Two Words"}, {"", ""}};
    for (const auto& item : cases) {
        EXPECT_EQ(AdvancedOptionsPanel::choiceTitle(item.raw), QString::fromUtf8(item.title));
    }
}

TEST_F(AdvancedOptionsPanelTest, ShownOnlyWhileAdvancedIsOpen) {
    EXPECT_TRUE(options_.isHidden());
    openPanel();
    EXPECT_FALSE(options_.isHidden());
    state().setShowAdvanced(false);
    panel_.refreshNow();
    EXPECT_TRUE(options_.isHidden());
}

TEST_F(AdvancedOptionsPanelTest, PickersListChoicesInCaseOrderAndWriteTheState) {
    openPanel();
    EXPECT_EQ(items(*options_.tonePicker()),
              (QStringList{"Auto", "Professional", "Casual", "Friendly", "Technical", "Persuasive",
                           "Academic"}));
    EXPECT_EQ(items(*options_.lengthPicker()),
              (QStringList{"Auto", "Concise", "Balanced", "Detailed"}));

    options_.tonePicker()->setCurrentIndex(5);
    options_.lengthPicker()->setCurrentIndex(3);
    EXPECT_EQ(state().tone(), Tone::persuasive);
    EXPECT_EQ(state().length(), Length::detailed);
}

TEST_F(AdvancedOptionsPanelTest, PickersFollowTheStateWithoutWritingBack) {
    openPanel();
    int writes = 0;
    const Subscription watch = state().observe([&](AppState::Property property) {
        writes += property == AppState::Property::tone || property == AppState::Property::length;
    });
    state().setTone(Tone::academic);
    state().setLength(Length::concise);
    writes = 0;
    panel_.refreshNow();
    EXPECT_EQ(options_.tonePicker()->currentText(), QStringLiteral("Academic"));
    EXPECT_EQ(options_.lengthPicker()->currentText(), QStringLiteral("Concise"));
    EXPECT_EQ(writes, 0) << "a re-read must not write the state";
}

TEST_F(AdvancedOptionsPanelTest, AudienceFieldTypesIntoTheState) {
    openPanel();
    QLineEdit* field = options_.audienceField();
    EXPECT_EQ(field->placeholderText(), QStringLiteral("General"));
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_TRUE(state().audience().empty()) << "the placeholder is not a value";

    QTest::keyClicks(field, QStringLiteral("CTOs"));
    EXPECT_EQ(state().audience(), "CTOs");
    panel_.refreshNow();
    EXPECT_EQ(field->text(), QStringLiteral("CTOs"));

    state().setAudience("Students");
    panel_.refreshNow();
    EXPECT_EQ(field->text(), QStringLiteral("Students"));
}

} // namespace
} // namespace quorvane
