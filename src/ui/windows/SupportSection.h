// The "Support" section of the settings form: the two donation links.
#pragma once

#include <QWidget>

class QPushButton;

namespace quorvane {

class AppState;
class SettingsGroup;

class SupportSection : public QWidget {
    Q_OBJECT
public:
    explicit SupportSection(AppState& state, QWidget* parent = nullptr);

    // Shows nothing from the state; there for the form's uniform re-read.
    void refresh() {}

    SettingsGroup* group() const { return group_; }
    QPushButton* sponsorLink() const { return sponsorLink_; }
    QPushButton* donateLink() const { return donateLink_; }

private:
    SettingsGroup* group_;
    QPushButton* sponsorLink_;
    QPushButton* donateLink_;
};

} // namespace quorvane
