#include "ui/windows/SettingsRow.h"

#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::SettingsRow;

} // namespace

SettingsRow::SettingsRow(const QString& symbol, const QString& label, QWidget* control,
                         QWidget* parent)
    : QWidget(parent)
    , symbol_(new QLabel(this))
    , label_(new QLabel(label, this))
    , control_(control) {
    const QString glyph = Symbols::glyph(symbol.toStdString());
    symbol_->setFont(Symbols::font(Metrics::symbolSize));
    symbol_->setText(glyph);
    symbol_->setFixedWidth(glyph.isEmpty() ? 0 : symbolColumn);
    symbol_->setVisible(!glyph.isEmpty());
    symbol_->setAlignment(Qt::AlignCenter);
    label_->setFont(DesignFonts::body());
    label_->setBuddy(control);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(leadingInset, 6, leadingInset, 6);
    layout->setSpacing(spacing);
    layout->addWidget(symbol_);
    // A row without a control is a note: its text takes the whole row to wrap in.
    if (control == nullptr) {
        layout->addWidget(label_, 1);
        return;
    }
    layout->addWidget(label_);
    layout->addStretch(1);
    layout->addWidget(control, 0, Qt::AlignVCenter);
}

} // namespace quorvane
