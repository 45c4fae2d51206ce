// Starts the way the application does up to its diagnostic dispatch: the real
// state over the stores at their default locations, the Qt main queue and the
// system clipboard. Runs the requested mode; with none, exits 0 silently.
#include "platform/defaults/UserDefaults.h"
#include "platform/pasteboard/QtPasteboard.h"
#include "platform/task/QtMainQueue.h"
#include "shell/DiagnosticModes.h"
#include "state/AppState.h"
#include "state/HistoryStore.h"
#include "state/KeyStore.h"
#include "state/SettingsStore.h"
#include "state/Telemetry.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMetaObject>

#include <vector>

using namespace quorvane;

namespace {

void quitSoon() {
    QMetaObject::invokeMethod(
        qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

QMenu* makeDockMenu() {
    auto* menu = new QMenu;
    menu->addAction(QStringLiteral("Open Quorvane"));
    menu->addAction(QStringLiteral("Settings…"))
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    menu->addAction(QStringLiteral("Check for Updates…"));
    menu->addSeparator();
    QAction* quit = menu->addAction(QStringLiteral("Quit Quorvane"));
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    quit->setMenuRole(QAction::QuitRole);
    QObject::connect(quit, &QAction::triggered, qApp, &quitSoon);
    return menu;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QtMainQueue mainQueue;
    QtPasteboard pasteboard;
    UserDefaults& defaults = UserDefaults::standard();
    AppState state{HistoryStore(defaults), KeyStore(), SettingsStore(defaults),
                   AppState::Services{.mainQueue = mainQueue,
                                      .pasteboard = pasteboard,
                                      .presetDefaults = defaults}};
    telemetryOptedIn = state.telemetryEnabled();
    if (state.telemetryEnabled()) {
        startTelemetry();
    }

    std::vector<QWidget*> showcaseWindows;
    const bool matched = DiagnosticModes::runIfRequested(
        QCoreApplication::arguments(), DiagnosticContext{.state = state,
                                                         .makeDockMenu = &makeDockMenu,
                                                         .showcaseWindows = &showcaseWindows,
                                                         .terminate = [&state] {
                                                             state.cancelEnhance();
                                                             quitSoon();
                                                         }});
    if (!matched) {
        return 0;
    }
    const int status = QApplication::exec();
    qDeleteAll(showcaseWindows);
    return status;
}
