#include "ui/windows/SegmentedPicker.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/WidgetPalette.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::FormControls;

} // namespace

SegmentedPicker::SegmentedPicker(QWidget* parent)
    : QWidget(parent)
    , buttons_(new QButtonGroup(this))
    , layout_(new QHBoxLayout(this)) {
    buttons_->setExclusive(true);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    connect(buttons_, &QButtonGroup::idClicked, this, &SegmentedPicker::activated);
    connect(buttons_, &QButtonGroup::idToggled, this, [this] { applyColors(); });
}

int SegmentedPicker::addSegment(const QString& symbol, const QString& text) {
    auto* button = new QToolButton(this);
    button->setText(text);
    button->setAccessibleName(text);
    button->setCheckable(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setFont(DesignFonts::callout());
    button->setCursor(Qt::PointingHandCursor);
    const int index = count();
    buttons_->addButton(button, index);
    layout_->addWidget(button);
    symbols_ << symbol;
    applyColors();
    return index;
}

int SegmentedPicker::count() const {
    return static_cast<int>(buttons_->buttons().size());
}

QAbstractButton* SegmentedPicker::segment(int index) const {
    return buttons_->button(index);
}

int SegmentedPicker::currentIndex() const {
    return buttons_->checkedId();
}

void SegmentedPicker::setCurrentIndex(int index) {
    if (QAbstractButton* button = buttons_->button(index)) {
        button->setChecked(true);
    }
}

void SegmentedPicker::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        applyColors();
    }
}

// The chosen segment in the selection colour with a white label: the style's own pressed look
// of a checked button is hardly darker than its neighbours, and in the dark look not at all.
void SegmentedPicker::applyColors() {
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    for (int index = 0; index < symbols_.size(); ++index) {
        QAbstractButton* button = buttons_->button(index);
        const bool chosen = button->isChecked();
        if (chosen) {
            QPalette colors = palette();
            // Deeper than the selection: the style lightens and greys a button's colour, and
            // white must still read on what it makes of it.
            colors.setColor(QPalette::Button, DesignColors::selection(scheme).darker(130));
            button->setPalette(colors);
            WidgetPalette::setForeground(*button, DesignColors::white());
        } else {
            // Back to what the picker has.
            button->setPalette(QPalette());
        }
        const QColor label = chosen ? DesignColors::white() : DesignColors::primary(scheme);
        button->setIcon(
            Symbols::icon(symbols_.at(index).toStdString(), Metrics::segmentSymbolSize, label));
    }
}

} // namespace quorvane
