// One clarifying question of the questions card and the field for its
// optional answer.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace quorvane {

class QuestionRow : public QWidget {
    Q_OBJECT

public:
    QuestionRow(int index, QWidget* parent = nullptr);

    int index() const { return index_; }
    QLabel* questionLabel() const { return question_; }
    QLineEdit* answerField() const { return answer_; }

    void setQuestion(const QString& question);
    // Shows the answer without disturbing the cursor when it is already shown.
    void setAnswer(const QString& answer);
    void applyColors();

signals:
    void answerEdited(int index, const QString& text);

private:
    int index_;
    QLabel* question_;
    QLineEdit* answer_;
};

} // namespace quorvane
