// The application's start-up wiring while it has no menus or tray: the Qt-side services, the one
// AppState over the standard settings and key file, the floating panel and the global hot key
// that toggles it. The panel is shown once at start; closing it keeps the application running,
// and Ctrl+Q quits.
#pragma once

#include "platform/hotkey/HotkeyEventManager.h"
#include "platform/pasteboard/QtPasteboard.h"
#include "platform/task/QtMainQueue.h"
#include "shell/GlobalHotkey.h"
#include "shell/SpotlightController.h"
#include "state/AppState.h"

#include <QObject>

#include <memory>

namespace quorvane {

class PanelShell : public QObject {
    Q_OBJECT

public:
    // Needs the application object.
    PanelShell();
    ~PanelShell() override;

    // Wires the state's closures, the resign-active hide and the hot key, then shows the panel.
    void start();

    AppState& state() { return state_; }
    SpotlightController& spotlight() { return spotlight_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void togglePanel();
    void globalHotkeyToggled(bool enabled);
    void hotkeyConfigChanged(const HotkeyConfig& config);
    void applicationStateChanged(Qt::ApplicationState state);

    QtMainQueue mainQueue_;
    QtPasteboard pasteboard_;
    std::unique_ptr<HotkeyEventManager> eventManager_;
    AppState state_;
    SpotlightController spotlight_;
    GlobalHotkey hotkey_;
};

} // namespace quorvane
