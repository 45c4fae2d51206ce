// A one-shot band of light that sweeps down over the editor card when a new
// result arrives. It is a child overlay covering its target, clipped to it,
// and never takes a mouse event, so clicks and selection reach the editor.
#pragma once

#include <QPointer>
#include <QWidget>

class QVariantAnimation;

namespace quorvane {

class ResultSweep : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal restingPhase = -0.6;
    static constexpr qreal finalPhase = 1.0;
    static constexpr qreal bandHeight = 0.6;
    static constexpr int sweepMilliseconds = 450;

    explicit ResultSweep(QWidget* target, bool trigger = false);

    bool trigger() const { return trigger_; }
    // Sweeps when the trigger turns true; turning false does nothing.
    void setTrigger(bool trigger);

    // Top of the band as a fraction of the card's height.
    qreal phase() const { return phase_; }
    bool isSweeping() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QWidget> target_;
    bool trigger_;
    qreal phase_ = restingPhase;
    QVariantAnimation* sweep_;
};

} // namespace quorvane
