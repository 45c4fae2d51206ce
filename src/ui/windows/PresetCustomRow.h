// One of the user's own presets in the presets section: name field, delete
// button and instructions editor, each change written through at once.
#pragma once

#include "engine/CustomPreset.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace quorvane {

class AppState;
class PresetTextEditor;
class SupportFormButton;

class PresetCustomRow : public QWidget {
    Q_OBJECT
public:
    PresetCustomRow(AppState& state, const CustomPreset& preset, QWidget* parent = nullptr);

    // Shows the state's preset with this row's id, or the last one seen once it is gone.
    void refresh();

    const Uuid& presetID() const { return preset_.id; }
    QLineEdit* nameField() const { return nameField_; }
    QPushButton* deleteButton() const;
    PresetTextEditor* editor() const { return editor_; }

private:
    // Starts from the stored preset, so fields this row does not show survive an edit.
    void adoptStored();
    void showPreset();
    void write();

    AppState& state_;
    // The row's own value, kept for the moment its preset has left the list.
    CustomPreset preset_;
    QLineEdit* nameField_;
    SupportFormButton* deleteButton_;
    PresetTextEditor* editor_;
};

} // namespace quorvane
