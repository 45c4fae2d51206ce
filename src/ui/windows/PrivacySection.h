// The "Privacy" section of the settings form: the crash-report opt-in and
// the privacy page.
#pragma once

#include <QWidget>

class QCheckBox;
class QPushButton;

namespace quorvane {

class AppState;
class SettingsGroup;

class PrivacySection : public QWidget {
    Q_OBJECT
public:
    explicit PrivacySection(AppState& state, QWidget* parent = nullptr);

    void refresh();

    SettingsGroup* group() const { return group_; }
    QCheckBox* telemetryToggle() const { return telemetryToggle_; }
    QPushButton* privacyLink() const { return privacyLink_; }

private:
    AppState& state_;
    SettingsGroup* group_;
    QCheckBox* telemetryToggle_;
    QPushButton* privacyLink_;
};

} // namespace quorvane
