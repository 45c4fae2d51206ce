#include "ui/panel/ActionDisclosureButton.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::Disclosure;

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
    qreal width = Metrics::chevronSize + Metrics::spacing + metrics.horizontalAdvance(text());
    if (showsDot_) {
        width += Metrics::spacing + Metrics::dotDiameter;
    }
    return QSize(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(metrics.height())));
}

void ActionDisclosureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const QColor color = DesignColors::secondary(scheme);
    const qreal middle = height() / 2.0;

    Symbols::paint(
        painter,
        QRectF(0, middle - Metrics::chevronSize / 2, Metrics::chevronSize, Metrics::chevronSize),
        chevronSymbol(), Metrics::chevronSize, color);
    qreal x = Metrics::chevronSize + Metrics::spacing;

    const QFont font = titleFont();
    const qreal textWidth = QFontMetricsF(font).horizontalAdvance(text());
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     text());
    x += textWidth + Metrics::spacing;

    if (showsDot_) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(DesignColors::accent(scheme));
        painter.drawEllipse(QRectF(x, middle - Metrics::dotDiameter / 2, Metrics::dotDiameter,
                                   Metrics::dotDiameter));
    }
}

} // namespace quorvane
