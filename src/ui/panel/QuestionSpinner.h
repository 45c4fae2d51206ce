// The small turning arc that the Continue button shows while the follow-up
// request runs.
#pragma once

#include <QColor>
#include <QWidget>

class QTimer;

namespace quorvane {

class QuestionSpinner : public QWidget {
    Q_OBJECT

public:
    explicit QuestionSpinner(QWidget* parent = nullptr);

    void setColor(const QColor& color);
    bool isSpinning() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer* timer_;
    QColor color_;
    int angle_ = 0;
};

} // namespace quorvane
