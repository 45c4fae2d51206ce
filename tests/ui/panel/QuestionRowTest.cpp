#include "ui/panel/QuestionRow.h"

#include "QuestionsCardFixture.h"

#include <gtest/gtest.h>

#include <QLabel>

namespace quorvane {
namespace {

// A row as the questions card builds it for a question.
using QuestionRowTest = test::QuestionsCardFixture;

TEST_F(QuestionRowTest, QuestionMarkupIsShownAsTyped) {
    ask({"<b>Bold</b> or plain?"}, {""});
    EXPECT_EQ(card_.rows()[0]->questionLabel()->textFormat(), Qt::PlainText);
}

} // namespace
} // namespace quorvane
