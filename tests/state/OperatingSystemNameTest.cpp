#include "state/OperatingSystemName.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace quorvane {
namespace {

TEST(OperatingSystemNameTest, PrefersThePrettyNameAndFallsBackToNameAndVersion) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 "
         "(bookworm)\"\nVERSION_ID=\"12\"\n",
         "Debian GNU/Linux 12 (bookworm)"},
        {"PRETTY_NAME='Single \"quoted\"'\n", "Single \"quoted\""},
        {"PRETTY_NAME=Bare\n", "Bare"},
        {"PRETTY_NAME=\"\"\nNAME=Fedora\nVERSION_ID=40\n", "Fedora 40"},
        {"NAME=Arch\n", "Arch"},
        {"", "Linux"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(OperatingSystemName::parse(row.text), row.expected);
    }
}

TEST(OperatingSystemNameTest, ReadsTheGivenFileAndNamesLinuxWithoutOne) {
    const auto file = std::filesystem::path(std::getenv("TMPDIR")) / "os-release-test";
    std::ofstream(file) << "PRETTY_NAME=\"Test OS 7\"\n";
    EXPECT_EQ(OperatingSystemName::read(file), "Test OS 7");
    EXPECT_EQ(OperatingSystemName::read(file.string() + ".absent"), "Linux");
}

} // namespace
} // namespace quorvane
