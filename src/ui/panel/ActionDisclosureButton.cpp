#include "ui/panel/ActionDisclosureButton.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace quorvane {

namespace {

constexpr qreal chevronSize = 10;
constexpr qreal spacing = 6;
constexpr qreal dotDiameter = 5;

QFont titleFont() {
    return DesignFonts::system(13, QFont::Medium);
}

} // namespace

ActionDisclosureButton::ActionDisclosureButton(QWidget* parent)
    : QAbstractButton(parent) {
    setObjectName(QStringLiteral("advancedButton"));
    setText(QStringLiteral("Advanced"));
    setToolTip(QStringLiteral("Show advanced options"));
    setAccessibleName(QStringLiteral("Advanced"));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // A click leaves the keyboard with the editor, as the kit's buttons do.
    setFocusPolicy(Qt::TabFocus);
}

void ActionDisclosureButton::setExpanded(bool expanded) {
    if (expanded_ == expanded) {
        return;
    }
    expanded_ = expanded;
    update();
}

void ActionDisclosureButton::setShowsDot(bool shows) {
    if (showsDot_ == shows) {
        return;
    }
    showsDot_ = shows;
    updateGeometry();
    update();
}

const char* ActionDisclosureButton::chevronSymbol() const {
    return expanded_ ? "chevron.down" : "chevron.right";
}

QSize ActionDisclosureButton::sizeHint() const {
    const QFontMetricsF metrics(titleFont());
    qreal width = chevronSize + spacing + metrics.horizontalAdvance(text());
    if (showsDot_) {
        width += spacing + dotDiameter;
    }
    return QSize(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(metrics.height())));
}

void ActionDisclosureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const QColor color = DesignColors::secondary(scheme);
    const qreal middle = height() / 2.0;

    Symbols::paint(painter, QRectF(0, middle - chevronSize / 2, chevronSize, chevronSize),
                   chevronSymbol(), chevronSize, color);
    qreal x = chevronSize + spacing;

    const QFont font = titleFont();
    const qreal textWidth = QFontMetricsF(font).horizontalAdvance(text());
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     text());
    x += textWidth + spacing;

    if (showsDot_) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(DesignColors::accent(scheme));
        painter.drawEllipse(QRectF(x, middle - dotDiameter / 2, dotDiameter, dotDiameter));
    }
}

} // namespace quorvane
