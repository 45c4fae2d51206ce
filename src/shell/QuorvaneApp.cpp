#include "shell/QuorvaneApp.h"

#include "engine/Log.h"
#include "platform/crypto/OpenSslRuntime.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/hotkey/HotkeyBackendSelector.h"
#include "platform/pasteboard/QtPasteboard.h"
#include "platform/task/QtMainQueue.h"
#include "platform/termination/TerminationSignals.h"
#include "shell/AppDelegate.h"
#include "shell/Launcher.h"
#include "shell/SingleInstance.h"
#include "shell/StartUpWarmUp.h"
#include "state/AppState.h"
#include "state/HistoryStore.h"
#include "state/KeyStore.h"
#include "state/SettingsStore.h"
#include "ui/kit/ApplicationTheme.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <type_traits>

namespace quorvane {

QuorvaneApp::QuorvaneApp()
    : mainQueue_(std::make_unique<QtMainQueue>())
    , pasteboard_(std::make_unique<QtPasteboard>()) {
    auto& defaults = UserDefaults::standard();
    appState_ =
        std::make_unique<AppState>(HistoryStore(defaults), KeyStore(), SettingsStore(defaults),
                                   AppState::Services{*mainQueue_, *pasteboard_, defaults});
    // Before any window is built: every one of them takes its look from it.
    theme_ = std::make_unique<ApplicationTheme>(*appState_);
    hotkeyEvents_ = HotkeyBackendSelector::makeEventManager();
    appDelegate_ = std::make_unique<AppDelegate>(*appState_, *hotkeyEvents_, *mainQueue_);
}

QuorvaneApp::~QuorvaneApp() = default;

int QuorvaneApp::main(int argc, char** argv) {
    // Read before QApplication takes its own options out of argv.
    const bool diagnosticMode = Launcher::requestsDiagnosticMode(argc, argv);
    // Before any thread exists that could be the first to need it.
    OpenSslRuntime::initialise();
    // Before the first settings file is opened, so that one set aside is logged.
    Log::listenToUserDefaults();
    // The panel places itself under the mouse and stays above other windows, which a Wayland
    // client cannot do: it runs through XWayland wherever there is one, also where Qt's Wayland
    // plugin is installed. Only for this process; what it starts inherits nothing.
    const bool choosePlatform = !qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    if (choosePlatform) {
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    }
    // Both warm-ups read the environment, so nothing may change it while they run. Connecting to
    // the display takes a startup notification's id out of it; with one given, Qt loads the font
    // configuration itself, as it would anyway.
    std::optional<StartUpWarmUp> fonts;
    if (!qEnvironmentVariableIsSet("DESKTOP_STARTUP_ID")) {
        fonts.emplace(&StartUpWarmUp::loadFontConfiguration);
    }
    QApplication application(argc, argv);
    // Before anything lays out text.
    if (fonts) {
        fonts->wait();
    }
    if (choosePlatform) {
        qunsetenv("QT_QPA_PLATFORM");
    }
    // Done by the time the event loop first turns, which needs it; a connection made first off
    // the main thread delivers from the start, and every receiver here subscribes before it asks.
    // Not beside a diagnostic mode, one of which sets a variable of its own.
    std::optional<StartUpWarmUp> sessionBus;
    if (!diagnosticMode) {
        sessionBus.emplace(&StartUpWarmUp::connectSessionBus);
    }
    QApplication::setApplicationName(QStringLiteral("quorvane"));
    // No display name: the window system would append it to every window title.
    QApplication::setDesktopFileName(QStringLiteral("quorvane"));
    // Windows only hide when closed, and the application lives on with none shown.
    QApplication::setQuitOnLastWindowClosed(false);

    // Log-out ends the program with SIGTERM. Until the event loop runs, the signal ends the
    // process at once, whatever start-up is waiting for, and the lock goes with it; from then on
    // it quits as the menu's Quit does, so the shut-down steps run.
    TerminationSignals termination;
    const auto arguments = QApplication::arguments();
    std::unique_ptr<SingleInstance> instance;
    if (!diagnosticMode) {
        instance = std::make_unique<SingleInstance>();
        switch (instance->acquire()) {
        case SingleInstance::Role::handedOver:
            return 0;
        case SingleInstance::Role::unreachable:
            std::fprintf(stderr, "quorvane: another copy is running but does not answer\n");
            return 1;
        case SingleInstance::Role::primary:
            break;
        }
    }

    QuorvaneApp app;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app.appDelegate(),
                     [&app] { app.appDelegate().terminate(); });
    if (instance) {
        QObject::connect(instance.get(), &SingleInstance::reopenRequested, &app.appDelegate(),
                         [&app] { app.appDelegate().handleReopen(); });
    }
    app.appDelegate().applicationDidFinishLaunching(arguments);
    QTimer::singleShot(0, &termination, &TerminationSignals::forwardToEventLoop);
    return QApplication::exec();
}

} // namespace quorvane

// The application module's entry point, which the launcher looks up by name.
extern "C" __attribute__((visibility("default"))) int quorvane_application_main(int argc,
                                                                                char** argv) {
    static_assert(
        std::is_same_v<decltype(&quorvane_application_main), quorvane::Launcher::ApplicationMain>);
    return quorvane::QuorvaneApp::main(argc, argv);
}
