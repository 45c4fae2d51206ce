#include "platform/files/PrivateFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace quorvane {
namespace {

namespace fs = std::filesystem;

unsigned modeOf(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

class PrivateFileTest : public testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::path(std::getenv("TMPDIR")) /
                     testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(directory_);
    }

    fs::path file() const { return directory_ / "private" / "settings.json"; }

    fs::path directory_;
};

TEST_F(PrivateFileTest, WritesPrivatelyWhateverTheUmaskAndReadsBackWithTheSameStamp) {
    const mode_t previous = ::umask(022);
    PrivateFile::Stamp written;
    const auto error = PrivateFile::writeAtomically(file(), "{}\n", &written);
    ::umask(previous);

    ASSERT_FALSE(error) << error.message();
    EXPECT_EQ(modeOf(file()), 0600u);
    EXPECT_EQ(modeOf(file().parent_path()), 0700u);
    EXPECT_EQ(modeOf(directory_), 0700u);
    const auto contents = PrivateFile::read(file(), 16);
    EXPECT_EQ(contents.outcome, PrivateFile::Contents::Outcome::read);
    EXPECT_EQ(contents.bytes, "{}\n");
    EXPECT_EQ(contents.stamp, written);
    EXPECT_EQ(PrivateFile::stampOf(file()), written);
}

TEST_F(PrivateFileTest, ReadsUpToTheLimitAndNoFurther) {
    using Outcome = PrivateFile::Contents::Outcome;
    ASSERT_FALSE(PrivateFile::writeAtomically(file(), "12345"));
    EXPECT_EQ(PrivateFile::read(file(), 5).outcome, Outcome::read);
    const auto large = PrivateFile::read(file(), 4);
    EXPECT_EQ(large.outcome, Outcome::tooLarge);
    EXPECT_TRUE(large.bytes.empty());
    EXPECT_EQ(PrivateFile::read(directory_ / "absent", 4).outcome, Outcome::absent);
}

// A temporary of our own naming is what a killed save left; nothing else
// beside the file is touched.
TEST_F(PrivateFileTest, RemovesOnlyTemporariesOfItsOwnNaming) {
    fs::create_directories(file().parent_path());
    const std::vector<std::string> kept = {
        "settings.json",          ".settings.json.lock",  ".settings.json.AbC12",
        ".settings.json.AbC1234", "settings.json.AbC123", ".other.json.AbC123",
        ".settings.json.Ab-123",
    };
    for (const auto& name : kept) {
        std::ofstream(file().parent_path() / name) << name;
    }
    std::ofstream(file().parent_path() / ".settings.json.x7Qz09") << "stale";
    std::ofstream(file().parent_path() / ".settings.json.ABCDEF") << "stale";
    fs::create_directory(file().parent_path() / ".settings.json.dir123");

    PrivateFile::removeStaleTemporaries(file());

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(file().parent_path())) {
        names.push_back(entry.path().filename().string());
    }
    auto expected = kept;
    expected.push_back(".settings.json.dir123");
    EXPECT_THAT(names, testing::UnorderedElementsAreArray(expected));
}

} // namespace
} // namespace quorvane
