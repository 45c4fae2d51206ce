// The floating card behind the advanced options and the question and
// variation cards: material (dark) or text background (light), a hairline
// rim and a soft drop shadow. The card is the whole widget, so a surface
// lines up with the cards beside it; the shadow is drawn by an underlay
// beside it in its parent, as the editor card's is. The content fills the
// card unpadded and unclipped.
#pragma once

#include "ui/kit/DesignMetrics.h"

#include <QColor>
#include <QWidget>

namespace quorvane {

class ShadowUnderlay;

class Surface : public QWidget {
    Q_OBJECT

public:
    explicit Surface(qreal cornerRadius = DesignMetrics::Surface::cornerRadius,
                     qreal shadowRadius = DesignMetrics::Surface::shadowRadius,
                     qreal shadowY = DesignMetrics::Surface::shadowY, QWidget* parent = nullptr);

    void setContent(QWidget* content);
    QWidget* content() const { return content_; }

    qreal cornerRadius() const { return cornerRadius_; }
    // Null while the surface has no parent to draw it in.
    ShadowUnderlay* shadow() const { return shadow_; }
    QColor shadowColor() const;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void placeShadow();

    qreal cornerRadius_;
    qreal shadowRadius_;
    qreal shadowY_;
    QWidget* content_ = nullptr;
    // Beside the surface in its parent; it goes when the surface goes.
    ShadowUnderlay* shadow_ = nullptr;
};

} // namespace quorvane
