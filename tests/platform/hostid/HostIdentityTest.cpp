#include "platform/hostid/HostIdentity.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>

namespace quorvane {
namespace {

namespace fs = std::filesystem;

constexpr HostIdentity::Bytes fixtureBytes{0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef,
                                           0xfe, 0xdc, 0xba, 0x98, 0x76, 0x54, 0x32, 0x10};
constexpr HostIdentity::Bytes otherBytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                         0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
const std::string fixtureText = "0123456789abcdeffedcba9876543210";
const std::string otherText = "00112233445566778899aabbccddeeff\n";

class HostIdentityTest : public testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::path(std::getenv("TMPDIR")) /
                     testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(directory_);
    }

    fs::path write(const std::string& name, const std::string& content) {
        const fs::path path = directory_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    fs::path missing() const { return directory_ / "missing"; }

    fs::path directory_;
};

TEST_F(HostIdentityTest, ReadsTheFirstSourceThatHoldsAMachineId) {
    const auto primary = write("primary", fixtureText + "\n");
    const auto secondary = write("secondary", otherText);

    const auto reading = HostIdentity({primary, secondary}).read();
    EXPECT_EQ(reading.error, 0);
    EXPECT_EQ(reading.bytes, fixtureBytes);
}

TEST_F(HostIdentityTest, FallsBackToTheSecondSource) {
    const auto secondary = write("secondary", otherText);
    const auto malformed = write("malformed", "uninitialized\n");

    for (const auto& primary : {missing(), malformed}) {
        const auto reading = HostIdentity({primary, secondary}).read();
        EXPECT_EQ(reading.error, 0) << primary;
        EXPECT_EQ(reading.bytes, otherBytes) << primary;
    }
}

TEST_F(HostIdentityTest, NoSourceGivesZerosAndTheErrorNumber) {
    const auto malformed = write("malformed", "not a machine id");

    const auto absent = HostIdentity({missing(), directory_ / "also-missing"}).read();
    EXPECT_EQ(absent.error, ENOENT);
    EXPECT_EQ(absent.bytes, HostIdentity::Bytes{});

    const auto invalid = HostIdentity({missing(), malformed}).read();
    EXPECT_EQ(invalid.error, EINVAL);
    EXPECT_EQ(invalid.bytes, HostIdentity::Bytes{});

    // A directory in place of the file.
    const auto unreadable = HostIdentity({directory_}).read();
    EXPECT_EQ(unreadable.error, EISDIR);
    EXPECT_EQ(unreadable.bytes, HostIdentity::Bytes{});
}

struct ContentCase {
    std::string name;
    std::string content;
    bool valid;

    friend void PrintTo(const ContentCase& row, std::ostream* out) { *out << row.name; }
};

class HostIdentityContentTest : public HostIdentityTest,
                                public testing::WithParamInterface<ContentCase> {};

TEST_P(HostIdentityContentTest, AcceptsExactlyThirtyTwoHexDigits) {
    const auto& row = GetParam();
    const auto reading = HostIdentity({write("machine-id", row.content)}).read();
    if (row.valid) {
        EXPECT_EQ(reading.error, 0);
        EXPECT_EQ(reading.bytes, fixtureBytes);
    } else {
        EXPECT_EQ(reading.error, EINVAL);
        EXPECT_EQ(reading.bytes, HostIdentity::Bytes{});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Contents, HostIdentityContentTest,
    testing::Values(ContentCase{"withLineFeed", fixtureText + "\n", true},
                    ContentCase{"withoutLineFeed", fixtureText, true},
                    ContentCase{"upperCase", "0123456789ABCDEFFEDCBA9876543210\n", true},
                    ContentCase{"empty", "", false},
                    ContentCase{"uninitialized", "uninitialized\n", false},
                    ContentCase{"tooShort", fixtureText.substr(0, 31) + "\n", false},
                    ContentCase{"tooLong", fixtureText + "0\n", false},
                    ContentCase{"twoLineFeeds", fixtureText + "\n\n", false},
                    ContentCase{"carriageReturn", fixtureText + "\r\n", false},
                    ContentCase{"leadingSpace", " " + fixtureText, false},
                    ContentCase{"dashedUuid", "01234567-89ab-cdef-fedc-ba9876543210\n", false},
                    ContentCase{"notHex", "0123456789abcdefgedcba9876543210\n", false}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace quorvane
