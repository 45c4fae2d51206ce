#include "platform/autostart/AutostartEntry.h"

#include "harness/ChildProcess.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace quorvane {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& file) {
    std::ifstream input(file);
    std::stringstream text;
    text << input.rdbuf();
    return text.str();
}

void writeFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

class AutostartEntryTest : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::path(std::getenv("XDG_CONFIG_HOME")) /
                testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(root_ / "autostart", fs::perms::owner_all, ignored);
        fs::remove_all(root_, ignored);
    }

    fs::path entryFile() const { return root_ / "autostart" / "quorvane.desktop"; }
    AutostartEntry entry() const {
        return AutostartEntry(entryFile(), "/opt/quorvane/bin/quorvane");
    }

    fs::path root_;
};

TEST_F(AutostartEntryTest, DefaultEntryLivesInTheConfigHomesAutostartFolder) {
    EXPECT_EQ(AutostartEntry::defaultEntryFile(),
              fs::path(std::getenv("XDG_CONFIG_HOME")) / "autostart" / "quorvane.desktop");
    // The running program is what login must start.
    EXPECT_EQ(AutostartEntry().executable(), fs::read_symlink("/proc/self/exe"));
}

// Waits for the link to name the target, as it does once the child has run exec.
bool linkNames(const fs::path& link, const fs::path& target) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        std::error_code error;
        if (fs::read_symlink(link, error) == target) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(AutostartEntryTest, AProgramReplacedWhileItRunsIsStartedFromItsPath) {
    const fs::path sleep = fs::exists("/usr/bin/sleep") ? "/usr/bin/sleep" : "/bin/sleep";
    const auto program = root_ / "bin" / "quorvane";
    fs::create_directories(program.parent_path());
    fs::copy_file(sleep, program);
    struct Child {
        pid_t pid;
        ~Child() {
            kill(pid, SIGKILL);
            test::waitForExit(pid, std::chrono::seconds(5));
        }
    };
    const Child child{test::spawn({program.string(), "30"})};
    ASSERT_GT(child.pid, 0);
    const fs::path link = "/proc/" + std::to_string(child.pid) + "/exe";
    ASSERT_TRUE(linkNames(link, program));

    // What a package upgrade does to the program's file.
    fs::copy_file(sleep, program.string() + ".new");
    fs::rename(program.string() + ".new", program);
    ASSERT_TRUE(linkNames(link, program.string() + " (deleted)"));

    EXPECT_EQ(AutostartEntry::executableBehind(link), program);
    EXPECT_EQ(AutostartEntry::executableBehind(root_ / "no-link"), fs::path());
}

