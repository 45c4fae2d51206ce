#include "ShortcutsSection.h"

#include "HotkeyRecorder.h"
#include "SettingsGroup.h"
#include "SettingsRow.h"
#include "state/AppState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/PushButtonSize.h"
#include "ui/kit/ShortcutKeySequence.h"
#include "ui/kit/WidgetPalette.h"

#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvane {
namespace {

const QString changeTitle = QStringLiteral("Change");
const QString recordingTitle = QStringLiteral("Press keys…");

} // namespace

ShortcutsSection::ShortcutsSection(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , group_(new SettingsGroup(QStringLiteral("Keyboard Shortcuts"), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group_);
    for (const auto& [action, rawValue] : EnumTraits<AppShortcutAction>::cases) {
        group_->addRow(new SettingsRow(
            QString(), QString::fromUtf8(rawValue.data(), qsizetype(rawValue.size())),
            makeControl(action)));
    }
    refresh();
}

QWidget* ShortcutsSection::makeControl(AppShortcutAction action) {
    auto* control = new QWidget;
    auto* layout = new QHBoxLayout(control);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    Row row;
    row.combo = new QLabel(control);
    row.combo->setFont(DesignFonts::monospaced(QFontInfo(DesignFonts::body()).pixelSize()));
    row.change = new QPushButton(changeTitle, control);
    PushButtonSize::apply(*row.change, ControlSize::small);
    row.recorder = new HotkeyRecorder(control);
    row.recorder->setRecordingWriter(
        [this, action](bool isRecording) { writeRecording(action, isRecording); });
    row.recorder->setOnCapture([this, action](const HotkeyConfig& config) {
        state_.appShortcuts().setShortcut(action, config);
        refresh();
    });
    connect(row.change, &QPushButton::clicked, this, [this, action] { toggleRecording(action); });

    layout->addWidget(row.combo);
    layout->addWidget(row.change);
    layout->addWidget(row.recorder);
    rows_.emplace(action, row);
    return control;
}

void ShortcutsSection::toggleRecording(AppShortcutAction action) {
    recordingShortcut_ =
        recordingShortcut_ == action ? std::nullopt : std::optional<AppShortcutAction>(action);
    refresh();
}

void ShortcutsSection::writeRecording(AppShortcutAction action, bool isRecording) {
    // Only a stop means anything: a row starts recording through its button.
    if (isRecording || recordingShortcut_ != action) {
        return;
    }
    recordingShortcut_.reset();
    refresh();
}

void ShortcutsSection::refresh() {
    const auto scheme = ColorScheme::of(this);
    const AppShortcuts& shortcuts = state_.appShortcuts().shortcuts();
    for (const auto& [action, row] : rows_) {
        const bool recording = recordingShortcut_ == action;
        row.combo->setText(ShortcutKeySequence::text(shortcuts.shortcut(action)));
        WidgetPalette::setForeground(*row.combo, recording ? DesignColors::secondary(scheme)
                                                           : DesignColors::primary(scheme));
        row.change->setText(recording ? recordingTitle : changeTitle);
        row.recorder->setRecording(recording);
    }
}

} // namespace quorvane
