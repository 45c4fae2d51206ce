#include "ui/panel/QuestionsCard.h"

#include "ui/kit/AuroraButtonStyle.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/KitButton.h"
#include "ui/kit/SoftButtonStyle.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/WidgetPalette.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/QuestionRow.h"
#include "ui/panel/QuestionSpinner.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <memory>
#include <string>
#include <vector>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::QuestionsCard;

// A symbol name with no glyph: it keeps the symbol's room in the Continue
// label free for the spinner drawn over it.
constexpr const char* spinnerPlaceholder = "progress";

KitButton* softButton(const char* objectName, const QString& text, QWidget* parent) {
    auto* button = new KitButton(std::make_unique<SoftButtonStyle>(), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setText(text);
    button->setAccessibleName(text);
    return button;
}

} // namespace

QuestionsCard::QuestionsCard(PopoverView& panel, QWidget* parent)
    : QWidget(parent)
    , panel_(panel) {
    setObjectName(QStringLiteral("questionsCard"));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(Metrics::cardSpacing);
    buildHeader(stack);
    rowsLayout_ = new QVBoxLayout();
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setSpacing(Metrics::cardSpacing);
    stack->addLayout(rowsLayout_);
    buildButtons(stack);

    connect(&panel_, &PopoverView::refreshed, this, &QuestionsCard::refresh);
    refresh();
}

void QuestionsCard::buildHeader(QVBoxLayout* stack) {
    auto* header = new QHBoxLayout();
    header->setSpacing(Metrics::headerSpacing);
    symbol_ = new QLabel(Symbols::glyph("questionmark.bubble.fill"), this);
    symbol_->setFont(Symbols::font(DesignFonts::headline().pixelSize()));
    title_ = new QLabel(QStringLiteral("A few questions to sharpen this"), this);
    title_->setFont(DesignFonts::system(13, QFont::DemiBold));
    header->addWidget(symbol_, 0, Qt::AlignVCenter);
    header->addWidget(title_, 0, Qt::AlignVCenter);
    header->addStretch(1);
    stack->addLayout(header);
}

void QuestionsCard::buildButtons(QVBoxLayout* stack) {
    auto* row = new QHBoxLayout();
    row->setSpacing(Metrics::buttonSpacing);
    continue_ = new KitButton(std::make_unique<AuroraButtonStyle>(), this);
    continue_->setObjectName(QStringLiteral("continueButton"));
    continue_->setToolTip(
        QStringLiteral("Rewrite using your answers (blank = let the model decide)"));
    continue_->setSpacing(Metrics::labelSpacing);
    continue_->installEventFilter(this);
    spinner_ = new QuestionSpinner(continue_);
    spinner_->hide();
    connect(continue_, &QAbstractButton::clicked, this,
            [this] { panel_.state().startSubmitAnswers(); });

    // Skip sends the answers as they stand: blank ones leave the choice to the model.
    skip_ = softButton("skipButton", QStringLiteral("Skip"), this);
    connect(skip_, &QAbstractButton::clicked, this,
            [this] { panel_.state().startSubmitAnswers(); });
    cancel_ = softButton("cancelButton", QStringLiteral("Cancel"), this);
    connect(cancel_, &QAbstractButton::clicked, this, &QuestionsCard::cancelQuestions);

    row->addWidget(continue_);
    row->addWidget(skip_);
    row->addWidget(cancel_);
    row->addStretch(1);
    stack->addLayout(row);
    showWorking(false);
}

void QuestionsCard::setAnswer(int index, const QString& text) {
    AppState& state = panel_.state();
    if (index < 0 || static_cast<std::size_t>(index) >= state.answers().size()) {
        return;
    }
    std::vector<std::string> answers = state.answers();
    answers[static_cast<std::size_t>(index)] = text.toStdString();
    state.setAnswers(std::move(answers));
}

QString QuestionsCard::answer(int index) const {
    const auto& answers = panel_.state().answers();
    if (index < 0 || static_cast<std::size_t>(index) >= answers.size()) {
        return {};
    }
    return QString::fromStdString(answers[static_cast<std::size_t>(index)]);
}

void QuestionsCard::cancelQuestions() {
    panel_.state().setPendingQuestions({});
    panel_.state().setAnswers({});
}

void QuestionsCard::syncRows() {
    const auto& questions = panel_.state().pendingQuestions();
    while (rows_.size() > static_cast<qsizetype>(questions.size())) {
        QWidget* gone = rows_.takeLast();
        gone->hide();
        gone->deleteLater();
    }
    while (rows_.size() < static_cast<qsizetype>(questions.size())) {
        auto* row = new QuestionRow(static_cast<int>(rows_.size()), this);
        connect(row, &QuestionRow::answerEdited, this, [this](int index, const QString& text) {
            setAnswer(index, text);
            // A dropped write must not stay on screen as if it were kept.
            rows_[index]->setAnswer(answer(index));
        });
        rowsLayout_->addWidget(row);
        rows_.append(row);
    }
    for (QuestionRow* row : rows_) {
        row->setQuestion(QString::fromStdString(questions[static_cast<std::size_t>(row->index())]));
        row->setAnswer(answer(row->index()));
        row->applyColors();
    }
}

void QuestionsCard::showWorking(bool working) {
    continue_->setSymbol(working ? spinnerPlaceholder : "arrow.right.circle.fill");
    continue_->setText(working ? QStringLiteral("Working…") : QStringLiteral("Continue"));
    continue_->setAccessibleName(continue_->text());
    continue_->updateGeometry();
    spinner_->setVisible(working);
    placeSpinner();
}

void QuestionsCard::placeSpinner() {
    const QFont font = continue_->style().labelFont();
    const qreal symbolSize = font.pixelSize();
    const qreal labelWidth = symbolSize + Metrics::labelSpacing +
                             QFontMetricsF(font).horizontalAdvance(continue_->text());
    const QPointF centre = QRectF(continue_->rect()).center();
    spinner_->setGeometry(static_cast<int>(centre.x() - labelWidth / 2),
                          static_cast<int>(centre.y() - symbolSize / 2),
                          static_cast<int>(symbolSize), static_cast<int>(symbolSize));
}

bool QuestionsCard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == continue_ && event->type() == QEvent::Resize) {
        placeSpinner();
    }
    return QWidget::eventFilter(watched, event);
}

void QuestionsCard::refresh() {
    const AppState& state = panel_.state();
    syncRows();
    const bool working = state.isEnhancing();
    if (spinner_->isHidden() == working) {
        showWorking(working);
    }
    for (KitButton* button : {continue_, skip_, cancel_}) {
        button->setEnabled(!working);
    }
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    WidgetPalette::setForeground(*symbol_, DesignColors::indigo(scheme));
    WidgetPalette::setForeground(*title_, DesignColors::primary(scheme));
}

} // namespace quorvane
