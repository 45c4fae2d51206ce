// The "Keyboard Shortcuts" section of the settings form: one row per in-app shortcut with its
// combination, a "Change" button and a recorder. At most one row records at a time; starting
// another row moves the recording there.
#pragma once

#include "state/AppShortcutAction.h"

#include <QWidget>

#include <map>
#include <optional>

class QLabel;
class QPushButton;

namespace quorvane {

class AppState;
class HotkeyRecorder;
class SettingsGroup;

class ShortcutsSection : public QWidget {
    Q_OBJECT

public:
    explicit ShortcutsSection(AppState& state, QWidget* parent = nullptr);

    // Re-reads the combinations; the settings view calls it after every change of the state.
    void refresh();

    std::optional<AppShortcutAction> recordingShortcut() const { return recordingShortcut_; }
    SettingsGroup* group() const { return group_; }
    QLabel* comboLabel(AppShortcutAction action) const { return rows_.at(action).combo; }
    QPushButton* changeButton(AppShortcutAction action) const { return rows_.at(action).change; }
    HotkeyRecorder* recorder(AppShortcutAction action) const { return rows_.at(action).recorder; }

private:
    struct Row {
        QLabel* combo = nullptr;
        QPushButton* change = nullptr;
        HotkeyRecorder* recorder = nullptr;
    };

    QWidget* makeControl(AppShortcutAction action);
    void toggleRecording(AppShortcutAction action);
    void writeRecording(AppShortcutAction action, bool isRecording);

    AppState& state_;
    SettingsGroup* group_;
    std::map<AppShortcutAction, Row> rows_;
    std::optional<AppShortcutAction> recordingShortcut_;
};

} // namespace quorvane
