// The "Presets" section of the settings form: the seven built-in presets with
// their editable instructions, then the user's own presets and "Add preset".
#pragma once

#include "platform/uuid/Uuid.h"

#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace quorvane {

class AppState;
class PresetBuiltInRow;
class PresetCustomRow;
class SettingsGroup;

class PresetsSection : public QWidget {
    Q_OBJECT
public:
    explicit PresetsSection(AppState& state, QWidget* parent = nullptr);

    // Re-reads the custom presets and the override store.
    void refresh();

    SettingsGroup* group() const { return group_; }
    const std::vector<PresetBuiltInRow*>& builtInRows() const { return builtInRows_; }
    const std::vector<PresetCustomRow*>& customRows() const { return customRows_; }
    QLabel* emptyCaption() const { return emptyCaption_; }
    QPushButton* addButton() const { return addButton_; }

private:
    // Keeps the row of every preset still listed, so an editor being typed in survives.
    void syncCustomRows();

    AppState& state_;
    SettingsGroup* group_;
    std::vector<PresetBuiltInRow*> builtInRows_;
    std::vector<PresetCustomRow*> customRows_;
    QLabel* emptyCaption_ = nullptr;
    QWidget* customList_ = nullptr;
    QVBoxLayout* customLayout_ = nullptr;
    QPushButton* addButton_ = nullptr;
};

} // namespace quorvane
