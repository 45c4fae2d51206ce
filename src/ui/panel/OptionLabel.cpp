#include "ui/panel/OptionLabel.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/WidgetPalette.h"

#include <QHBoxLayout>
#include <QLabel>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::OptionLabel;

QLabel* symbolLabel(const std::string& name, qreal size, QWidget* parent) {
    auto* label = new QLabel(Symbols::glyph(name), parent);
    label->setFont(Symbols::font(size));
    return label;
}

} // namespace

OptionLabel::OptionLabel(const std::string& symbol, const QString& title, QWidget* parent)
    : QWidget(parent)
    , symbol_(symbolLabel(symbol, 12, this))
    , title_(new QLabel(title, this))
    , info_(symbolLabel("info.circle", 10, this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(Metrics::spacing);
    title_->setFont(DesignFonts::system(13, QFont::Medium));
    row->addWidget(symbol_, 0, Qt::AlignVCenter);
    row->addWidget(title_, 0, Qt::AlignVCenter);
    row->addWidget(info_, 0, Qt::AlignVCenter);
    row->addStretch(1);
    applyColors();
}

QString OptionLabel::title() const {
    return title_->text();
}

void OptionLabel::applyColors() {
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    WidgetPalette::setForeground(*symbol_, DesignColors::secondary(scheme));
    WidgetPalette::setForeground(*title_, DesignColors::primary(scheme));
    WidgetPalette::setForeground(*info_, DesignColors::tertiary(scheme));
}

} // namespace quorvane
