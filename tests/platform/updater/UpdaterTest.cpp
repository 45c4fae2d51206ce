#include "platform/updater/Updater.h"

#include "RecordingDriver.h"
#include "platform/http/HttpSession.h"
#include "platform/updater/UpdaterController.h"
#include "support/LoopbackServer.h"
#include "support/ManualMainQueue.h"
#include "support/StallingHandler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace quorvane {
namespace {

using namespace std::chrono_literals;
using Kind = UpdateCheckResult::Kind;
using test::RecordingDriver;

UpdateCheck unconfigured() {
    return UpdateCheck("", "1", "1.0", HttpSession::shared());
}

TEST(UpdaterTest, TheOutcomeIsShownOnTheMainThread) {
    test::ManualMainQueue mainQueue;
    RecordingDriver driver;
    UpdaterController controller(true, unconfigured(), driver, mainQueue);

    controller.updater().checkForUpdates();
    ASSERT_TRUE(mainQueue.runUntil([&] { return !driver.results.empty(); }));

    ASSERT_EQ(driver.results.size(), 1u);
    EXPECT_EQ(driver.results[0].kind, Kind::notConfigured);
    EXPECT_EQ(driver.threads[0], std::this_thread::get_id());
    EXPECT_FALSE(controller.updater().sessionInProgress());
}

TEST(UpdaterTest, AnUpdaterNotStartedDoesNotCheck) {
    test::ManualMainQueue mainQueue;
    RecordingDriver driver;
    UpdaterController controller(false, unconfigured(), driver, mainQueue);

    controller.updater().checkForUpdates();
    EXPECT_FALSE(mainQueue.runUntil([&] { return !driver.results.empty(); }, 200ms));

    controller.startUpdater();
    controller.updater().checkForUpdates();
    EXPECT_TRUE(mainQueue.runUntil([&] { return !driver.results.empty(); }));
}

TEST(UpdaterTest, OneCheckAtATime) {
    test::LoopbackServer server;
    test::StallingHandler stalling;
    server.get("/feed.xml", stalling.handler());
    test::ManualMainQueue mainQueue;
    RecordingDriver driver;
    UpdaterController controller(
        true, UpdateCheck(server.baseUrl() + "/feed.xml", "1", "1.0", HttpSession::shared()),
        driver, mainQueue);
    auto& updater = controller.updater();

    updater.checkForUpdates();
    ASSERT_TRUE(stalling.waitUntilArrived(20s));
    EXPECT_TRUE(updater.sessionInProgress());
    EXPECT_FALSE(updater.canCheckForUpdates());
    updater.checkForUpdates(); // ignored while the first runs

    stalling.release(); // an empty body is no feed
    ASSERT_TRUE(mainQueue.runUntil([&] { return !driver.results.empty(); }));
    EXPECT_EQ(driver.results[0].kind, Kind::failed);
    EXPECT_TRUE(updater.canCheckForUpdates());
    mainQueue.drain();
    EXPECT_EQ(driver.results.size(), 1u);
    EXPECT_EQ(server.requests().size(), 1u);

    updater.checkForUpdates();
    ASSERT_TRUE(mainQueue.runUntil([&] { return driver.results.size() == 2; }));
}

TEST(UpdaterTest, AnUpdaterGoneBeforeItsCheckEndsShowsNothing) {
    test::LoopbackServer server;
    test::StallingHandler stalling;
    server.get("/feed.xml", stalling.handler());
    test::ManualMainQueue mainQueue;
    RecordingDriver driver;
    auto controller = std::make_unique<UpdaterController>(
        true, UpdateCheck(server.baseUrl() + "/feed.xml", "1", "1.0", HttpSession::shared()),
        driver, mainQueue);
    controller->updater().checkForUpdates();
    ASSERT_TRUE(stalling.waitUntilArrived(20s));

    // Going cancels the request in flight; without that it would wait for the stalled reply.
    const auto start = std::chrono::steady_clock::now();
    controller.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    stalling.release();
    mainQueue.drain();
    EXPECT_TRUE(driver.results.empty());
}

} // namespace
} // namespace quorvane
