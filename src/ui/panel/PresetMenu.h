// The preset picker of the panel header: a capsule naming the active preset
// that opens a menu of the built-in presets and the user's custom presets.
// The menu's items are rebuilt each time it is about to show, so they always
// reflect the presets, overrides and selection of that moment.
#pragma once

#include "engine/Preset.h"
#include "platform/uuid/Uuid.h"

#include <QAbstractButton>

#include <string>

class QMenu;

namespace quorvane {

class AppState;

class PresetMenu : public QAbstractButton {
    Q_OBJECT

public:
    explicit PresetMenu(AppState& state, QWidget* parent = nullptr);

    QMenu* menu() const { return menu_; }
    // The symbol the capsule shows: that of the last chosen built-in preset.
    const std::string& symbol() const { return symbol_; }

    // Re-reads the label from the state; cheap when nothing changed.
    void refresh();
    void rebuildMenu();

    void selectBuiltInPreset(Preset preset);
    void selectCustomPreset(const Uuid& id);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool isCustomized(Preset preset) const;
    void addBuiltInSection();
    void addCustomSection();
    void popUp();

    AppState& state_;
    QMenu* menu_;
    std::string symbol_;
};

} // namespace quorvane
