#include "state/LaunchAtLoginService.h"

#include "engine/Log.h"
#include "platform/autostart/AutostartEntry.h"

#include <gtest/gtest.h>
#include <spdlog/sinks/null_sink.h>
#include <spdlog/sinks/ringbuffer_sink.h>

#include <filesystem>
#include <fstream>

namespace quorvane {
namespace {

namespace fs = std::filesystem;

class LaunchAtLoginServiceTest : public testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(autostartFolder());
        Log::redirect(log_);
    }
    void TearDown() override {
        fs::remove_all(autostartFolder());
        Log::redirect(std::make_shared<spdlog::sinks::null_sink_mt>());
    }

    static fs::path autostartFolder() { return AutostartEntry::defaultEntryFile().parent_path(); }

    bool logged(const std::string& text) const {
        for (const auto& line : log_->last_formatted()) {
            if (line.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    std::shared_ptr<spdlog::sinks::ringbuffer_sink_mt> log_ =
        std::make_shared<spdlog::sinks::ringbuffer_sink_mt>(32);
};

TEST_F(LaunchAtLoginServiceTest, ReportsTheStatusEachChangeLeaves) {
    const LaunchAtLoginService service;
    EXPECT_FALSE(service.isEnabled());

    EXPECT_TRUE(service.setEnabled(true));
    EXPECT_TRUE(service.isEnabled());
    EXPECT_TRUE(fs::exists(AutostartEntry::defaultEntryFile()));

    EXPECT_FALSE(service.setEnabled(false));
    EXPECT_FALSE(service.isEnabled());
    EXPECT_FALSE(logged("LaunchAtLogin toggle failed"));
}

TEST_F(LaunchAtLoginServiceTest, ARefusedRegistrationIsLoggedAndReturnsTheRealStatus) {
    fs::create_directories(autostartFolder().parent_path());
    std::ofstream(autostartFolder()) << "a file where the folder belongs";
    const LaunchAtLoginService service;

    EXPECT_FALSE(service.setEnabled(true));
    EXPECT_TRUE(logged("LaunchAtLogin toggle failed: Could not create "));
}

} // namespace
} // namespace quorvane
