// The main of every view test: a private home, log records kept out of the
// journal, no session bus of the user's, and a QApplication on the offscreen
// platform. Any warning Qt prints fails the test that caused it: a warning is
// how Qt reports a font made with a broken size, a bad layout or a dangling
// connection, and none of them may slip by. Tests that need a real X server
// start their own Xvfb and have a main of their own.
#include "TemporaryHome.h"
#include "engine/Log.h"

#include <gmock/gmock.h>
#include <spdlog/sinks/null_sink.h>

#include <QApplication>

#include <cstdlib>
#include <string>

namespace {

// What the offscreen platform cannot do at all; the same call does its work on a desktop.
bool isPlatformLimitation(const QString& message) {
    return message.startsWith(QLatin1String("This plugin does not support"));
}

void failOnWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || isPlatformLimitation(message)) {
        return;
    }
    ADD_FAILURE_AT(context.file != nullptr ? context.file : "(Qt)", context.line)
        << "Qt warned: " << message.toStdString();
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleMock(&argc, argv);
    quorvane::test::TemporaryHome home;
    quorvane::Log::redirect(std::make_shared<spdlog::sinks::null_sink_mt>());
    quorvane::Log::listenToUserDefaults();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The user's desktop (its colour preference, its tray) stays out of every test; a test that
    // needs a bus starts a private one.
    const std::string noBus = "unix:path=" + home.root().string() + "/no-bus";
    setenv("DBUS_SESSION_BUS_ADDRESS", noBus.c_str(), 1);
    qInstallMessageHandler(failOnWarnings);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
