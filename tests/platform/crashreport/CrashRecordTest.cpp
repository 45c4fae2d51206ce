#include "platform/crashreport/CrashRecord.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace quorvane {
namespace {

namespace fs = std::filesystem;

const std::string sound = "quorvane-crash 1\n"
                          "signal 11\n"
                          "time 1718000000250\n"
                          "release 1.2.0\n"
                          "image 0x55d0c0000000 0x3000 0a1b2c3d quorvane\n"
                          "image 0x7f0000000000 0x1000 - /usr/lib/my lib.so\n"
                          "frame 0x55d0c0001234\n"
                          "frame 0x7f0000000042\n"
                          "end\n";

TEST(CrashRecordTest, ReadsWhatTheHandlerWrites) {
    const auto record = CrashRecord::parse(sound);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->signal, SIGSEGV);
    EXPECT_EQ(record->time,
              std::chrono::system_clock::time_point(std::chrono::milliseconds(1718000000250)));
    EXPECT_EQ(record->release, "1.2.0");
    EXPECT_EQ(record->frames, (std::vector<std::uint64_t>{0x55d0c0001234, 0x7f0000000042}));
    ASSERT_EQ(record->images.size(), 2u);
    EXPECT_EQ(record->images[0], (CrashImage{0x55d0c0000000, 0x3000, "0a1b2c3d", "quorvane"}));
    EXPECT_EQ(record->images[1], (CrashImage{0x7f0000000000, 0x1000, "", "/usr/lib/my lib.so"}));

    // The handler writes images with this line, so the two must agree.
    for (const auto& image : record->images) {
        const auto line = CrashRecord::imageLine(image);
        EXPECT_NE(sound.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(CrashRecord::imageLine({1, 2, "", "a\nb"}), "image 0x1 0x2 - a?b\n");
}

TEST(CrashRecordTest, RejectsTruncatedAndForeignText) {
    const auto replaced = [](const std::string& from, const std::string& to) {
        auto text = sound;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"cut before the end", sound.substr(0, sound.find("end"))},
        {"cut inside a line", sound.substr(0, sound.find("frame 0x7f") + 9)},
        {"another format", replaced("quorvane-crash 1", "quorvane-crash 2")},
        {"not a fatal signal", replaced("signal 11", "signal 15")},
        {"no signal", replaced("signal 11\n", "")},
        {"two signals", replaced("signal 11\n", "signal 11\nsignal 6\n")},
        {"no time", replaced("time 1718000000250\n", "")},
        {"negative time", replaced("time 1718000000250", "time -5")},
        {"no release", replaced("release 1.2.0\n", "")},
        {"no frame", replaced("frame 0x55d0c0001234\nframe 0x7f0000000042\n", "")},
        {"decimal frame", replaced("frame 0x55d0c0001234", "frame 1234")},
        {"image without path", replaced(" - /usr/lib/my lib.so", " -")},
        {"odd build id", replaced("0a1b2c3d", "0a1b2c3")},
        {"unknown key", replaced("release 1.2.0\n", "release 1.2.0\nuser alice\n")},
        {"binary", std::string("quorvane-crash 1\n\0\xff\nend\n", 24)},
    };
    for (const auto& [name, text] : cases) {
        EXPECT_FALSE(CrashRecord::parse(text)) << name;
    }
    EXPECT_TRUE(CrashRecord::parse(sound.substr(0, sound.size() - 1))) << "the last line feed";
}

class CrashRecordFolderTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(std::getenv("TMPDIR")) / "records";
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }
    // The names in the folder, sorted.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
};

