#include "ui/panel/EditorCornerButton.h"

#include "ui/kit/ButtonStyle.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::EditorCornerButton;

constexpr qreal tileBorderOpacity = 0.12;

} // namespace

EditorCornerButton::EditorCornerButton(qreal symbolSize, int tileSide, QWidget* parent)
    : QAbstractButton(parent)
    , symbolSize_(symbolSize)
    , tileSide_(tileSide) {
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
}

void EditorCornerButton::setSymbol(const std::string& name) {
    if (symbol_ == name) {
        return;
    }
    symbol_ = name;
    update();
}

QSize EditorCornerButton::sizeHint() const {
    const int content = tileSide_ > 0 ? tileSide_ : static_cast<int>(std::ceil(symbolSize_));
    return QSize(content + 2 * padding, content + 2 * padding);
}

void EditorCornerButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(ButtonStyle::disabledOpacity);
    }
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const QRectF content = QRectF(rect()).adjusted(padding, padding, -padding, -padding);
    if (tileSide_ > 0) {
        QPainterPath tile;
        tile.addRoundedRect(content, Metrics::tileRadius, Metrics::tileRadius);
        painter.fillPath(tile, DesignColors::regularMaterial(scheme));
        // Inside the tile, so the 1-point outline is not clipped in half.
        QPainterPath border;
        border.addRoundedRect(content.adjusted(0.5, 0.5, -0.5, -0.5), Metrics::tileRadius - 0.5,
                              Metrics::tileRadius - 0.5);
        painter.setPen(
            QPen(DesignColors::withOpacity(DesignColors::primary(scheme), tileBorderOpacity), 1));
        painter.drawPath(border);
    }
    Symbols::paint(painter, content, symbol_, symbolSize_, DesignColors::secondary(scheme));
}

} // namespace quorvane
