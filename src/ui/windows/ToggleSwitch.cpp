#include "ui/windows/ToggleSwitch.h"

#include "ui/kit/ButtonStyle.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"

#include <QPainter>
#include <QPainterPath>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::ToggleSwitch;

} // namespace

ToggleSwitch::ToggleSwitch(QWidget* parent)
    : ToggleSwitch(QString(), parent) {}

ToggleSwitch::ToggleSwitch(const QString& text, QWidget* parent)
    : QCheckBox(text, parent) {
    setCursor(Qt::PointingHandCursor);
    setFont(DesignFonts::body());
}

QSize ToggleSwitch::sizeHint() const {
    int width = static_cast<int>(Metrics::trackWidth);
    if (!text().isEmpty()) {
        width += Metrics::textSpacing + fontMetrics().horizontalAdvance(text());
    }
    const int height = std::max(static_cast<int>(Metrics::trackHeight) + 2, fontMetrics().height());
    return {width + 2, height};
}

QSize ToggleSwitch::minimumSizeHint() const {
    return sizeHint();
}

QRectF ToggleSwitch::trackRect() const {
    const qreal x = width() - Metrics::trackWidth - 1;
    return {x, (height() - Metrics::trackHeight) / 2.0, Metrics::trackWidth, Metrics::trackHeight};
}

bool ToggleSwitch::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    const auto scheme = ColorScheme::of(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : ButtonStyle::disabledOpacity);

    if (!text().isEmpty()) {
        painter.setPen(DesignColors::primary(scheme));
        const QRect textRect(
            0, 0, width() - static_cast<int>(Metrics::trackWidth) - Metrics::textSpacing, height());
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, text());
    }

    const QRectF track = trackRect();
    const QColor trackColor = isChecked()
                                  ? DesignColors::accent(scheme)
                                  : DesignColors::withOpacity(DesignColors::primary(scheme), 0.15);
    QPainterPath path;
    path.addRoundedRect(track, Metrics::trackHeight / 2, Metrics::trackHeight / 2);
    painter.fillPath(path, trackColor);

    const qreal knob = Metrics::trackHeight - 2 * Metrics::knobInset;
    const qreal knobX =
        isChecked() ? track.right() - Metrics::knobInset - knob : track.left() + Metrics::knobInset;
    painter.setPen(QPen(DesignColors::withOpacity(DesignColors::black(), 0.15), 0.5));
    painter.setBrush(DesignColors::white());
    painter.drawEllipse(QRectF(knobX, track.top() + Metrics::knobInset, knob, knob));

    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(DesignColors::withOpacity(DesignColors::accent(scheme), 0.5), 2));
        painter.drawRoundedRect(track.adjusted(-1, -1, 1, 1), Metrics::trackHeight / 2 + 1,
                                Metrics::trackHeight / 2 + 1);
    }
}

} // namespace quorvane
