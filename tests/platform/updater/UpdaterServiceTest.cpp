#include "platform/updater/UpdaterService.h"

#include "RecordingDriver.h"
#include "support/ManualMainQueue.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::RecordingDriver;

TEST(UpdaterServiceTest, TheServiceStartsItsUpdaterAtOnce) {
    test::ManualMainQueue mainQueue;
    RecordingDriver driver;
    UpdaterService service(driver, mainQueue);
    EXPECT_TRUE(service.controller().updater().isStarted());
}

} // namespace
} // namespace quorvane
