// A soft drop shadow under a card that its parent lays out edge to edge, so
// that there is no room inside the card for the blur. The underlay sits just
// below its target in the same parent, follows the target's geometry,
// reaches past it as far as the blur and offset need, and takes no clicks.
// A target without a parent casts no shadow until it gets one.
#pragma once

#include "ui/kit/TargetOverlay.h"

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QPointF>

namespace quorvane {

class ShadowUnderlay : public TargetOverlay {
    Q_OBJECT

public:
    ShadowUnderlay(QWidget* target, qreal cornerRadius, qreal radius, const QPointF& offset,
                   const QColor& color);

    const QColor& color() const { return color_; }
    void setColor(const QColor& color);

    // How far the underlay reaches past its target on each side.
    QMargins reach() const;

protected:
    void followTarget() override;
    void paintEvent(QPaintEvent* event) override;

private:
    qreal cornerRadius_;
    qreal radius_;
    QPointF offset_;
    QColor color_;
    // The card above repaints often; its shadow is made once per size and colour.
    QImage cache_;
    QColor cacheColor_;
};

} // namespace quorvane