TEST_F(AutostartEntryTest, RegisteringWritesAnEnabledEntryThatStartsTheProgram) {
    const auto item = entry();
    ASSERT_FALSE(item.isEnabled());

    item.registerEntry();

    EXPECT_TRUE(item.isEnabled());
    const auto text = readFile(entryFile());
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=\"/opt/quorvane/bin/quorvane\"\n"), std::string::npos);
    EXPECT_EQ(fs::status(entryFile()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
    // No temporary file is left beside the entry.
    EXPECT_EQ(std::distance(fs::directory_iterator(entryFile().parent_path()), {}), 1);
}

TEST_F(AutostartEntryTest, UnregisteringRemovesTheEntryAndToleratesItsAbsence) {
    const auto item = entry();
    item.registerEntry();

    item.unregisterEntry();
    EXPECT_FALSE(fs::exists(entryFile()));
    EXPECT_FALSE(item.isEnabled());

    EXPECT_NO_THROW(item.unregisterEntry());
}

TEST_F(AutostartEntryTest, RegisteringReplacesAnEntryTheUserSwitchedOff) {
    writeFile(entryFile(), "[Desktop Entry]\nType=Application\nExec=old\nHidden=true\n");
    const auto item = entry();
    ASSERT_FALSE(item.isEnabled());

    item.registerEntry();

    EXPECT_TRUE(item.isEnabled());
    EXPECT_EQ(readFile(entryFile()).find("Hidden"), std::string::npos);
}

struct StatusCase {
    const char* name;
    const char* contents;
    bool enabled;
};

class AutostartStatusTest : public AutostartEntryTest,
                            public testing::WithParamInterface<StatusCase> {};

TEST_P(AutostartStatusTest, EnabledExactlyWhenPresentAndNotSwitchedOff) {
    writeFile(entryFile(), GetParam().contents);
    EXPECT_EQ(entry().isEnabled(), GetParam().enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, AutostartStatusTest,
    testing::Values(
        StatusCase{"plain", "[Desktop Entry]\nType=Application\nExec=q\n", true},
        StatusCase{"hidden", "[Desktop Entry]\nExec=q\nHidden=true\n", false},
        StatusCase{"hiddenWithSpaces", "[Desktop Entry]\nExec=q\nHidden = true\n", false},
        StatusCase{"notHidden", "[Desktop Entry]\nExec=q\nHidden=false\n", true},
        StatusCase{"gnomeOff", "[Desktop Entry]\nExec=q\nX-GNOME-Autostart-enabled=false\n", false},
        StatusCase{"gnomeOn", "[Desktop Entry]\nExec=q\nX-GNOME-Autostart-enabled=true\n", true},
        StatusCase{"lastValueWins", "[Desktop Entry]\nHidden=true\nHidden=false\n", true},
        // Keys of other groups say nothing about the entry itself.
        StatusCase{"otherGroup", "[Desktop Entry]\nExec=q\n[Desktop Action x]\nHidden=true\n",
                   true},
        StatusCase{"commentedOut", "[Desktop Entry]\nExec=q\n#Hidden=true\n", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AutostartEntryTest, AFolderInPlaceOfTheEntryIsNotAnEntry) {
    fs::create_directories(entryFile());
    EXPECT_FALSE(entry().isEnabled());
}

TEST(AutostartExecQuoting, EscapesForExecAndForTheStringValue) {
    struct Case {
        const char* path;
        const char* quoted;
    };
    const Case cases[] = {
        {"/usr/bin/quorvane", R"("/usr/bin/quorvane")"},
        {"/home/a b/quorvane", R"("/home/a b/quorvane")"},
        {"/opt/\"q\"/bin", R"("/opt/\\"q\\"/bin")"},
        {"/opt/$HOME/`x`", R"("/opt/\\$HOME/\\`x\\`")"},
        {"/opt/100%/q", R"("/opt/100%%/q")"},
        {"/opt/back\\slash", R"("/opt/back\\\\slash")"},
        {"/opt/new\nline", R"("/opt/new\nline")"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AutostartEntry::quotedExecArgument(c.path), c.quoted) << c.path;
    }
}

TEST_F(AutostartEntryTest, RegisteringWhereNoFolderCanBeMadeFailsAndChangesNothing) {
    // A file where the autostart folder belongs stops even a privileged user.
    writeFile(root_ / "autostart", "not a folder");
    const auto item = entry();

    EXPECT_THROW(item.registerEntry(), std::runtime_error);
    EXPECT_FALSE(item.isEnabled());
}

TEST_F(AutostartEntryTest, AReadOnlyFolderRefusesChangesAndKeepsTheRealStatus) {
    const auto item = entry();
    item.registerEntry();
    fs::permissions(entryFile().parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(entryFile().parent_path().c_str(), W_OK) == 0) {
        GTEST_SKIP() << "this user writes into read-only folders (root)";
    }

    EXPECT_THROW(item.unregisterEntry(), std::runtime_error);
    EXPECT_TRUE(item.isEnabled());

    fs::permissions(entryFile().parent_path(), fs::perms::owner_all);
    item.unregisterEntry();
    fs::permissions(entryFile().parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    try {
        item.registerEntry();
        ADD_FAILURE() << "registering into a read-only folder succeeded";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("quorvane.desktop"), std::string::npos);
    }
    EXPECT_FALSE(item.isEnabled());
}

} // namespace
} // namespace quorvane
