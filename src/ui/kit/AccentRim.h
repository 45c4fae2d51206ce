// The rim round the editor card: a quiet hairline at rest, the spectrum
// gradient while focused, the turning aurora ring while a request runs, and
// an indigo glow whenever it is focused or active.
//
// The rim is an overlay, not a container: it sits above its target in the
// same parent, follows the target's geometry, reaches glowMargin() past it
// for the glow, and lets every mouse event through.
#pragma once

#include "ui/kit/TargetOverlay.h"

#include <QImage>

class QVariantAnimation;

namespace quorvane {

class AuroraBorder;

class AccentRim : public TargetOverlay {
    Q_OBJECT

public:
    static constexpr int fadeMilliseconds = 250;

    AccentRim(QWidget* target, qreal cornerRadius, bool focused = false, bool active = false);

    bool isFocused() const { return focused_; }
    void setFocused(bool focused);
    bool isActive() const { return active_; }
    void setActive(bool active);

    AuroraBorder* auroraBorder() const { return aurora_; }
    // Opacity of the plain (hairline or gradient) rim: 0 while active.
    qreal plainRimOpacity() const { return 1.0 - activeProgress_; }
    qreal focusProgress() const { return focusProgress_; }
    qreal glowProgress() const { return glowProgress_; }
    static int glowMargin();

protected:
    void followTarget() override;
    void paintEvent(QPaintEvent* event) override;

private:
    QVariantAnimation* makeFade(qreal* value);
    static void fadeTo(QVariantAnimation* animation, qreal from, qreal to);
    void paintGlow(QPainter& painter, const QRectF& card);

    qreal cornerRadius_;
    bool focused_;
    bool active_;
    qreal focusProgress_;
    qreal activeProgress_;
    qreal glowProgress_;
    AuroraBorder* aurora_;
    QVariantAnimation* focusFade_;
    QVariantAnimation* activeFade_;
    QVariantAnimation* glowFade_;
    QImage glowCache_;
    int glowCacheScheme_ = -1;
};

} // namespace quorvane
