#include "ui/panel/QuestionRow.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/WidgetPalette.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::QuestionsCard;

} // namespace

QuestionRow::QuestionRow(int index, QWidget* parent)
    : QWidget(parent)
    , index_(index)
    , question_(new QLabel(this))
    , answer_(new QLineEdit(this)) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(Metrics::rowSpacing);

    // Plain text: a question comes from the model and must never be read as markup.
    question_->setTextFormat(Qt::PlainText);
    question_->setWordWrap(true);
    question_->setFont(DesignFonts::callout());
    question_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    stack->addWidget(question_);

    answer_->setObjectName(QStringLiteral("answerField"));
    answer_->setPlaceholderText(QStringLiteral("Your answer (optional)"));
    answer_->setFont(DesignFonts::monospaced(DesignFonts::callout().pixelSize()));
    stack->addWidget(answer_);

    connect(answer_, &QLineEdit::textEdited, this,
            [this](const QString& text) { emit answerEdited(index_, text); });
    applyColors();
}

void QuestionRow::setQuestion(const QString& question) {
    if (question_->text() != question) {
        question_->setText(question);
        answer_->setAccessibleName(question);
    }
}

void QuestionRow::setAnswer(const QString& answer) {
    if (answer_->text() != answer) {
        answer_->setText(answer);
    }
}

void QuestionRow::applyColors() {
    WidgetPalette::setForeground(*question_, DesignColors::primary(ColorScheme::of(this)));
}

} // namespace quorvane