TEST_F(CrashRecordFolderTest, ReadingKeepsTheSoundRecordsFilesAndDeletesTheOtherRecordFiles) {
    write("crash-1718000000250-42.record", sound);
    write("crash-1718000000999-43.record", "quorvane-crash 1\nsignal 11\n"); // cut short
    write("crash-1718000001000-44.record", std::string(CrashRecord::maxFileSize + 1, 'x'));
    fs::create_symlink(folder_ / "crash-1718000000250-42.record",
                       folder_ / "crash-1718000002000-45.record");
    write("quorvane.log", "kept");
    write("crash-notes.txt", "kept");

    const auto records = CrashRecord::readAll(folder_);

    ASSERT_EQ(records.size(), 1u) << "a link to a record is no record of its own";
    EXPECT_EQ(records[0].record.release, "1.2.0");
    EXPECT_EQ(records[0].file, folder_ / "crash-1718000000250-42.record");
    EXPECT_EQ(entries(), (std::vector<std::string>{"crash-1718000000250-42.record",
                                                   "crash-notes.txt", "quorvane.log"}))
        << "a sound record waits until it is reported";
}

TEST_F(CrashRecordFolderTest, OnlyRegularFilesOfThisUserAreRead) {
    constexpr uid_t nobody = 65534;
    auto planted = sound;
    planted.replace(planted.find("1.2.0"), 5, "6.6.6");
    write("crash-1718000000250-42.record", sound);
    write("crash-1718000000300-43.record", planted);
    if (::chown((folder_ / "crash-1718000000300-43.record").c_str(), nobody, nobody) != 0) {
        GTEST_SKIP() << "only root may give a file to another user";
    }
    ASSERT_EQ(::mkfifo((folder_ / "crash-1718000000400-44.record").c_str(), 0600), 0);

    const auto records = CrashRecord::readAll(folder_);

    ASSERT_EQ(records.size(), 1u) << "another user's file was read as a record";
    EXPECT_EQ(records[0].record.release, "1.2.0");
    EXPECT_EQ(entries(), std::vector<std::string>{"crash-1718000000250-42.record"})
        << "in a folder of ours, what is not ours to read is deleted";
}

TEST_F(CrashRecordFolderTest, OnlyTheNewestRecordsWait) {
    // Times on both sides of a change in their number of digits: newer is not later in text.
    std::vector<std::string> names;
    for (std::size_t i = 0; i < CrashRecord::maxPending + 2; ++i) {
        names.push_back("crash-" + std::to_string(995 + i) + "-1.record");
        write(names.back(), sound);
    }

    const auto records = CrashRecord::readAll(folder_);

    ASSERT_EQ(records.size(), CrashRecord::maxPending);
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].file.filename(), names[i + 2]) << "oldest first";
    }
    EXPECT_FALSE(fs::exists(folder_ / names[0]));
    EXPECT_FALSE(fs::exists(folder_ / names[1]));
    EXPECT_EQ(entries().size(), CrashRecord::maxPending);
}

TEST_F(CrashRecordFolderTest, DiscardingDeletesRecordsUnreadAndAMissingFolderIsEmpty) {
    write("crash-1-2.record", sound);
    write("crash-3-4.record", "garbage");
    write("quorvane.log", "kept");
    EXPECT_EQ(CrashRecord::discardAll(folder_), 2u);
    EXPECT_TRUE(fs::exists(folder_ / "quorvane.log"));
    EXPECT_FALSE(fs::exists(folder_ / "crash-1-2.record"));

    EXPECT_TRUE(CrashRecord::readAll(folder_ / "missing").empty());
    EXPECT_EQ(CrashRecord::discardAll(folder_ / "missing"), 0u);
}

TEST(CrashRecordTest, RecordFileNames) {
    for (const char* name : {"crash-1718000000250-42.record", "crash-1-2.record"}) {
        EXPECT_TRUE(CrashRecord::isRecordFileName(name)) << name;
    }
    for (const char* name : {"crash-.record", "crash-1-.record", "crash-1-2.record.tmp",
                             "crash-a-2.record", "crash-1.record", "quorvane.log"}) {
        EXPECT_FALSE(CrashRecord::isRecordFileName(name)) << name;
    }
}

} // namespace
} // namespace quorvane
