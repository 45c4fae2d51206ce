// The "Appearance" section of the settings form: the theme picker.
#pragma once

#include <QWidget>

namespace quorvane {

class AppState;
class SegmentedPicker;
class SettingsGroup;

class AppearanceSection : public QWidget {
    Q_OBJECT

public:
    explicit AppearanceSection(AppState& state, QWidget* parent = nullptr);

    void refresh();

    SettingsGroup* group() const { return group_; }
    SegmentedPicker* themePicker() const { return picker_; }

private:
    AppState& state_;
    SettingsGroup* group_;
    SegmentedPicker* picker_;
};

} // namespace quorvane
