#include "shell/AppDelegate.h"

#include "engine/Log.h"
#include "platform/updater/UpdaterService.h"
#include "shell/ApplicationWindow.h"
#include "shell/DiagnosticModes.h"
#include "shell/MainMenu.h"
#include "shell/SpotlightController.h"
#include "shell/TrayIcon.h"
#include "shell/UpdateDialogDriver.h"
#include "state/AppState.h"
#include "state/Telemetry.h"
#include "ui/windows/OnboardingView.h"
#include "ui/windows/SettingsView.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>

namespace quorvane {

namespace {

constexpr int deferredStartUpPatienceMs = 1000;

QWidget* makeSettingsView(AppState& state) {
    return new SettingsView(state);
}

QWidget* makeOnboardingView(AppState& state, std::function<void()> onFinish) {
    return new OnboardingView(state, std::move(onFinish));
}

} // namespace

AppDelegate::AppDelegate(AppState& state, HotkeyEventManager& hotkeyEvents, MainQueue& mainQueue,
                         QObject* parent)
    : QObject(parent)
    , quitApplication([] {
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    })
    , state_(state)
    , mainQueue_(mainQueue)
    , hotkey_(hotkeyEvents, mainQueue) {
    // However the application ends, the hot key is released and running work is stopped.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
}

AppDelegate::~AppDelegate() {
    // The state outlives us in tests; its closures already hold us weakly, the observer does not.
    disconnect(resignObserver_);
}

void AppDelegate::applicationDidFinishLaunching(const QStringList& arguments) {
    // A regular application with a menu bar is all there is on this desktop; nothing to set.
    telemetryOptedIn = state_.telemetryEnabled();
    if (state_.telemetryEnabled()) {
        startTelemetry();
    }
    reportPendingCrashes();
    Log::app().log("Quorvane launched");

    if (runDiagnosticMode(arguments)) {
        return;
    }

    installMainMenu();
    connectState();
    if (state_.enableGlobalHotkey()) {
        registerStoredHotkey();
    }
    updateDriver_ = std::make_unique<UpdateDialogDriver>();
    updater_ = std::make_unique<UpdaterService>(*updateDriver_, mainQueue_);

    QPointer<AppDelegate> self(this);
    state_.onCheckForUpdates = [self] {
        if (self) {
            self->checkForUpdates();
        }
    };
    state_.onAppearanceChanged = [self](Appearance appearance) {
        if (self) {
            self->applyPanelAppearance(appearance);
        }
    };
    if (!state_.hasCompletedOnboarding()) {
        showOnboarding();
    }
    scheduleDeferredStartUp();
}

void AppDelegate::scheduleDeferredStartUp() {
    deferredStartUpScheduled_ = true;
    // A timer, not a posted call: posted calls run before the event loop looks at its sockets,
    // timers after, so a reopen already waiting on the single-instance socket shows its panel
    // first.
    auto* firstTurn = new QTimer(this);
    firstTurn->setSingleShot(true);
    connect(firstTurn, &QTimer::timeout, this, [this, firstTurn] {
        firstTurn->deleteLater();
        runDeferredStartUp(false);
    });
    firstTurn->start(0);
    // A panel whose first frame never comes (hidden again at once, or a stalled display) holds
    // nothing up for longer than this.
    QTimer::singleShot(deferredStartUpPatienceMs, this, [this] { runDeferredStartUp(true); });
}

// A panel asked for in the first turn paints first; the work here would only delay its frame.
void AppDelegate::runDeferredStartUp(bool evenBeforeFirstFrame) {
    if (!deferredStartUpScheduled_ || deferredStartUpDone_ || terminated_) {
        return;
    }
    if (!evenBeforeFirstFrame && spotlight_ && spotlight_->isAwaitingFirstFrame()) {
        return;
    }
    deferredStartUpDone_ = true;
    installTrayIcon();
    mainMenu_->installMenuBar();
}

bool AppDelegate::runDiagnosticMode(const QStringList& arguments) {
    QPointer<AppDelegate> self(this);
    DiagnosticContext context{
        state_,
        [self]() -> QMenu* { return self ? self->makeDockMenu() : new QMenu; },
        &showcaseWindows,
        [self] {
            if (self) {
                self->terminate();
            }
        },
    };
    return DiagnosticModes::runIfRequested(arguments, std::move(context));
}

void AppDelegate::connectState() {
    QPointer<AppDelegate> self(this);
    state_.openSettings = [self] {
        if (self) {
            self->showSettings();
        }
    };
    disconnect(resignObserver_);
    resignObserver_ = connect(qApp, &QGuiApplication::applicationStateChanged, this,
                              [this](Qt::ApplicationState appState) {
                                  if (appState != Qt::ApplicationActive) {
                                      hidePanelOnResign();
                                  }
                              });
    hotkey_.setOnPressed([self] {
        if (self) {
            self->togglePanel();
        }
    });
    state_.onGlobalHotkeyChanged = [self](bool enabled) {
        if (self) {
            self->globalHotkeyToggled(enabled);
        }
    };
    state_.onHotkeyConfigChanged = [self](const HotkeyConfig& config) {
        if (self) {
            self->hotkeyConfigChanged(config);
        }
    };
    state_.onShowOnboarding = [self] {
        if (self) {
            self->showOnboarding();
        }
    };
}

void AppDelegate::applicationWillTerminate() {
    if (terminated_) {
        return;
    }
    terminated_ = true;
    disconnect(resignObserver_);
    hotkey_.unregister();
    state_.cancelEnhance();
}

void AppDelegate::terminate() {
    applicationWillTerminate();
    if (quitApplication) {
        quitApplication();
    }
}

void AppDelegate::installMainMenu() {
    QPointer<AppDelegate> self(this);
    mainMenu_ = std::make_unique<MainMenu>(MainMenu::Actions{
        [self] {
            if (self) {
                self->checkForUpdates();
            }
        },
        [self] {
            if (self) {
                self->terminate();
            }
        },
    });
}

void AppDelegate::installTrayIcon() {
    QPointer<AppDelegate> self(this);
    tray_ = std::make_unique<TrayIcon>(TrayIcon::Actions{
        [self]() -> QMenu* { return self ? self->makeDockMenu() : new QMenu; },
        [self] {
            if (self) {
                self->handleReopen();
            }
        },
    });
    tray_->show();
}

QMenu* AppDelegate::makeDockMenu() {
    auto* menu = new QMenu;
    auto* open = menu->addAction(QStringLiteral("Open Quorvane"));
    open->setObjectName(QStringLiteral("menuOpen"));
    connect(open, &QAction::triggered, this, [this] { spotlight().show(); });

    auto* settings = menu->addAction(QStringLiteral("Settings…"));
    settings->setObjectName(QStringLiteral("menuSettings"));
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settings->setShortcutContext(Qt::WidgetShortcut);
    connect(settings, &QAction::triggered, this, &AppDelegate::showSettings);

    auto* check = menu->addAction(QStringLiteral("Check for Updates…"));
    check->setObjectName(QStringLiteral("checkForUpdates"));
    connect(check, &QAction::triggered, this, &AppDelegate::checkForUpdates);

    menu->addSeparator();

    auto* quit = menu->addAction(QStringLiteral("Quit Quorvane"));
    quit->setObjectName(QStringLiteral("terminate"));
    // Marks the item that ends the application, which the menu probe reads back.
    quit->setMenuRole(QAction::QuitRole);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::WidgetShortcut);
    connect(quit, &QAction::triggered, this, &AppDelegate::terminate);
    return menu;
}

