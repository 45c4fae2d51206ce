#include "platform/files/UserDirectories.h"

#include "support/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <optional>
#include <string>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnvironmentVariable;

std::optional<fs::path> passwordDatabaseHome() {
    const passwd* entry = ::getpwuid(::getuid());
    if (entry == nullptr || entry->pw_dir == nullptr || entry->pw_dir[0] != '/') {
        return std::nullopt;
    }
    return fs::path(entry->pw_dir);
}

// Without a usable HOME the directories lie under the user's own home from the
// password database, never under a folder that others may write to.
TEST(UserDirectoriesTest, AHomeComesFromHomeElseFromThePasswordDatabase) {
    using Value = std::optional<std::string>;
    const auto database = passwordDatabaseHome();
    ASSERT_TRUE(database);
    const ScopedEnvironmentVariable config("XDG_CONFIG_HOME", std::nullopt);
    const ScopedEnvironmentVariable data("XDG_DATA_HOME", "relative/data");
    const ScopedEnvironmentVariable state("XDG_STATE_HOME", "");
    struct Row {
        Value home;
        fs::path expected;
    };
    for (const Row& row : {Row{"/home/ada", "/home/ada"}, Row{std::nullopt, *database},
                           Row{"", *database}, Row{"relative/home", *database}}) {
        SCOPED_TRACE(row.home.value_or("<unset>"));
        const ScopedEnvironmentVariable home("HOME", row.home);
        EXPECT_EQ(UserDirectories::home(), row.expected);
        EXPECT_EQ(UserDirectories::configHome(), row.expected / ".config");
        EXPECT_EQ(UserDirectories::dataHome(), row.expected / ".local/share");
        EXPECT_EQ(UserDirectories::stateHome(), row.expected / ".local/state");
    }
}

TEST(UserDirectoriesTest, AbsoluteXdgDirectoriesWin) {
    const ScopedEnvironmentVariable home("HOME", std::nullopt);
    const ScopedEnvironmentVariable config("XDG_CONFIG_HOME", "/xdg/config");
    const ScopedEnvironmentVariable data("XDG_DATA_HOME", "/xdg/data");
    const ScopedEnvironmentVariable state("XDG_STATE_HOME", "/xdg/state");
    EXPECT_EQ(UserDirectories::configHome(), fs::path("/xdg/config"));
    EXPECT_EQ(UserDirectories::dataHome(), fs::path("/xdg/data"));
    EXPECT_EQ(UserDirectories::stateHome(), fs::path("/xdg/state"));
}

} // namespace
} // namespace quorvane
