#include "platform/crashreport/OsRelease.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace quorvane {
namespace {

TEST(OsReleaseTest, ReadsNameAndVersionInTheirQuotingForms) {
    struct Case {
        const char* text;
        const char* name;
        const char* version;
    };
    const Case cases[] = {
        {"PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\n"
         "VERSION_ID=\"12\"\nVERSION=\"12 (bookworm)\"\n",
         "Debian GNU/Linux", "12"},
        {"NAME=Fedora\nVERSION=\"40 (Workstation)\"\n", "Fedora", "40 (Workstation)"},
        {"NAME='Arch Linux'\n", "Arch Linux", ""},
        {"NAME=\"Say \\\"hi\\\"\"\nVERSION_ID=1\n", "Say \"hi\"", "1"},
        {"# comment\nID=x\n", "Linux", ""},
        {"", "Linux", ""},
    };
    for (const auto& c : cases) {
        const auto release = OsRelease::parse(c.text);
        EXPECT_EQ(release.name, c.name) << c.text;
        EXPECT_EQ(release.version, c.version) << c.text;
    }
}

TEST(OsReleaseTest, ReadsAFileAndFallsBackToDefaultsWithoutOne) {
    const auto file = std::filesystem::path(std::getenv("TMPDIR")) / "os-release";
    std::ofstream(file) << "NAME=\"Test OS\"\nVERSION_ID=\"3.1\"\n";
    EXPECT_EQ(OsRelease::read(file).name, "Test OS");
    EXPECT_EQ(OsRelease::read(file).version, "3.1");
    EXPECT_EQ(OsRelease::read(file.parent_path() / "missing").name, "Linux");
    EXPECT_EQ(OsRelease::read(file.parent_path()).name, "Linux"); // a folder
}

} // namespace
} // namespace quorvane
