#include "ui/kit/KitButton.h"

#include "ui/kit/SpringAnimation.h"
#include "ui/kit/Symbols.h"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace quorvane {

KitButton::KitButton(std::unique_ptr<ButtonStyle> style, QWidget* parent)
    : QAbstractButton(parent)
    , style_(std::move(style))
    , animation_(new SpringAnimation(style_->scaleSpring(), this)) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        scale_ = value.toReal();
        update();
    });
    connect(this, &QAbstractButton::pressed, this, &KitButton::refreshScale);
    connect(this, &QAbstractButton::released, this, &KitButton::refreshScale);
}

KitButton::~KitButton() = default;

void KitButton::setSymbol(const std::string& name) {
    symbol_ = name;
    updateGeometry();
    update();
}

void KitButton::setSymbolPixelSize(std::optional<qreal> size) {
    symbolSize_ = size;
    updateGeometry();
    update();
}

void KitButton::setSpacing(qreal spacing) {
    spacing_ = spacing;
    updateGeometry();
    update();
}

void KitButton::setLabelColor(std::optional<QColor> color) {
    labelColor_ = color;
    update();
}

void KitButton::setControlSize(ControlSize size) {
    style_->setControlSize(size);
    updateGeometry();
    update();
}

ButtonStyle::State KitButton::state() const {
    return {isEnabled(), hovering_, isDown()};
}

qreal KitButton::symbolPixelSize() const {
    return symbolSize_.value_or(static_cast<qreal>(style_->labelFont().pixelSize()));
}

QSizeF KitButton::labelSize() const {
    const QFontMetricsF metrics(style_->labelFont());
    qreal width = 0;
    qreal height = metrics.height();
    if (!symbol_.empty()) {
        width += symbolPixelSize();
        height = std::max(height, symbolPixelSize());
    }
    if (!text().isEmpty()) {
        width += (symbol_.empty() ? 0 : spacing_) + metrics.horizontalAdvance(text());
    }
    return {width, height};
}

QSize KitButton::sizeHint() const {
    const QSizeF size = style_->sizeFor(labelSize());
    const qreal margin = 2 * style_->paintMargin();
    return QSize(static_cast<int>(std::ceil(size.width() + margin)),
                 static_cast<int>(std::ceil(size.height() + margin)));
}

QSize KitButton::minimumSizeHint() const {
    return sizeHint();
}

void KitButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const ButtonStyle::State current = state();
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    painter.setOpacity(style_->opacity(current));

    const QRectF bounds = QRectF(rect()).adjusted(style_->paintMargin(), style_->paintMargin(),
                                                  -style_->paintMargin(), -style_->paintMargin());
    painter.translate(bounds.center());
    painter.scale(scale_, scale_);
    painter.translate(-bounds.center());
    style_->paintBackground(painter, bounds, scheme, current);
    paintLabel(painter, bounds, scheme);
}

void KitButton::paintLabel(QPainter& painter, const QRectF& rect,
                           ColorScheme::Scheme scheme) const {
    const QSizeF size = labelSize();
    const QColor color = labelColor_.value_or(style_->labelColor(scheme));
    qreal x = rect.center().x() - size.width() / 2;
    const qreal top = rect.center().y() - size.height() / 2;
    if (!symbol_.empty()) {
        const QRectF symbolRect(x, top, symbolPixelSize(), size.height());
        Symbols::paint(painter, symbolRect, symbol_, symbolPixelSize(), color);
        x += symbolPixelSize() + spacing_;
    }
    if (text().isEmpty()) {
        return;
    }
    painter.setFont(style_->labelFont());
    painter.setPen(color);
    painter.drawText(QRectF(x, top, rect.right() - x, size.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
}

void KitButton::enterEvent(QEnterEvent* event) {
    hovering_ = true;
    refreshScale();
    QAbstractButton::enterEvent(event);
}

void KitButton::leaveEvent(QEvent* event) {
    hovering_ = false;
    refreshScale();
    QAbstractButton::leaveEvent(event);
}

void KitButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        refreshScale();
        update();
    }
    QAbstractButton::changeEvent(event);
}

void KitButton::refreshScale() {
    const qreal target = style_->scale(state());
    if (qFuzzyCompare(target, targetScale_)) {
        update();
        return;
    }
    targetScale_ = target;
    animation_->animate(scale_, target);
}

} // namespace quorvane
