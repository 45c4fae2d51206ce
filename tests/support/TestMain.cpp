// The main of every test executable: a private home for the whole process and
// log records kept out of the user's journal.
#include "TemporaryHome.h"
#include "engine/Log.h"

#include <gmock/gmock.h>
#include <spdlog/sinks/null_sink.h>

int main(int argc, char** argv) {
    testing::InitGoogleMock(&argc, argv);
    quorvane::test::TemporaryHome home;
    quorvane::Log::redirect(std::make_shared<spdlog::sinks::null_sink_mt>());
    quorvane::Log::listenToUserDefaults();
    return RUN_ALL_TESTS();
}
