#include "ui/panel/VariationsPicker.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/KitButton.h"
#include "ui/kit/SoftButtonStyle.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/WidgetPalette.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/VariationRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <memory>
#include <string>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::VariationsPicker;

} // namespace

VariationsPicker::VariationsPicker(PopoverView& panel, QWidget* parent)
    : QWidget(parent)
    , panel_(panel)
    , symbol_(new QLabel(Symbols::glyph("square.stack.3d.up.fill"), this))
    , title_(new QLabel(QStringLiteral("Pick a variation"), this))
    , dismiss_(new KitButton(std::make_unique<SoftButtonStyle>(), this))
    , rowsLayout_(new QVBoxLayout()) {
    setObjectName(QStringLiteral("variationsPicker"));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(Metrics::cardSpacing);

    auto* header = new QHBoxLayout();
    header->setSpacing(Metrics::headerSpacing);
    symbol_->setFont(Symbols::font(DesignFonts::headline().pixelSize()));
    title_->setFont(DesignFonts::system(13, QFont::DemiBold));
    dismiss_->setObjectName(QStringLiteral("dismissButton"));
    dismiss_->setText(QStringLiteral("Dismiss"));
    dismiss_->setAccessibleName(QStringLiteral("Dismiss"));
    dismiss_->setControlSize(ControlSize::small);
    connect(dismiss_, &QAbstractButton::clicked, this, &VariationsPicker::dismissVariations);
    header->addWidget(symbol_, 0, Qt::AlignVCenter);
    header->addWidget(title_, 0, Qt::AlignVCenter);
    header->addStretch(1);
    header->addWidget(dismiss_, 0, Qt::AlignVCenter);
    stack->addLayout(header);

    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setSpacing(Metrics::cardSpacing);
    stack->addLayout(rowsLayout_);

    connect(&panel_, &PopoverView::refreshed, this, &VariationsPicker::refresh);
    refresh();
}

void VariationsPicker::dismissVariations() {
    panel_.state().setVariations({});
}

// The text is read from the state at the click, not from the label, so a
// candidate cut off on screen is still taken whole.
void VariationsPicker::useVariation(int index) {
    const auto& variations = panel_.state().variations();
    if (index < 0 || static_cast<std::size_t>(index) >= variations.size()) {
        return;
    }
    const std::string text = variations[static_cast<std::size_t>(index)];
    panel_.state().useVariation(text);
}

void VariationsPicker::syncRows() {
    const auto& variations = panel_.state().variations();
    while (rows_.size() > static_cast<qsizetype>(variations.size())) {
        QWidget* gone = rows_.takeLast();
        gone->hide();
        gone->deleteLater();
    }
    while (rows_.size() < static_cast<qsizetype>(variations.size())) {
        auto* row = new VariationRow(static_cast<int>(rows_.size()), this);
        connect(row, &VariationRow::useRequested, this, &VariationsPicker::useVariation);
        rowsLayout_->addWidget(row);
        rows_.append(row);
    }
    for (VariationRow* row : rows_) {
        row->setText(QString::fromStdString(variations[static_cast<std::size_t>(row->index())]));
        row->applyColors();
    }
}

void VariationsPicker::refresh() {
    syncRows();
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    WidgetPalette::setForeground(*symbol_, DesignColors::indigo(scheme));
    WidgetPalette::setForeground(*title_, DesignColors::primary(scheme));
}

} // namespace quorvane
