#include "platform/appinfo/ApplicationInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace quorvane {
namespace {

namespace fs = std::filesystem;

TEST(ApplicationInfoTest, InformationDictionaryCarriesTheBuildsValues) {
    const ApplicationInfo info(fs::path("/nonexistent"));
    EXPECT_EQ(info.shortVersionString(), QUORVANE_TEST_PROJECT_VERSION);
    EXPECT_EQ(info.bundleVersion(), QUORVANE_TEST_BUILD_NUMBER);
    EXPECT_EQ(info.infoValue("CFBundleShortVersionString"), QUORVANE_TEST_PROJECT_VERSION);
    // Unset configuration is present and empty, which callers tell apart from absent.
    EXPECT_TRUE(info.infoValue("SENTRY_DSN").has_value());
    EXPECT_TRUE(info.infoValue("SUFeedURL").has_value());
    EXPECT_EQ(info.infoValue("NSNoSuchKey"), std::nullopt);
}

TEST(ApplicationInfoTest, DataDirectoryComesFromTheOverrideElseTheInstallation) {
    const std::string overridden = std::string(std::getenv("TMPDIR")) + "/data-override";
    ::setenv("QUORVANE_DATA_DIR", overridden.c_str(), 1);
    EXPECT_EQ(ApplicationInfo().dataDirectory(), fs::path(overridden));
    ::setenv("QUORVANE_DATA_DIR", "", 1);
    EXPECT_EQ(ApplicationInfo().dataDirectory(), fs::path(QUORVANE_TEST_INSTALLED_DATA_DIR));
    ::unsetenv("QUORVANE_DATA_DIR");
    EXPECT_EQ(ApplicationInfo().dataDirectory(), fs::path(QUORVANE_TEST_INSTALLED_DATA_DIR));
}

TEST(ApplicationInfoTest, ResourcesAreFilesOfTheDataDirectory) {
    const auto directory = fs::path(std::getenv("TMPDIR")) / "resources";
    fs::create_directories(directory / "Folder.plist");
    std::ofstream(directory / "Sentry.plist") << "<plist/>";
    std::ofstream(directory / "README") << "x";
    const ApplicationInfo info(directory);

    EXPECT_EQ(info.pathForResource("Sentry", "plist"), directory / "Sentry.plist");
    EXPECT_EQ(info.pathForResource("README", ""), directory / "README");
    EXPECT_EQ(info.pathForResource("Missing", "plist"), std::nullopt);
    EXPECT_EQ(info.pathForResource("Folder", "plist"), std::nullopt);
    // Names never reach outside the data directory.
    EXPECT_EQ(info.pathForResource("../resources/Sentry", "plist"), std::nullopt);
}

} // namespace
} // namespace quorvane