SpotlightController& AppDelegate::spotlight() {
    if (!spotlight_) {
        spotlight_ = std::make_unique<SpotlightController>(state_);
        connect(spotlight_.get(), &SpotlightController::panelFirstFramePainted, this,
                [this] { runDeferredStartUp(false); });
    }
    return *spotlight_;
}

KeyablePanel* AppDelegate::currentPanel() const {
    return spotlight_ ? spotlight_->panel() : nullptr;
}

bool AppDelegate::isPanelVisible() const {
    const auto* panel = currentPanel();
    return panel && panel->isVisible();
}

void AppDelegate::togglePanel() {
    if (isPanelVisible()) {
        spotlight().hide();
        return;
    }
    spotlight().show();
}

bool AppDelegate::handleReopen() {
    if (settingsWindow_ && settingsWindow_->isVisible()) {
        bringToFront(settingsWindow_.get());
        return true;
    }
    togglePanel();
    return true;
}

void AppDelegate::hidePanel() {
    spotlight().hide();
}

// Whichever of this and the panel's own hide-on-deactivate runs first, nothing is cleared: the
// user comes back to the draft they left.
void AppDelegate::hidePanelOnResign() {
    spotlight().hideOnDeactivation();
}

void AppDelegate::showSettings() {
    if (!settingsWindow_) {
        settingsWindow_ = std::make_unique<ApplicationWindow>(
            ApplicationWindow::Options{QStringLiteral("Quorvane Settings"), QSize(520, 560), true,
                                       true},
            makeSettingsView(state_));
    }
    settingsWindow_->center();
    hidePanel();
    bringToFront(settingsWindow_.get());
}

void AppDelegate::showOnboarding() {
    if (!onboardingWindow_) {
        QPointer<AppDelegate> self(this);
        onboardingWindow_ = std::make_unique<ApplicationWindow>(
            ApplicationWindow::Options{QStringLiteral("Welcome to Quorvane"), QSize(480, 520),
                                       false},
            makeOnboardingView(state_, [self] {
                if (self) {
                    self->closeOnboarding();
                }
            }));
        onboardingWindow_->center();
    }
    hidePanel();
    bringToFront(onboardingWindow_.get());
}

void AppDelegate::closeOnboarding() {
    if (onboardingWindow_) {
        onboardingWindow_->close();
    }
}

void AppDelegate::checkForUpdates() {
    if (!updater_) {
        return;
    }
    updater_->controller().updater().checkForUpdates();
}

void AppDelegate::globalHotkeyToggled(bool enabled) {
    if (enabled) {
        registerStoredHotkey();
        return;
    }
    hotkey_.unregister();
}

void AppDelegate::hotkeyConfigChanged(const HotkeyConfig& config) {
    if (!state_.enableGlobalHotkey()) {
        return;
    }
    hotkey_.registerHotkey(config.keyCode, config.carbonModifiers);
}

void AppDelegate::registerStoredHotkey() {
    hotkey_.registerHotkey(state_.hotkey().keyCode, state_.hotkey().carbonModifiers);
}

void AppDelegate::applyPanelAppearance(Appearance appearance) {
    auto* panel = currentPanel();
    if (!panel) {
        return;
    }
    panel->setAppearance(appearance);
}

QWidget* AppDelegate::settingsWindow() const {
    return settingsWindow_.get();
}

QWidget* AppDelegate::onboardingWindow() const {
    return onboardingWindow_.get();
}

QMenuBar* AppDelegate::mainMenuBar() const {
    return mainMenu_ ? mainMenu_->menuBar() : nullptr;
}

void AppDelegate::bringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace quorvane
