#include "ui/panel/PanelStatusCapsule.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/ShapePainter.h"
#include "ui/kit/Symbols.h"
#include "ui/panel/HeaderCapsule.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quorvane {

namespace {

constexpr qreal paddingX = 11;
constexpr qreal paddingY = 6;
constexpr qreal spacing = 6;
constexpr qreal sparkleSize = 10;
constexpr qreal dotSize = 7;
// The fixed parts: padding, sparkle, dot and the two gaps.
constexpr qreal chrome = 2 * paddingX + sparkleSize + dotSize + 2 * spacing;

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
    const qreal height = std::max(metrics.height(), sparkleSize) + 2 * paddingY;
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
    const QRectF content = capsule.adjusted(paddingX, paddingY, -paddingX, -paddingY);
    qreal x = content.left();
    Symbols::paint(painter, QRectF(x, content.top(), sparkleSize, content.height()), "sparkle",
                   sparkleSize, secondary);
    x += sparkleSize + spacing;
    const qreal room = textRoom();
    painter.setFont(textFont());
    painter.setPen(secondary);
    painter.drawText(QRectF(x, content.top(), room, content.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
    x += room + spacing;
    const QRectF dot(x, content.center().y() - dotSize / 2, dotSize, dotSize);
    ShapePainter::fillCircle(painter, dot, QBrush(DesignColors::green(scheme)));
}

} // namespace quorvane
