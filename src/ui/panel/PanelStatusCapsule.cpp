#include "ui/panel/PanelStatusCapsule.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/ShapePainter.h"
#include "ui/kit/Symbols.h"
#include "ui/panel/HeaderCapsule.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::StatusCapsule;

// The fixed parts: padding, sparkle, dot and the two gaps.
constexpr qreal chrome =
    2 * Metrics::paddingX + Metrics::sparkleSize + Metrics::dotSize + 2 * Metrics::spacing;

QFont textFont() {
    return DesignFonts::system(12, QFont::Medium);
}

} // namespace

PanelStatusCapsule::PanelStatusCapsule(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("statusCapsule"));
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
}

void PanelStatusCapsule::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    setAccessibleName(text);
    setToolTip(text);
    updateGeometry();
    update();
}

qreal PanelStatusCapsule::textRoom() const {
    return std::max<qreal>(0, width() - chrome);
}

QString PanelStatusCapsule::shownText() const {
    return QFontMetricsF(textFont()).elidedText(text_, Qt::ElideMiddle, textRoom());
}

QSize PanelStatusCapsule::sizeHint() const {
    const QFontMetricsF metrics(textFont());
    const qreal width = chrome + metrics.horizontalAdvance(text_);
    const qreal height = std::max(metrics.height(), Metrics::sparkleSize) + 2 * Metrics::paddingY;
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

QSize PanelStatusCapsule::minimumSizeHint() const {
    return {static_cast<int>(std::ceil(chrome)) + 24, sizeHint().height()};
}

void PanelStatusCapsule::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const QRectF capsule = QRectF(rect());
    HeaderCapsule::paint(painter, capsule, scheme);

    const QColor secondary = DesignColors::secondary(scheme);
    const QRectF content = capsule.adjusted(Metrics::paddingX, Metrics::paddingY,
                                            -Metrics::paddingX, -Metrics::paddingY);
    qreal x = content.left();
    Symbols::paint(painter, QRectF(x, content.top(), Metrics::sparkleSize, content.height()),
                   "sparkle", Metrics::sparkleSize, secondary);
    x += Metrics::sparkleSize + Metrics::spacing;
    const qreal room = textRoom();
    painter.setFont(textFont());
    painter.setPen(secondary);
    painter.drawText(QRectF(x, content.top(), room, content.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
    x += room + Metrics::spacing;
    const QRectF dot(x, content.center().y() - Metrics::dotSize / 2, Metrics::dotSize,
                     Metrics::dotSize);
    ShapePainter::fillCircle(painter, dot, QBrush(DesignColors::green(scheme)));
}

} // namespace quorvane
