#include "ui/windows/PresetsSection.h"

#include "engine/EnumTraits.h"
#include "engine/Preset.h"
#include "state/AppState.h"
#include "ui/kit/DesignFonts.h"
#include "ui/windows/PresetBuiltInRow.h"
#include "ui/windows/PresetCustomRow.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsRow.h"
#include "ui/windows/SupportFormButton.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvane {

namespace {

// Inset as the form's rows are; the colour is the role's, so it follows the window's scheme.
QLabel* secondaryText(const QString& text, QFont font, int top, int bottom) {
    auto* label = new QLabel(text);
    label->setFont(font);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setContentsMargins(SettingsRow::leadingInset, top, SettingsRow::leadingInset, bottom);
    return label;
}

QFont semiboldCallout() {
    QFont font = DesignFonts::callout();
    font.setWeight(QFont::DemiBold);
    return font;
}

} // namespace

PresetsSection::PresetsSection(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , group_(new SettingsGroup(QStringLiteral("Presets"))) {
    group_->setFooter(QStringLiteral(
        "Built-in presets can be customized (overridden) or cloned. The clarify protocol and "
        "Advanced options are added automatically. Custom presets are fully user-defined."));

    group_->addRow(secondaryText(QStringLiteral("Built-in presets"), semiboldCallout(), 8, 2));
    for (const Preset preset : allCases<Preset>()) {
        auto* row = new PresetBuiltInRow(state_, preset);
        builtInRows_.push_back(row);
        group_->addRow(row);
    }

    group_->addRow(secondaryText(QStringLiteral("Custom presets"), semiboldCallout(), 8, 2));
    emptyCaption_ = secondaryText(
        QStringLiteral("Add your own meta-prompts. They appear in the popover's preset menu "
                       "alongside the built-ins."),
        DesignFonts::callout(), 2, 6);
    group_->addRow(emptyCaption_);

    customList_ = new QWidget;
    customLayout_ = new QVBoxLayout(customList_);
    customLayout_->setContentsMargins(0, 0, 0, 0);
    group_->addRow(customList_);

    addButton_ =
        new SupportFormButton(QStringLiteral("plus.circle.fill"), QStringLiteral("Add preset"));
    connect(addButton_, &QPushButton::clicked, this, [this] { state_.addCustomPreset(); });
    group_->addRow(addButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group_);
    refresh();
}

void PresetsSection::refresh() {
    for (auto* row : builtInRows_) {
        row->refresh();
    }
    syncCustomRows();
    const bool empty = state_.customPresets().empty();
    emptyCaption_->setVisible(empty);
    customList_->setVisible(!empty);
}

void PresetsSection::syncCustomRows() {
    std::vector<PresetCustomRow*> kept;
    for (const auto& preset : state_.customPresets()) {
        const auto found = std::find_if(customRows_.begin(), customRows_.end(),
                                        [&](auto* row) { return row->presetID() == preset.id; });
        if (found == customRows_.end()) {
            kept.push_back(new PresetCustomRow(state_, preset, customList_));
            continue;
        }
        kept.push_back(*found);
        customRows_.erase(found);
    }
    // A delete button may be the sender still on the stack, so gone rows leave later.
    for (auto* gone : customRows_) {
        gone->hide();
        customLayout_->removeWidget(gone);
        gone->deleteLater();
    }
    customRows_ = std::move(kept);
    for (int index = 0; index < static_cast<int>(customRows_.size()); ++index) {
        auto* row = customRows_[static_cast<std::size_t>(index)];
        if (customLayout_->indexOf(row) != index) {
            customLayout_->removeWidget(row);
            customLayout_->insertWidget(index, row);
        }
        row->refresh();
    }
}

} // namespace quorvane
