#include "ui/panel/PanelHeader.h"

#include "ui/kit/CircleIconButtonStyle.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/KitButton.h"
#include "ui/kit/ShortcutKeySequence.h"
#include "ui/kit/WidgetPalette.h"
#include "ui/panel/PanelBadge.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/PresetMenu.h"

#include <QHBoxLayout>
#include <QLabel>

#include <memory>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::PanelHeader;

// The help text is also what assistive tools read for an icon-only button.
void setHelp(KitButton& button, const QString& help) {
    if (button.toolTip() == help) {
        return;
    }
    button.setToolTip(help);
    button.setAccessibleName(help);
}

} // namespace

PanelHeader::PanelHeader(PopoverView& panel, QWidget* parent)
    : QWidget(parent)
    , panel_(panel)
    , title_(new QLabel(QStringLiteral("Quorvane"), this))
    , presetMenu_(new PresetMenu(panel.state(), this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(Metrics::rowSpacing);
    row->addWidget(new PanelBadge(this));
    title_->setFont(DesignFonts::system(17, QFont::Bold));
    row->addWidget(title_);
    row->addWidget(presetMenu_);
    row->addStretch(1);

    historyButton_ = addRoundButton("historyButton", "clock.arrow.circlepath", QString());
    connect(historyButton_, &QAbstractButton::clicked, this, &PanelHeader::toggleHistory);
    settingsButton_ = addRoundButton("settingsButton", "gearshape", QString());
    connect(settingsButton_, &QAbstractButton::clicked, this, [this] {
        if (panel_.state().openSettings) {
            panel_.state().openSettings();
        }
    });
    closeButton_ = addRoundButton("closeButton", "xmark", QStringLiteral("Close (Esc)"));
    connect(closeButton_, &QAbstractButton::clicked, this, [this] { panel_.requestClose(); });

    connect(&panel_, &PopoverView::refreshed, this, &PanelHeader::refresh);
    refresh();
}

KitButton* PanelHeader::addRoundButton(const char* objectName, const char* symbol,
                                       const QString& help) {
    auto* button = new KitButton(std::make_unique<CircleIconButtonStyle>(), this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setSymbol(symbol);
    button->setSymbolPixelSize(Metrics::iconSize);
    setHelp(*button, help);
    layout()->addWidget(button);
    return button;
}

void PanelHeader::toggleHistory() {
    panel_.state().setShowHistory(!panel_.state().showHistory());
}

void PanelHeader::refresh() {
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    WidgetPalette::setForeground(*title_, DesignColors::primary(scheme));
    const QColor secondary = DesignColors::secondary(scheme);
    for (KitButton* button : {historyButton_, settingsButton_, closeButton_}) {
        button->setLabelColor(secondary);
    }
    // The help texts name the keys the actions are bound to now, which the settings can change.
    const AppShortcuts& shortcuts = panel_.state().appShortcuts().shortcuts();
    setHelp(*historyButton_,
            ShortcutKeySequence::helpText(QStringLiteral("History"), shortcuts.history));
    setHelp(*settingsButton_,
            ShortcutKeySequence::helpText(QStringLiteral("Settings"), shortcuts.settings));
    presetMenu_->refresh();
}

} // namespace quorvane
