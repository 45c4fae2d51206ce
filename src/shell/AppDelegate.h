// Owns every long-lived object of the shell (the panel controller, the global hot key, the
// updater, the settings and onboarding windows, the menus) and wires them to the one AppState
// when launching finishes. Everything here runs on the main thread.
#pragma once

#include "shell/GlobalHotkey.h"
#include "state/Appearance.h"
#include "state/HotkeyConfig.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QMenuBar;
class QWidget;

namespace quorvane {

class AppState;
class ApplicationWindow;
class HotkeyEventManager;
class KeyablePanel;
class MainMenu;
class MainQueue;
class SpotlightController;
class TrayIcon;
class UpdateDialogDriver;
class UpdaterService;

class AppDelegate final : public QObject {
    Q_OBJECT

public:
    // All three must outlive the delegate.
    AppDelegate(AppState& state, HotkeyEventManager& hotkeyEvents, MainQueue& mainQueue,
                QObject* parent = nullptr);
    ~AppDelegate() override;

    // The start-up sequence. A diagnostic mode named by the arguments replaces everything after
    // the crash-reporting start; then no menu, hot key, updater or tray exists. What nothing on
    // the screen waits for (the tray icon, the bar that holds the main menu) is made once the
    // event loop has turned; when that turn showed the panel (a launch that is at once a reopen),
    // after the panel's first frame.
    void applicationDidFinishLaunching(const QStringList& arguments);
    // Idempotent; also runs when the application quits by any other path.
    void applicationWillTerminate();
    // The shut-down, then the end of the event loop with status 0.
    void terminate();

    // A click on the tray icon or a second launch: brings a visible settings window to front,
    // otherwise toggles the panel. Always true.
    bool handleReopen();
    // A new menu for the tray, owned by the caller: open, settings, check for updates, quit.
    QMenu* makeDockMenu();

    void togglePanel();
    void showSettings();
    void showOnboarding();
    void closeOnboarding();
    void checkForUpdates();
    void globalHotkeyToggled(bool enabled);
    void hotkeyConfigChanged(const HotkeyConfig& config);
    void applyPanelAppearance(Appearance appearance);

    // Whether the start-up work that waited for the event loop has been done.
    bool hasFinishedDeferredStartUp() const { return deferredStartUpDone_; }

    // The panel controller, built on first use.
    SpotlightController& spotlight();
    // The current panel window, or null while hidden.
    KeyablePanel* currentPanel() const;
    bool isPanelVisible() const;

    AppState& appState() { return state_; }
    QWidget* settingsWindow() const;
    QWidget* onboardingWindow() const;
    QMenuBar* mainMenuBar() const;
    bool hasUpdater() const { return updater_ != nullptr; }
    bool isHotkeyHandlerInstalled() const { return hotkey_.isHandlerInstalled(); }
    TrayIcon* trayIcon() const { return tray_.get(); }

    // Windows opened by the showcase mode, kept for the whole run.
    std::vector<QWidget*> showcaseWindows;

    // How terminate() ends the run; by default the event loop ends with status 0 as soon as it
    // runs, which also covers a mode that finished before the loop started.
    std::function<void()> quitApplication;

private:
    bool runDiagnosticMode(const QStringList& arguments);
    void scheduleDeferredStartUp();
    void runDeferredStartUp(bool evenBeforeFirstFrame);
    void installMainMenu();
    void installTrayIcon();
    void connectState();
    void hidePanelOnResign();
    void hidePanel();
    void registerStoredHotkey();
    static void bringToFront(QWidget* window);

    AppState& state_;
    MainQueue& mainQueue_;
    std::unique_ptr<SpotlightController> spotlight_;
    std::unique_ptr<ApplicationWindow> settingsWindow_;
    std::unique_ptr<ApplicationWindow> onboardingWindow_;
    std::unique_ptr<UpdateDialogDriver> updateDriver_;
    std::unique_ptr<UpdaterService> updater_;
    GlobalHotkey hotkey_;
    QMetaObject::Connection resignObserver_;
    std::unique_ptr<MainMenu> mainMenu_;
    std::unique_ptr<TrayIcon> tray_;
    bool terminated_ = false;
    bool deferredStartUpScheduled_ = false;
    bool deferredStartUpDone_ = false;
};

} // namespace quorvane
