// One built-in preset in the presets section: symbol and name, the
// "Customized" mark with Clone and Reset, and the always-visible editor of
// its instructions, which writes an override on every keystroke.
#pragma once

#include "engine/Preset.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace quorvane {

class AppState;
class PresetTextEditor;

class PresetBuiltInRow : public QWidget {
    Q_OBJECT
public:
    PresetBuiltInRow(AppState& state, Preset preset, QWidget* parent = nullptr);

    // Re-reads the override store and the built-in text.
    void refresh();

    Preset preset() const { return preset_; }
    // The active override's instructions when it has them, even empty; else the built-in text.
    QString editorText() const;
    bool isCustomized() const;

    PresetTextEditor* editor() const { return editor_; }
    QWidget* customizedMark() const { return customizedMark_; }
    QPushButton* cloneButton() const { return cloneButton_; }
    QPushButton* resetButton() const { return resetButton_; }

private:
    QWidget* buildHeader();
    // Drops every stored override of this preset, active or not.
    void resetOverrides();

    AppState& state_;
    Preset preset_;
    QWidget* customizedMark_ = nullptr;
    QLabel* markIcon_ = nullptr;
    QLabel* markText_ = nullptr;
    QPushButton* cloneButton_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    PresetTextEditor* editor_ = nullptr;
};

} // namespace quorvane
