// The "About" section of the settings form: version, update check, web
// links, the diagnostics copy and the way back into onboarding.
#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;

namespace quorvane {

class AppState;
class Pasteboard;
class SettingsGroup;

class AboutSection : public QWidget {
    Q_OBJECT
public:
    // Copies diagnostics to the state's pasteboard.
    explicit AboutSection(AppState& state, QWidget* parent = nullptr);
    ~AboutSection() override;

    // Shows nothing that changes while the program runs.
    void refresh() {}

    // Replaces whatever the pasteboard held with the diagnostics text.
    void copyDiagnostics();
    // Stores that onboarding is not completed before asking the shell to show it.
    void showOnboardingAgain();

    SettingsGroup* group() const { return group_; }
    QLabel* versionLabel() const { return versionLabel_; }
    QPushButton* checkForUpdatesButton() const { return checkForUpdates_; }
    QPushButton* websiteLink() const { return websiteLink_; }
    QPushButton* privacyLink() const { return privacyLink_; }
    QPushButton* contactLink() const { return contactLink_; }
    QPushButton* copyDiagnosticsButton() const { return copyDiagnostics_; }
    QPushButton* showOnboardingButton() const { return showOnboarding_; }

private:
    AppState& state_;
    Pasteboard& pasteboard_;
    SettingsGroup* group_;
    QLabel* versionLabel_ = nullptr;
    QPushButton* checkForUpdates_ = nullptr;
    QPushButton* websiteLink_ = nullptr;
    QPushButton* privacyLink_ = nullptr;
    QPushButton* contactLink_ = nullptr;
    QPushButton* copyDiagnostics_ = nullptr;
    QPushButton* showOnboarding_ = nullptr;
};

} // namespace quorvane
