#include "ui/panel/ActionBar.h"

#include "ui/kit/DesignMetrics.h"
#include "ui/kit/DesignSprings.h"
#include "ui/kit/KitButton.h"
#include "ui/kit/OpacityTransition.h"
#include "ui/kit/ShortcutKeySequence.h"
#include "ui/kit/SoftButtonStyle.h"
#include "ui/panel/ActionDisclosureButton.h"
#include "ui/panel/ActionPrimaryButton.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/WorkingPill.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::ActionBar;

KitButton* makeSoftButton(QWidget* parent, const char* objectName, const char* symbol,
                          const QString& title, const QString& tooltip) {
    auto* button = new KitButton(std::make_unique<SoftButtonStyle>(), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setSymbol(symbol);
    button->setText(title);
    button->setAccessibleName(title);
    button->setToolTip(tooltip);
    button->setSpacing(Metrics::labelSpacing);
    return button;
}

} // namespace

ActionBar::ActionBar(PopoverView& panel, QWidget* parent)
    : QWidget(parent)
    , panel_(panel)
    , variations_(makeSoftButton(this, "variationsButton", "square.stack.3d.up",
                                 QStringLiteral("Variations"),
                                 QStringLiteral("Generate 3 candidate rewrites")))
    , primary_(new ActionPrimaryButton(this))
    , pill_(new WorkingPill(this))
    , clear_(makeSoftButton(this, "clearButton", "trash", QStringLiteral("Clear"), QString()))
    , advanced_(new ActionDisclosureButton(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(Metrics::columnSpacing);

    auto* row = new QHBoxLayout();
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(Metrics::rowSpacing);
    row->addWidget(variations_, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(primary_, 0, Qt::AlignVCenter);
    row->addWidget(pill_, 0, Qt::AlignVCenter);
    row->addWidget(clear_, 0, Qt::AlignVCenter);
    column->addLayout(row);
    column->addWidget(advanced_, 0, Qt::AlignHCenter);

    connect(variations_, &KitButton::clicked, this, [this] { panel_.generateVariations(); });
    connect(primary_, &KitButton::clicked, this, [this] { panel_.primaryAction(); });
    connect(pill_, &WorkingPill::stopRequested, this, [this] { panel_.state().cancelEnhance(); });
    connect(clear_, &KitButton::clicked, this, [this] { panel_.state().clear(); });
    connect(advanced_, &ActionDisclosureButton::clicked, this, [this] {
        AppState& state = panel_.state();
        state.setShowAdvanced(!state.showAdvanced());
    });
    connect(&panel_, &PopoverView::refreshed, this, &ActionBar::refresh);
    refresh();
}

void ActionBar::refresh() {
    const AppState& state = panel_.state();
    const bool busy = state.isEnhancing() || state.isGeneratingVariations();
    const bool copyMode = state.fieldMode() == FieldMode::result && state.hasOutput();

    variations_->setEnabled(state.canEnhance() && !state.isGeneratingVariations());

    const AppShortcuts& shortcuts = panel_.state().appShortcuts().shortcuts();
    primary_->setCopyMode(copyMode);
    primary_->setBoundKeys(shortcuts.enhance);
    primary_->setEnabled(panel_.isPrimaryEnabled());
    pill_->setGeneratingVariations(state.isGeneratingVariations());
    showBusy(busy);

    // Untrimmed on purpose: a draft of spaces is still something to clear.
    clear_->setEnabled(!state.inputText().empty() || !state.outputText().empty());
    clear_->setToolTip(
        ShortcutKeySequence::helpText(QStringLiteral("Clear both fields"), shortcuts.clear));

    advanced_->setExpanded(state.showAdvanced());
    advanced_->setShowsDot(!state.styleOptions().isDefault());
}

// The pill and the primary button share one slot and cross-fade in it, so
// that the swap reads as the button changing its content.
void ActionBar::showBusy(bool busy) {
    if (shownBusy_ == busy) {
        return;
    }
    const bool first = !shownBusy_.has_value();
    shownBusy_ = busy;
    QWidget* arriving = busy ? static_cast<QWidget*>(pill_) : primary_;
    QWidget* leaving = busy ? static_cast<QWidget*>(primary_) : pill_;
    if (first) {
        leaving->hide();
        arriving->show();
        return;
    }
    OpacityTransition::remove(*leaving, DesignSprings::quick);
    OpacityTransition::insert(*arriving, DesignSprings::quick);
}

} // namespace quorvane
