#include "OnboardingLabel.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/WidgetPalette.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace quorvane {
OnboardingLabel::OnboardingLabel(const QString& symbol, const QString& text, QWidget* parent)
    : QWidget(parent)
    , icon_(new QLabel(this))
    , text_(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    layout->addWidget(icon_, 0, Qt::AlignTop);
    layout->addWidget(text_, 1);
    setContent(symbol, text);
}

void OnboardingLabel::setContent(const QString& symbol, const QString& text) {
    text_->setText(text);
    if (symbol == symbol_ && !icon_->text().isEmpty()) {
        return;
    }
    symbol_ = symbol;
    showSymbol();
    applyColors();
}

QString OnboardingLabel::text() const {
    return text_->text();
}

void OnboardingLabel::setSecondary(bool secondary) {
    secondary_ = secondary;
    applyColors();
}

void OnboardingLabel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        showSymbol();
    } else if (event->type() == QEvent::PaletteChange) {
        applyColors();
    }
}

void OnboardingLabel::showSymbol() {
    const QFont font = this->font();
    text_->setFont(font);
    icon_->setFont(Symbols::font(QFontInfo(font).pixelSize()));
    icon_->setText(Symbols::glyph(symbol_.toStdString()));
}

void OnboardingLabel::applyColors() {
    const auto scheme = ColorScheme::of(this);
    const QColor color =
        secondary_ ? DesignColors::secondary(scheme) : DesignColors::primary(scheme);
    for (QLabel* label : {icon_, text_}) {
        WidgetPalette::setForeground(*label, color);
    }
}

void OnboardingLabel::tint(QLabel* label, bool secondary) {
    const auto scheme = ColorScheme::of(label);
    WidgetPalette::setForeground(*label, secondary ? DesignColors::secondary(scheme)
                                                   : DesignColors::primary(scheme));
}

} // namespace quorvane
