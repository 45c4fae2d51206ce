#include "ui/panel/QuestionSpinner.h"

#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignMetrics.h"

#include <QPainter>
#include <QTimer>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::QuestionsCard;

constexpr int frameMilliseconds = 16;
constexpr int degreesPerFrame = 6;
constexpr int arcDegrees = 270;

} // namespace

QuestionSpinner::QuestionSpinner(QWidget* parent)
    : QWidget(parent)
    , timer_(new QTimer(this))
    , color_(DesignColors::white()) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("Working…"));
    timer_->setInterval(frameMilliseconds);
    connect(timer_, &QTimer::timeout, this, [this] {
        angle_ = (angle_ + degreesPerFrame) % 360;
        update();
    });
}

void QuestionSpinner::setColor(const QColor& color) {
    color_ = color;
    update();
}

bool QuestionSpinner::isSpinning() const {
    return timer_->isActive();
}

void QuestionSpinner::showEvent(QShowEvent* event) {
    timer_->start();
    QWidget::showEvent(event);
}

void QuestionSpinner::hideEvent(QHideEvent* event) {
    timer_->stop();
    QWidget::hideEvent(event);
}

void QuestionSpinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(color_, Metrics::spinnerLineWidth);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    const QRectF ring =
        QRectF(rect()).adjusted(Metrics::spinnerLineWidth, Metrics::spinnerLineWidth,
                                -Metrics::spinnerLineWidth, -Metrics::spinnerLineWidth);
    painter.drawArc(ring, -angle_ * 16, arcDegrees * 16);
}

} // namespace quorvane
