#include "ui/windows/PrivacySection.h"

#include "platform/links/Links.h"
#include "state/AppState.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsRow.h"
#include "ui/windows/SupportFormButton.h"
#include "ui/windows/ToggleSwitch.h"

#include <QVBoxLayout>

namespace quorvane {

PrivacySection::PrivacySection(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , group_(new SettingsGroup(QStringLiteral("Privacy")))
    , telemetryToggle_(new ToggleSwitch)
    , privacyLink_(SupportFormButton::link(QStringLiteral("hand.raised"),
                                           QStringLiteral("Privacy Policy"), Links::privacy)) {
    group_->setFooter(QStringLiteral(
        "Off by default. When on, only crash/error diagnostics are sent — never your prompts, "
        "keys, or any personal data. Your drafts and keys stay on this computer."));
    telemetryToggle_->setAccessibleName(QStringLiteral("Share anonymous crash reports"));
    group_->addRow(new SettingsRow(QStringLiteral("ladybug"),
                                   QStringLiteral("Share anonymous crash reports"),
                                   telemetryToggle_));
    group_->addRow(privacyLink_);
    connect(telemetryToggle_, &QCheckBox::toggled, this,
            [this](bool on) { state_.setTelemetryEnabled(on); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group_);
    refresh();
}

void PrivacySection::refresh() {
    if (telemetryToggle_->isChecked() == state_.telemetryEnabled()) {
        return;
    }
    const QSignalBlocker quiet(telemetryToggle_);
    telemetryToggle_->setChecked(state_.telemetryEnabled());
}

} // namespace quorvane
