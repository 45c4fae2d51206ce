// The clarifying questions the model asked instead of answering, each with
// an optional answer, and the buttons that send the follow-up or drop the
// questions. The panel places it on its own surface while questions wait.
#pragma once

#include <QList>
#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace quorvane {

class KitButton;
class PopoverView;
class QuestionRow;
class QuestionSpinner;

class QuestionsCard : public QWidget {
    Q_OBJECT

public:
    explicit QuestionsCard(PopoverView& panel, QWidget* parent = nullptr);

    void refresh();

    // Writes an answer; an index past the end of the answers is dropped, so
    // the list never grows here.
    void setAnswer(int index, const QString& text);
    QString answer(int index) const;
    void cancelQuestions();

    const QList<QuestionRow*>& rows() const { return rows_; }
    KitButton* continueButton() const { return continue_; }
    QuestionSpinner* spinner() const { return spinner_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildHeader(QVBoxLayout* stack);
    void buildButtons(QVBoxLayout* stack);
    void syncRows();
    void showWorking(bool working);
    void placeSpinner();

    PopoverView& panel_;
    QLabel* symbol_ = nullptr;
    QLabel* title_ = nullptr;
    QVBoxLayout* rowsLayout_ = nullptr;
    QList<QuestionRow*> rows_;
    KitButton* continue_ = nullptr;
    KitButton* skip_ = nullptr;
    KitButton* cancel_ = nullptr;
    QuestionSpinner* spinner_ = nullptr;
};

} // namespace quorvane
