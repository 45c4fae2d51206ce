#include "ui/windows/PresetCustomRow.h"

#include "state/AppState.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/windows/PresetTextEditor.h"
#include "ui/windows/SettingsRow.h"
#include "ui/windows/SupportFormButton.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::PresetRow;

} // namespace

PresetCustomRow::PresetCustomRow(AppState& state, const CustomPreset& preset, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , preset_(preset)
    , nameField_(new QLineEdit)
    , deleteButton_(new SupportFormButton(QStringLiteral("trash"), QString()))
    , editor_(new PresetTextEditor(Metrics::customEditorHeight)) {
    auto* layout = new QVBoxLayout(this);
    // Inset as the form's other rows are, so nothing touches the card's edges.
    layout->setContentsMargins(SettingsRow::leadingInset, 4, SettingsRow::leadingInset, 4);
    layout->setSpacing(7);

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    nameField_->setPlaceholderText(QStringLiteral("Name"));
    deleteButton_->setDestructive(true);
    deleteButton_->setToolTip(QStringLiteral("Delete this preset"));
    header->addWidget(nameField_, 1);
    header->addWidget(deleteButton_);
    layout->addLayout(header);
    layout->addWidget(editor_);

    connect(nameField_, &QLineEdit::textEdited, this, [this](const QString& text) {
        adoptStored();
        preset_.name = text.toStdString();
        write();
    });
    connect(editor_, &PresetTextEditor::edited, this, [this](const QString& text) {
        adoptStored();
        preset_.instructions = text.toStdString();
        write();
    });
    connect(deleteButton_, &QPushButton::clicked, this,
            [this] { state_.deleteCustomPreset(preset_.id); });
    showPreset();
}

QPushButton* PresetCustomRow::deleteButton() const {
    return deleteButton_;
}

void PresetCustomRow::refresh() {
    adoptStored();
    showPreset();
}

void PresetCustomRow::adoptStored() {
    const auto& presets = state_.customPresets();
    const auto found = std::find_if(presets.begin(), presets.end(), [&](const CustomPreset& item) {
        return item.id == preset_.id;
    });
    if (found != presets.end()) {
        preset_ = *found;
    }
}

void PresetCustomRow::showPreset() {
    const QString name = QString::fromStdString(preset_.name);
    if (nameField_->text() != name) {
        nameField_->setText(name);
    }
    editor_->setTextIfDifferent(QString::fromStdString(preset_.instructions));
    deleteButton_->setAccessibleName(QStringLiteral("Delete preset ") + name);
}

void PresetCustomRow::write() {
    state_.updateCustomPreset(preset_);
    showPreset();
}

} // namespace quorvane
