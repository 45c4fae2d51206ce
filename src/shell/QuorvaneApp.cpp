#include "shell/QuorvaneApp.h"

#include "platform/crypto/OpenSslRuntime.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/hotkey/HotkeyBackendSelector.h"
#include "platform/pasteboard/QtPasteboard.h"
#include "platform/task/QtMainQueue.h"
#include "platform/termination/TerminationSignals.h"
#include "shell/AppDelegate.h"
#include "shell/SingleInstance.h"
#include "state/AppState.h"
#include "state/HistoryStore.h"
#include "state/KeyStore.h"
#include "state/SettingsStore.h"
#include "ui/kit/ApplicationTheme.h"

#include <QApplication>
#include <QProcessEnvironment>

#include <algorithm>
#include <array>
#include <cstdio>

namespace quorvane {

namespace {

constexpr std::array diagnosticFlags{
    "--selftest",   "--showcase",   "--clarifytest",     "--copytest",      "--variationtest",
    "--keyprobe",   "--menuprobe",  "--onboardingprobe", "--resourceprobe", "--errortest",
    "--hotkeytest", "--sentrytest", "--telemetryprobe",
};

} // namespace

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

bool QuorvaneApp::requestsDiagnosticMode(const QStringList& arguments,
                                         const QProcessEnvironment& environment) {
    if (environment.value(QStringLiteral("THRIM_SELFTEST")) == QStringLiteral("1")) {
        return true;
    }
    return std::any_of(diagnosticFlags.begin(), diagnosticFlags.end(), [&](const char* flag) {
        return arguments.contains(QString::fromUtf8(flag));
    });
}

int QuorvaneApp::main(int argc, char** argv) {
    // Before any thread exists that could be the first to need it.
    OpenSslRuntime::initialise();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvane"));
    // No display name: the window system would append it to every window title.
    QApplication::setDesktopFileName(QStringLiteral("quorvane"));
    // Windows only hide when closed, and the application lives on with none shown.
    QApplication::setQuitOnLastWindowClosed(false);

    // Log-out ends the program with SIGTERM: it quits as the menu's Quit does, so the shut-down
    // steps run and the single-instance lock is released. Installed before the socket listens,
    // because a signal can come as soon as anyone can see that this copy runs; one that comes
    // before the event loop waits in the handler's pipe.
    TerminationSignals termination;
    const auto arguments = QApplication::arguments();
    std::unique_ptr<SingleInstance> instance;
    if (!requestsDiagnosticMode(arguments, QProcessEnvironment::systemEnvironment())) {
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
    return QApplication::exec();
}

} // namespace quorvane

int main(int argc, char** argv) {
    return quorvane::QuorvaneApp::main(argc, argv);
}
