#include "ui/panel/VariationRow.h"

#include "ui/kit/AuroraButtonStyle.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/KitButton.h"
#include "ui/kit/ShapePainter.h"
#include "ui/kit/WidgetPalette.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <memory>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::VariationsPicker;

constexpr qreal fillOpacity = 0.04;

} // namespace

VariationRow::VariationRow(int index, QWidget* parent)
    : QWidget(parent)
    , index_(index)
    , number_(new QLabel(QStringLiteral("Option %1").arg(index + 1), this))
    , use_(new KitButton(std::make_unique<AuroraButtonStyle>(), this))
    , text_(new QLabel(this)) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(Metrics::rowPadding, Metrics::rowPadding, Metrics::rowPadding,
                              Metrics::rowPadding);
    stack->setSpacing(Metrics::rowSpacing);

    auto* header = new QHBoxLayout();
    number_->setFont(DesignFonts::system(10, QFont::DemiBold));
    header->addWidget(number_, 0, Qt::AlignVCenter);
    header->addStretch(1);
    use_->setObjectName(QStringLiteral("useButton"));
    use_->setText(QStringLiteral("Use this"));
    use_->setAccessibleName(QStringLiteral("Use this"));
    use_->setControlSize(ControlSize::small);
    connect(use_, &QAbstractButton::clicked, this, [this] { emit useRequested(index_); });
    header->addWidget(use_, 0, Qt::AlignVCenter);
    stack->addLayout(header);

    // Plain text: the candidate comes from the model and must never be read as markup.
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setFont(DesignFonts::monospaced(DesignFonts::caption().pixelSize()));
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // Longer candidates are cut off after a dozen lines; "Use this" still takes all of it.
    text_->setMaximumHeight(QFontMetrics(text_->font()).lineSpacing() * maximumLines);
    stack->addWidget(text_);
    applyColors();
}

void VariationRow::setText(const QString& text) {
    if (text_->text() != text) {
        text_->setText(text);
    }
}

void VariationRow::applyColors() {
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    WidgetPalette::setForeground(*number_, DesignColors::secondary(scheme));
    WidgetPalette::setForeground(*text_, DesignColors::primary(scheme));
}

void VariationRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fill =
        DesignColors::withOpacity(DesignColors::primary(ColorScheme::of(this)), fillOpacity);
    ShapePainter::fillRoundedRect(painter, QRectF(rect()), Metrics::rowCornerRadius, QBrush(fill));
}

} // namespace quorvane
