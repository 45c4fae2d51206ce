// The program's own windows around one AppState, built the way the running program builds them
// (the application delegate's panel controller, settings and onboarding windows), for the tests
// that look at views as a person sees them: hosted in their windows, with the application theme.
#pragma once

#include "platform/hotkey/HotkeyEventManager.h"
#include "platform/task/QtMainQueue.h"

#include <memory>

class QWidget;

namespace quorvane {

class AppDelegate;
class AppState;
class ApplicationTheme;
class ApplicationWindow;
class KeyablePanel;

namespace test {

class ProgramWindows {
public:
    // Installs the application theme, as the program does before it builds a window; the
    // desktop's preference comes from no bus at all (light).
    explicit ProgramWindows(AppState& state);
    ~ProgramWindows();

    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    // Shows the floating panel as the hot key does, once its slide in has ended. Showing the
    // settings or onboarding window hides the panel (and the hidden panel clears the state).
    KeyablePanel& panel();
    ApplicationWindow& settings();
    ApplicationWindow& onboarding();

    // Lets queued re-reads, layouts and every running animation of the window finish.
    static void settle(QWidget& window);

private:
    // Every hot-key request succeeds and nothing is ever pressed.
    class QuietHotkeys final : public HotkeyEventManager {
    public:
        HotkeyStatus installEventHandler(EventHandlerProc, void*,
                                         std::optional<EventHandlerRef>& outRef) override;
        HotkeyStatus registerEventHotKey(std::uint32_t, std::uint32_t, EventHotKeyID, std::uint32_t,
                                         std::optional<EventHotKeyRef>& outRef) override;
        HotkeyStatus unregisterEventHotKey(EventHotKeyRef) override;
        HotkeyStatus removeEventHandler(EventHandlerRef) override;
    };

    AppState& state_;
    std::unique_ptr<ApplicationTheme> theme_;
    QuietHotkeys hotkeys_;
    QtMainQueue queue_;
    std::unique_ptr<AppDelegate> delegate_;
};

} // namespace test
} // namespace quorvane
