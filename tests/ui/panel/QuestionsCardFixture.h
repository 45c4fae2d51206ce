// The questions card in its panel over a test state. The tests of the card and of its rows share
// it: a row is looked at as the card builds it for a question.
#pragma once

#include "support/ViewTestState.h"
#include "ui/kit/KitButton.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/QuestionRow.h"
#include "ui/panel/QuestionsCard.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include <cstddef>
#include <string>
#include <vector>

namespace quorvane::test {

class QuestionsCardFixture : public testing::Test {
protected:
    using Texts = std::vector<std::string>;

    void SetUp() override { card_.show(); }

    AppState& state() { return fixture_.state(); }

    void ask(const Texts& questions, const Texts& answers) {
        state().setPendingQuestions(questions);
        state().setAnswers(answers);
        panel_.refreshNow();
    }

    QLineEdit* field(int index) { return card_.rows().at(index)->answerField(); }
    KitButton* button(const char* name) { return card_.findChild<KitButton*>(name); }
    std::size_t requests() { return fixture_.server().requests().size(); }

    ViewTestState fixture_;
    PopoverView panel_{fixture_.state(), [] {}};
    QuestionsCard card_{panel_};
};

} // namespace quorvane::test
