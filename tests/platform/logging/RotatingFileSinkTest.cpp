#include "platform/logging/RotatingFileSink.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spdlog/logger.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

unsigned modeOf(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

std::string readFile(const fs::path& file) {
    std::ifstream stream(file);
    std::stringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

class RotatingFileSinkTest : public testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::path(std::getenv("TMPDIR")) /
                     testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(directory_);
        fs::create_directories(directory_);
    }

    fs::path file() const { return directory_ / "quorvane.log"; }

    fs::path directory_;
};

TEST_F(RotatingFileSinkTest, RotatesIntoPrivateFilesAndKeepsTheNewestOnes) {
    // A file an earlier version left readable by everyone.
    std::ofstream(file()) << "old\n";
    ::chmod(file().c_str(), 0644);
    const mode_t previous = ::umask(022);
    auto sink = RotatingFileSink::open(file(), 64, 2);
    ASSERT_TRUE(sink);
    sink->set_pattern("%v");
    spdlog::logger logger("probe", sink);
    for (int line = 1; line <= 12; ++line) {
        logger.info("line {:02} of twelve, padded", line); // 26 bytes: two lines a file
    }
    ::umask(previous);

    EXPECT_EQ(readFile(file()), "line 11 of twelve, padded\nline 12 of twelve, padded\n");
    EXPECT_EQ(readFile(RotatingFileSink::rotatedName(file(), 1)),
              "line 09 of twelve, padded\nline 10 of twelve, padded\n");
    EXPECT_EQ(readFile(RotatingFileSink::rotatedName(file(), 2)),
              "line 07 of twelve, padded\nline 08 of twelve, padded\n");
    EXPECT_FALSE(fs::exists(RotatingFileSink::rotatedName(file(), 3)));
    for (std::size_t index = 0; index <= 2; ++index) {
        EXPECT_EQ(modeOf(RotatingFileSink::rotatedName(file(), index)), 0600u) << index;
    }
    EXPECT_EQ(RotatingFileSink::rotatedName(file(), 1), directory_ / "quorvane.1.log");
}

// Opening never waits on what lies at the path, and only a regular file is
// written; a link is not followed.
TEST_F(RotatingFileSinkTest, SomethingOtherThanAFileIsRefusedAtOnce) {
    struct Row {
        const char* label;
        void (*make)(const fs::path&);
    };
    const Row rows[] = {
        {"FIFO", [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }},
        {"link to /dev/null", [](const fs::path& at) { fs::create_symlink("/dev/null", at); }},
        {"directory", [](const fs::path& at) { fs::create_directory(at); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        fs::remove_all(file());
        row.make(file());
        auto opening =
            std::async(std::launch::async, [&] { return RotatingFileSink::open(file(), 64, 2); });
        if (opening.wait_for(2s) != std::future_status::ready) {
            // A reader on the FIFO lets the writer's open return, so the test can end.
            ::close(::open(file().c_str(), O_RDONLY | O_NONBLOCK));
            FAIL() << "opening the log waits on what lies at its path";
        }
        EXPECT_FALSE(opening.get());
    }
}

} // namespace
} // namespace quorvane
