// The "Behavior" section of the settings form: the global hot key and its
// combination, clipboard auto-fill and auto-copy, and launch at login.
#pragma once

#include <QWidget>

class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace quorvane {

class AppState;
class HotkeyRecorder;
class SettingsGroup;
class SettingsRow;
class ToggleSwitch;

class BehaviorSection : public QWidget {
    Q_OBJECT

public:
    explicit BehaviorSection(AppState& state, QWidget* parent = nullptr);

    void refresh();

    bool isRecordingHotkey() const { return recordingHotkey_; }
    void setRecordingHotkey(bool recording);

    // The menu title of a suggestion: its combination, then its note when there is one.
    static QString suggestionTitle(const QString& combination, const QString& note);

    SettingsGroup* group() const { return group_; }
    ToggleSwitch* globalHotkeyToggle() const { return globalHotkey_; }
    SettingsRow* hotkeyRow() const { return hotkeyRow_; }
    QLabel* hotkeyLabel() const { return hotkeyLabel_; }
    QPushButton* changeButton() const { return changeButton_; }
    QToolButton* suggestionsButton() const { return suggestionsButton_; }
    QMenu* suggestionsMenu() const { return suggestionsMenu_; }
    ToggleSwitch* autoPrefillToggle() const { return autoPrefill_; }
    ToggleSwitch* autoCopyToggle() const { return autoCopy_; }
    ToggleSwitch* launchAtLoginToggle() const { return launchAtLogin_; }

private:
    ToggleSwitch* addToggle(const QString& symbol, const QString& label);
    QWidget* buildHotkeyControl();
    void fillSuggestions();
    void setLaunchAtLogin(bool enabled);

    AppState& state_;
    bool recordingHotkey_ = false;
    SettingsGroup* group_;
    ToggleSwitch* globalHotkey_ = nullptr;
    SettingsRow* hotkeyRow_ = nullptr;
    QLabel* hotkeyLabel_ = nullptr;
    QPushButton* changeButton_ = nullptr;
    QToolButton* suggestionsButton_ = nullptr;
    QMenu* suggestionsMenu_ = nullptr;
    HotkeyRecorder* recorder_ = nullptr;
    ToggleSwitch* autoPrefill_ = nullptr;
    ToggleSwitch* autoCopy_ = nullptr;
    ToggleSwitch* launchAtLogin_ = nullptr;
};

} // namespace quorvane
