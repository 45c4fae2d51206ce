#include "ui/windows/AboutVersion.h"

#include "platform/appinfo/InfoDictionary.h"
#include "support/ViewTestState.h"
#include "ui/windows/AboutSection.h"

#include <gtest/gtest.h>

#include <QLabel>

#include <optional>
#include <string>

namespace quorvane {
namespace {

using test::ViewTestState;

// The version text, and the about section that shows this build's.
class AboutVersionTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    ViewTestState fixture_;
};

TEST_F(AboutVersionTest, VersionTextJoinsReleaseAndBuildWithQuestionMarksForMissingParts) {
    struct Case {
        std::optional<std::string> shortVersion;
        std::optional<std::string> build;
        QString expected;
    };
    for (const Case& c :
         {Case{"1.2", "7", "1.2 (7)"}, Case{std::nullopt, "7", "? (7)"},
          Case{"1.2", std::nullopt, "1.2 (?)"}, Case{std::nullopt, std::nullopt, "? (?)"}}) {
        EXPECT_EQ(AboutVersion::text(c.shortVersion, c.build), c.expected);
    }

    const auto& entries = InfoDictionary::entries();
    const auto release = entries.find("CFBundleShortVersionString");
    const auto build = entries.find("CFBundleVersion");
    ASSERT_NE(release, entries.end());
    ASSERT_NE(build, entries.end());
    AboutSection section(state());
    EXPECT_EQ(section.versionLabel()->text(),
              QString::fromStdString(release->second + " (" + build->second + ")"));
}

} // namespace
} // namespace quorvane
