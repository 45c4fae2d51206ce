// The 2-point ring of a turning indigo-purple-cyan gradient that runs round
// the editor card while a request is in flight. It turns once every 2.2 s
// while active, eases back to its starting angle when it stops, and stands
// still under reduce motion.
#pragma once

#include <QWidget>

class QVariantAnimation;

namespace quorvane {

class AuroraBorder : public QWidget {
    Q_OBJECT

public:
    static constexpr int turnMilliseconds = 2200;
    static constexpr int settleMilliseconds = 200;

    explicit AuroraBorder(bool active = false, qreal cornerRadius = 22, QWidget* parent = nullptr);

    bool isActive() const { return active_; }
    void setActive(bool active);

    qreal cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(qreal radius);

    qreal angle() const { return angle_; }
    bool isTurning() const;

    // The ring's opacity, 1 while active and 0 otherwise; AccentRim drives it
    // with its own fade instead.
    qreal ringOpacity() const { return ringOpacity_; }
    void setRingOpacity(qreal opacity);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void updateRotation();

    bool active_;
    qreal cornerRadius_;
    qreal angle_ = 0;
    qreal ringOpacity_;
    bool shownOnce_ = false;
    QVariantAnimation* rotation_;
};

} // namespace quorvane
