#include "engine/Log.h"

#include "platform/logging/JournalSink.h"
#include "support/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quorvane {
namespace {

using test::LogCapture;
using Level = LogChannel::Level;
using Record = LogCapture::Record;
using testing::ElementsAre;

TEST(LogTest, ThreeChannelsWithTheirCategoriesUnderOneSubsystem) {
    EXPECT_EQ(Log::subsystem, "com.velmoro.quorvane");
    EXPECT_EQ(Log::app().category(), "app");
    EXPECT_EQ(Log::enhance().category(), "enhance");
    EXPECT_EQ(Log::provider().category(), "provider");
    EXPECT_EQ(&Log::app(), &Log::app()) << "each channel is created once";

    LogCapture capture;
    Log::app().log("a");
    Log::enhance().log("e");
    Log::provider().log("p");
    EXPECT_THAT(capture.records(), ElementsAre(Record{"app", Level::standard, "a"},
                                               Record{"enhance", Level::standard, "e"},
                                               Record{"provider", Level::standard, "p"}));
    EXPECT_THAT(capture.messages("enhance"), ElementsAre("e"));
}

TEST(LogTest, EachCallWritesAtItsLevel) {
    LogCapture capture;
    Log::enhance().log("default");
    Log::enhance().debug("debug");
    Log::enhance().error("error");
    EXPECT_THAT(capture.records(), ElementsAre(Record{"enhance", Level::standard, "default"},
                                               Record{"enhance", Level::debug, "debug"},
                                               Record{"enhance", Level::error, "error"}));
}

TEST(LogTest, FormatsPrintfStyleArguments) {
    LogCapture capture;
    const std::string provider = "openAI";
    Log::enhance().log("enhance() start: provider=%s preset=%s", provider, "code");
    Log::provider().debug("FM: calling respond(to:) [%ld chars]", 1234L);
    Log::provider().debug("FM: respond returned [%ld chars]", std::size_t{7});
    Log::app().error("negative %ld, percent %%", -5L);
    // Braces in a message are text, never a format of the sink.
    Log::app().log("reply was {} and %s", "{0}");

    EXPECT_THAT(capture.messages("enhance"),
                ElementsAre("enhance() start: provider=openAI preset=code"));
    EXPECT_THAT(capture.messages("provider"), ElementsAre("FM: calling respond(to:) [1234 chars]",
                                                          "FM: respond returned [7 chars]"));
    EXPECT_THAT(capture.messages("app"),
                ElementsAre("negative -5, percent %", "reply was {} and {0}"));
}

TEST(LogTest, WithoutAJournalRecordsGoToTheStateFile) {
    if (JournalSink::isReachable()) {
        GTEST_SKIP() << "the journal is reachable here, so no file is written";
    }
    LogChannel channel("probe");
    channel.error("written %s", "to the file");

    const auto file =
        std::filesystem::path(std::getenv("XDG_STATE_HOME")) / "Quorvane" / "quorvane.log";
    std::ifstream stream(file);
    std::stringstream contents;
    contents << stream.rdbuf();
    EXPECT_THAT(contents.str(), testing::HasSubstr("error probe: written to the file"));
}

unsigned modeOf(const std::filesystem::path& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

TEST(LogTest, TheLogFolderAndFileArePrivate) {
    const auto directory = std::filesystem::path(std::getenv("TMPDIR")) / "state" / "Quorvane";
    // The folder as an earlier version left it, readable by everyone.
    std::filesystem::create_directories(directory);
    ::chmod(directory.c_str(), 0755);
    const mode_t previous = ::umask(022);
    const auto sink = Log::openFileSink(directory / "quorvane.log");
    ::umask(previous);

    ASSERT_TRUE(sink);
    EXPECT_EQ(modeOf(directory), 0700u);
    EXPECT_EQ(modeOf(directory / "quorvane.log"), 0600u);
}

} // namespace
} // namespace quorvane
