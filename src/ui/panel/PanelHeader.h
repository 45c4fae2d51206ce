// The top row of the panel: badge and name, the preset menu, and the round
// history, settings and close buttons.
#pragma once

#include <QWidget>

class QLabel;

namespace quorvane {

class KitButton;
class PopoverView;
class PresetMenu;

class PanelHeader : public QWidget {
    Q_OBJECT

public:
    explicit PanelHeader(PopoverView& panel, QWidget* parent = nullptr);

    void refresh();
    void toggleHistory();

    PresetMenu* presetMenu() const { return presetMenu_; }

private:
    KitButton* addRoundButton(const char* objectName, const char* symbol, const QString& help);

    PopoverView& panel_;
    QLabel* title_;
    PresetMenu* presetMenu_;
    KitButton* historyButton_ = nullptr;
    KitButton* settingsButton_ = nullptr;
    KitButton* closeButton_ = nullptr;
};

} // namespace quorvane
