// What takes the primary button's place while a request runs: the same size,
// corner radius and gradient as the enabled button, a busy label and a stop
// button. The pill itself is not a button; only its stop control is.
#pragma once

#include "ui/kit/DesignMetrics.h"

#include <QWidget>

class QLabel;
class QToolButton;

namespace quorvane {

class WorkingPill : public QWidget {
    Q_OBJECT

public:
    static constexpr int width = DesignMetrics::WorkingPill::width;
    static constexpr int height = DesignMetrics::WorkingPill::height;

    explicit WorkingPill(QWidget* parent = nullptr);

    // "Generating…" while variations are made, "Enhancing…" otherwise.
    void setGeneratingVariations(bool generating);
    QString text() const;
    QToolButton* stopButton() const { return stop_; }

signals:
    void stopRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* label_;
    QToolButton* stop_;
};

} // namespace quorvane
