#include "support/ProgramWindows.h"

#include "shell/AppDelegate.h"
#include "shell/ApplicationWindow.h"
#include "shell/KeyablePanel.h"
#include "shell/SpotlightController.h"
#include "state/AppState.h"
#include "support/ViewTestState.h"
#include "ui/kit/ApplicationTheme.h"
#include "ui/kit/DesktopColorScheme.h"

#include <QAbstractAnimation>
#include <QDBusConnection>

#include <algorithm>

namespace quorvane::test {

namespace {

// Animations that end; a ring that turns for as long as a request runs never does.
bool animating(const QWidget& window) {
    const auto animations = window.findChildren<QAbstractAnimation*>();
    return std::any_of(animations.begin(), animations.end(), [](const QAbstractAnimation* running) {
        return running->state() == QAbstractAnimation::Running && running->loopCount() != -1;
    });
}

} // namespace

HotkeyStatus
ProgramWindows::QuietHotkeys::installEventHandler(EventHandlerProc, void*,
                                                  std::optional<EventHandlerRef>& outRef) {
    outRef = EventHandlerRef{1};
    return HotkeyStatus::noError;
}

HotkeyStatus
ProgramWindows::QuietHotkeys::registerEventHotKey(std::uint32_t, std::uint32_t, EventHotKeyID,
                                                  std::uint32_t,
                                                  std::optional<EventHotKeyRef>& outRef) {
    outRef = EventHotKeyRef{1};
    return HotkeyStatus::noError;
}

HotkeyStatus ProgramWindows::QuietHotkeys::unregisterEventHotKey(EventHotKeyRef) {
    return HotkeyStatus::noError;
}

HotkeyStatus ProgramWindows::QuietHotkeys::removeEventHandler(EventHandlerRef) {
    return HotkeyStatus::noError;
}

ProgramWindows::ProgramWindows(AppState& state)
    : state_(state)
    , theme_(std::make_unique<ApplicationTheme>(
          state, std::make_unique<DesktopColorScheme>(QDBusConnection(QString()),
                                                      ColorScheme::Scheme::light)))
    , delegate_(std::make_unique<AppDelegate>(state, hotkeys_, queue_)) {
    // As the start-up wires it: the shown panel turns with the appearance setting.
    AppDelegate* delegate = delegate_.get();
    state.onAppearanceChanged = [delegate](Appearance appearance) {
        delegate->applyPanelAppearance(appearance);
    };
}

ProgramWindows::~ProgramWindows() {
    state_.onAppearanceChanged = nullptr;
    delegate_.reset();
    ViewTestState::processEvents();
}

KeyablePanel& ProgramWindows::panel() {
    SpotlightController& spotlight = delegate_->spotlight();
    if (!delegate_->isPanelVisible()) {
        spotlight.show();
    }
    KeyablePanel* shown = delegate_->currentPanel();
    settle(*shown);
    return *shown;
}

ApplicationWindow& ProgramWindows::settings() {
    delegate_->showSettings();
    auto* window = static_cast<ApplicationWindow*>(delegate_->settingsWindow());
    settle(*window);
    return *window;
}

ApplicationWindow& ProgramWindows::onboarding() {
    delegate_->showOnboarding();
    auto* window = static_cast<ApplicationWindow*>(delegate_->onboardingWindow());
    settle(*window);
    return *window;
}

void ProgramWindows::settle(QWidget& window) {
    ViewTestState::processEvents();
    ViewTestState::waitUntil([&] { return !animating(window); });
    ViewTestState::processEvents();
}

} // namespace quorvane::test
