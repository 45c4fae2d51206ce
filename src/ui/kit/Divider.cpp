#include "ui/kit/Divider.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"

#include <QPainter>

namespace quorvane {

Divider::Divider(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , orientation_(orientation) {
    if (orientation_ == Qt::Horizontal) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setFixedHeight(1);
    } else {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        setFixedWidth(1);
    }
}

void Divider::setOpacity(qreal opacity) {
    opacity_ = opacity;
    update();
}

QSize Divider::sizeHint() const {
    return {1, 1};
}

void Divider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), DesignColors::withOpacity(
                                 DesignColors::separator(ColorScheme::of(this)), opacity_));
}

} // namespace quorvane
