// The main of every view test: a private home, log records kept out of the
// journal, and a QApplication on the offscreen platform. Tests that need a real
// X server start their own Xvfb and have a main of their own.
#include "TemporaryHome.h"
#include "engine/Log.h"

#include <gmock/gmock.h>
#include <spdlog/sinks/null_sink.h>

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
    testing::InitGoogleMock(&argc, argv);
    quorvane::test::TemporaryHome home;
    quorvane::Log::redirect(std::make_shared<spdlog::sinks::null_sink_mt>());
    quorvane::Log::listenToUserDefaults();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
