#include "ui/panel/PresetMenu.h"

#include "engine/EnumTraits.h"
#include "state/AppState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"
#include "ui/panel/HeaderCapsule.h"
#include "ui/panel/PresetMenuRow.h"

#include <QAction>
#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>
#include <QWidgetAction>

#include <cmath>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::PresetMenu;

QFont nameFont() {
    return DesignFonts::system(12, QFont::Medium);
}

} // namespace

PresetMenu::PresetMenu(AppState& state, QWidget* parent)
    : QAbstractButton(parent)
    , state_(state)
    , menu_(new QMenu(this)) {
    setObjectName(QStringLiteral("presetMenu"));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // A click leaves the keyboard with the editor, as the kit's buttons do.
    setFocusPolicy(Qt::TabFocus);
    menu_->setObjectName(QStringLiteral("presetMenuItems"));
    menu_->setToolTipsVisible(true);
    connect(menu_, &QMenu::aboutToShow, this, &PresetMenu::rebuildMenu);
    connect(this, &QAbstractButton::clicked, this, &PresetMenu::popUp);
    refresh();
}

void PresetMenu::refresh() {
    const QString name = QString::fromStdString(state_.activePresetName());
    const std::string symbol(symbolName(state_.selectedPreset()));
    if (name == text() && symbol == symbol_) {
        return;
    }
    symbol_ = symbol;
    setText(name);
    // A preset name's ampersands are text, not the mark of an Alt shortcut.
    setShortcut(QKeySequence());
    setAccessibleName(name);
    updateGeometry();
    update();
}

void PresetMenu::selectBuiltInPreset(Preset preset) {
    state_.setSelectedPreset(preset);
    state_.setActiveCustomPresetID(std::nullopt);
}

void PresetMenu::selectCustomPreset(const Uuid& id) {
    state_.setActiveCustomPresetID(id);
}

bool PresetMenu::isCustomized(Preset preset) const {
    const auto active = state_.overrideStore().activeOverride(preset);
    return active && (active->customInstructions || active->imageStructure);
}

void PresetMenu::rebuildMenu() {
    menu_->clear();
    addBuiltInSection();
    addCustomSection();
    menu_->addSeparator();
    QAction* edit = menu_->addAction(QStringLiteral("Edit presets…"));
    connect(edit, &QAction::triggered, this, [this] { state_.openSettings(); });
}

void PresetMenu::addBuiltInSection() {
    const bool noCustom = !state_.activeCustomPresetID().has_value();
    menu_->addSection(QStringLiteral("Built-in"));
    for (const Preset preset : allCases<Preset>()) {
        auto* action = new QWidgetAction(menu_);
        action->setText(QString::fromStdString(std::string(label(preset))));
        action->setCheckable(true);
        action->setChecked(noCustom && state_.selectedPreset() == preset);
        const bool customized = isCustomized(preset);
        action->setProperty("customized", customized);
        if (customized) {
            action->setToolTip(QStringLiteral("Customized"));
        }
        // The row carries the symbols a plain row cannot: the mark and the trailing checkmark.
        action->setDefaultWidget(
            new PresetMenuRow(*action, std::string(symbolName(preset)), customized, *menu_));
        connect(action, &QAction::triggered, this, [this, preset] { selectBuiltInPreset(preset); });
        menu_->addAction(action);
    }
}

void PresetMenu::addCustomSection() {
    const auto& customs = state_.customPresets();
    if (customs.empty()) {
        return;
    }
    const QColor primary = DesignColors::primary(ColorScheme::of(this));
    menu_->addSeparator();
    menu_->addSection(QStringLiteral("Custom"));
    for (const CustomPreset& custom : customs) {
        const bool active = state_.activeCustomPresetID() == custom.id;
        // Doubled, since a menu takes a lone ampersand for the mark of a mnemonic.
        QString title = QString::fromStdString(custom.name);
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu_->addAction(title);
        // The symbol is the mark: a checkable action would draw a check box beside it.
        if (active) {
            action->setIcon(Symbols::icon("checkmark", Metrics::menuIconSize, primary));
        }
        const Uuid id = custom.id;
        connect(action, &QAction::triggered, this, [this, id] { selectCustomPreset(id); });
    }
}

void PresetMenu::popUp() {
    menu_->popup(mapToGlobal(QPoint(0, height())));
}

QSize PresetMenu::sizeHint() const {
    const QFontMetricsF metrics(nameFont());
    const qreal width = Metrics::presetSymbolSize + Metrics::spacing +
                        metrics.horizontalAdvance(text()) + Metrics::spacing +
                        Metrics::chevronSize + 2 * Metrics::paddingX;
    const qreal height =
        std::max(metrics.height(), Metrics::presetSymbolSize) + 2 * Metrics::paddingY;
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

QSize PresetMenu::minimumSizeHint() const {
    return sizeHint();
}

void PresetMenu::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const QRectF capsule = QRectF(rect());
    HeaderCapsule::paint(painter, capsule, scheme);

    const QColor primary = DesignColors::primary(scheme);
    const QRectF content = capsule.adjusted(Metrics::paddingX, Metrics::paddingY,
                                            -Metrics::paddingX, -Metrics::paddingY);
    qreal x = content.left();
    Symbols::paint(painter, QRectF(x, content.top(), Metrics::presetSymbolSize, content.height()),
                   symbol_, Metrics::presetSymbolSize, DesignColors::secondary(scheme));
    x += Metrics::presetSymbolSize + Metrics::spacing;
    const QFontMetricsF metrics(nameFont());
    const qreal nameWidth = metrics.horizontalAdvance(text());
    painter.setFont(nameFont());
    painter.setPen(primary);
    painter.drawText(QRectF(x, content.top(), nameWidth + 1, content.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    x += nameWidth + Metrics::spacing;
    Symbols::paint(painter, QRectF(x, content.top(), Metrics::chevronSize, content.height()),
                   "chevron.down", Metrics::chevronSize, primary);
}

} // namespace quorvane
