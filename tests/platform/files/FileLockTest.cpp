#include "platform/files/FileLock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>

namespace quorvane {
namespace {

using namespace std::chrono_literals;

std::filesystem::path lockFile() {
    return std::filesystem::path(std::getenv("TMPDIR")) / ".settings.json.lock";
}

// Locks on one file conflict even within one process, as they do between two.
TEST(FileLockTest, AHeldLockIsWaitedOnOnlyForThePatienceGiven) {
    auto holder = std::make_unique<FileLock>(lockFile());
    ASSERT_TRUE(holder->held()) << holder->error().message();

    const auto start = std::chrono::steady_clock::now();
    auto waiting =
        std::async(std::launch::async, [] { return FileLock(lockFile(), 100ms).error(); });
    if (waiting.wait_for(2s) != std::future_status::ready) {
        holder.reset(); // lets the waiter through, so the test can end
        FAIL() << "the wait for a held lock has no bound";
    }
    EXPECT_EQ(waiting.get(), std::errc::device_or_resource_busy);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);

    holder.reset();
    EXPECT_TRUE(FileLock(lockFile(), 0ms).held()) << "released with its holder";
}

} // namespace
} // namespace quorvane
