#include "shell/PanelShell.h"

#include "engine/Log.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/hotkey/HotkeyBackendSelector.h"
#include "state/HistoryStore.h"
#include "state/KeyStore.h"
#include "state/SettingsStore.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>

namespace quorvane {

PanelShell::PanelShell()
    : eventManager_(HotkeyBackendSelector::makeEventManager())
    , state_(HistoryStore(UserDefaults::standard()), KeyStore(),
             SettingsStore(UserDefaults::standard()),
             AppState::Services{.mainQueue = mainQueue_,
                                .pasteboard = pasteboard_,
                                .presetDefaults = UserDefaults::standard()})
    , spotlight_(state_)
    , hotkey_(*eventManager_, mainQueue_) {}

PanelShell::~PanelShell() {
    hotkey_.unregister();
    state_.cancelEnhance();
}

void PanelShell::start() {
    Log::app().log("Quorvane launched");
    // Hiding the panel is not quitting: the hot key brings it back.
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);

    state_.onGlobalHotkeyChanged = [this](bool enabled) { globalHotkeyToggled(enabled); };
    state_.onHotkeyConfigChanged = [this](const HotkeyConfig& config) {
        hotkeyConfigChanged(config);
    };
    state_.onAppearanceChanged = [this](Appearance appearance) {
        if (KeyablePanel* panel = spotlight_.panel()) {
            panel->setAppearance(appearance);
        }
    };
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            &PanelShell::applicationStateChanged);

    hotkey_.setOnPressed([this] { togglePanel(); });
    if (state_.enableGlobalHotkey()) {
        globalHotkeyToggled(true);
    }
    spotlight_.show();
}

bool PanelShell::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->keyCombination() ==
                                                 QKeyCombination(Qt::ControlModifier, Qt::Key_Q)) {
        QApplication::quit();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void PanelShell::togglePanel() {
    if (KeyablePanel* panel = spotlight_.panel(); panel != nullptr && panel->isVisible()) {
        spotlight_.hide();
        return;
    }
    spotlight_.show();
}

void PanelShell::globalHotkeyToggled(bool enabled) {
    if (!enabled) {
        hotkey_.unregister();
        return;
    }
    const HotkeyConfig& config = state_.hotkey();
    hotkey_.registerHotkey(config.keyCode, config.carbonModifiers);
}

void PanelShell::hotkeyConfigChanged(const HotkeyConfig& config) {
    if (!state_.enableGlobalHotkey()) {
        return;
    }
    hotkey_.registerHotkey(config.keyCode, config.carbonModifiers);
}

void PanelShell::applicationStateChanged(Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive) {
        spotlight_.hide();
    }
}

} // namespace quorvane
