#include "ui/windows/BehaviorSection.h"

#include "state/AppState.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/PushButtonSize.h"
#include "ui/kit/ShortcutKeySequence.h"
#include "ui/windows/HotkeyRecorder.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsRow.h"
#include "ui/windows/ToggleSwitch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorvane {

BehaviorSection::BehaviorSection(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , group_(new SettingsGroup(tr("Behavior"), this)) {
    globalHotkey_ = addToggle(QStringLiteral("command"), tr("Global hotkey (summon from any app)"));
    connect(globalHotkey_, &ToggleSwitch::clicked, this,
            [this](bool checked) { state_.setEnableGlobalHotkey(checked); });

    hotkeyRow_ = new SettingsRow(QStringLiteral("keyboard"), tr("Shortcut"), buildHotkeyControl());
    group_->addRow(hotkeyRow_);

    autoPrefill_ =
        addToggle(QStringLiteral("doc.on.clipboard"), tr("Auto-fill draft from clipboard"));
    connect(autoPrefill_, &ToggleSwitch::clicked, this,
            [this](bool checked) { state_.setAutoPrefillFromClipboard(checked); });
    autoCopy_ = addToggle(QStringLiteral("doc.on.doc.fill"), tr("Auto-copy result to clipboard"));
    connect(autoCopy_, &ToggleSwitch::clicked, this,
            [this](bool checked) { state_.setAutoCopyOutput(checked); });
    launchAtLogin_ = addToggle(QStringLiteral("power"), tr("Launch at login"));
    connect(launchAtLogin_, &ToggleSwitch::clicked, this, &BehaviorSection::setLaunchAtLogin);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group_);
    refresh();
}

ToggleSwitch* BehaviorSection::addToggle(const QString& symbol, const QString& label) {
    auto* toggle = new ToggleSwitch(this);
    toggle->setAccessibleName(label);
    group_->addRow(new SettingsRow(symbol, label, toggle));
    return toggle;
}

QWidget* BehaviorSection::buildHotkeyControl() {
    auto* control = new QWidget(this);
    auto* layout = new QHBoxLayout(control);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    hotkeyLabel_ = new QLabel(control);
    hotkeyLabel_->setFont(DesignFonts::monospaced(DesignFonts::body().pixelSize()));
    changeButton_ = new QPushButton(control);
    PushButtonSize::apply(*changeButton_, ControlSize::small);
    connect(changeButton_, &QPushButton::clicked, this,
            [this] { setRecordingHotkey(!recordingHotkey_); });

    suggestionsButton_ = new QToolButton(control);
    suggestionsButton_->setText(tr("Suggestions"));
    suggestionsButton_->setAutoRaise(true);
    suggestionsButton_->setPopupMode(QToolButton::InstantPopup);
    suggestionsButton_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    suggestionsMenu_ = new QMenu(suggestionsButton_);
    suggestionsButton_->setMenu(suggestionsMenu_);
    fillSuggestions();

    layout->addWidget(hotkeyLabel_);
    layout->addWidget(changeButton_);
    layout->addWidget(suggestionsButton_);
    recorder_ = new HotkeyRecorder(control);
    recorder_->setFixedSize(0, 0);
    recorder_->setOnCapture([this](const HotkeyConfig& config) { state_.setHotkey(config); });
    recorder_->setRecordingWriter([this](bool recording) { setRecordingHotkey(recording); });
    layout->addWidget(recorder_);
    return control;
}

QString BehaviorSection::suggestionTitle(const QString& combination, const QString& note) {
    return note.isEmpty() ? combination : combination + QStringLiteral("  ·  ") + note;
}

void BehaviorSection::fillSuggestions() {
    for (const auto& item : state_.hotkeySuggestions()) {
        const QString title = suggestionTitle(ShortcutKeySequence::text(item.config),
                                              QString::fromStdString(item.note));
        const HotkeyConfig config = item.config;
        suggestionsMenu_->addAction(title, this, [this, config] { state_.setHotkey(config); });
    }
}

void BehaviorSection::setRecordingHotkey(bool recording) {
    if (recordingHotkey_ == recording) {
        return;
    }
    recordingHotkey_ = recording;
    refresh();
}

void BehaviorSection::setLaunchAtLogin(bool enabled) {
    // The service answers with the login item's real state, so a refused
    // registration leaves the switch where the system has it.
    state_.setLaunchAtLogin(state_.launchService().setEnabled(enabled));
    refresh();
}

void BehaviorSection::refresh() {
    // A recorder behind a hidden row would go on swallowing every key press.
    if (!state_.enableGlobalHotkey()) {
        recordingHotkey_ = false;
    }
    globalHotkey_->setChecked(state_.enableGlobalHotkey());
    hotkeyRow_->setVisible(state_.enableGlobalHotkey());
    hotkeyLabel_->setText(ShortcutKeySequence::text(state_.hotkey()));
    hotkeyLabel_->setForegroundRole(recordingHotkey_ ? QPalette::PlaceholderText
                                                     : QPalette::WindowText);
    changeButton_->setText(recordingHotkey_ ? tr("Press keys…") : tr("Change"));
    recorder_->setRecording(recordingHotkey_);
    autoPrefill_->setChecked(state_.autoPrefillFromClipboard());
    autoCopy_->setChecked(state_.autoCopyOutput());
    launchAtLogin_->setChecked(state_.launchAtLogin());
}

} // namespace quorvane
