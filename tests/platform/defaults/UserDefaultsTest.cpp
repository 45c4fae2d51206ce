#include "platform/defaults/UserDefaults.h"

#include "support/AsNobody.h"
#include "support/LogCapture.h"
#include "support/ScopedEnvironmentVariable.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using nlohmann::json;
using test::LogCapture;

std::string readFile(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::stringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

void writeFile(const fs::path& file, const std::string& contents) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
}

json readJson(const fs::path& file) {
    return json::parse(readFile(file));
}

unsigned modeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 0777;
}

std::vector<std::string> namesIn(const fs::path& directory) {
    std::vector<std::string> names;
    if (!fs::exists(directory)) {
        return names;
    }
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The temporary files a save writes before it renames one over the settings.
std::vector<std::string> temporariesIn(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& name : namesIn(directory)) {
        if (name.starts_with(".defaults.json.") && name != ".defaults.json.lock") {
            names.push_back(name);
        }
    }
    return names;
}

// Runs the body in a child process and gives its exit status; the child ends
// with _exit, never returning into the test framework.
pid_t forkChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(body());
    }
    return child;
}

int exitStatusOf(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class UserDefaultsTest : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        directory_ = fs::path(std::getenv("TMPDIR")) / "defaults" / info->name() / "nested";
        fs::remove_all(directory_.parent_path());
    }

    fs::path file() const { return directory_ / "defaults.json"; }

    fs::path directory_;
};

TEST_F(UserDefaultsTest, WritesEachTypeInItsPlainJsonForm) {
    {
        UserDefaults defaults(file());
        defaults.setBool("flag", true);
        defaults.setInteger("count", -42);
        defaults.setDouble("ratio", 2.5);
        defaults.setDouble("whole", 3.0);
        defaults.setString("text", "false");
        defaults.setData("blob", std::string("\x00\x01\x02\xff", 4));
    }
    const json expected = {
        {"flag", true}, {"count", -42},    {"ratio", 2.5},
        {"whole", 3.0}, {"text", "false"}, {"blob", {{"$data", "AAEC/w=="}}},
    };
    const json written = readJson(file());
    EXPECT_EQ(written, expected);
    EXPECT_TRUE(written["whole"].is_number_float()) << "a double stays a double on disk";
}

TEST_F(UserDefaultsTest, TypesSurviveTheRoundTripThroughTheFile) {
    {
        UserDefaults defaults(file());
        defaults.setBool("flag", false);
        defaults.setInteger("count", INT64_MIN);
        defaults.setDouble("whole", 3.0);
        defaults.setString("text", "false");
        defaults.setData("blob", std::string("\x00zz", 3));
    }
    const UserDefaults reread(file());
    EXPECT_EQ(reread.boolValue("flag"), false);
    EXPECT_EQ(reread.integerValue("count"), INT64_MIN);
    EXPECT_EQ(reread.doubleValue("whole"), 3.0);
    EXPECT_EQ(reread.integerValue("whole"), std::nullopt);
    EXPECT_EQ(reread.stringValue("text"), "false");
    EXPECT_EQ(reread.boolValue("text"), std::nullopt);
    EXPECT_EQ(reread.dataValue("blob"), std::string("\x00zz", 3));
    EXPECT_EQ(reread.stringValue("blob"), std::nullopt);
}

TEST_F(UserDefaultsTest, ReadsAFileWrittenByHandAndGivesOnlyMatchingTypes) {
    writeFile(file(), R"({"flag": true, "count": 7, "big": 18446744073709551615, "ratio": 0.25,
                          "name": "Ada", "blob": {"$data": "aGk="}, "list": [1], "nothing": null})");
    const UserDefaults defaults(file());

    EXPECT_EQ(defaults.doubleValue("count"), 7.0) << "a double getter accepts an integer";
    EXPECT_EQ(defaults.integerValue("big"), std::nullopt) << "does not fit an int64";
    EXPECT_EQ(defaults.dataValue("blob"), "hi");
    EXPECT_TRUE(defaults.contains("nothing"));
    EXPECT_FALSE(defaults.contains("absent"));

    struct Row {
        const char* key;
        bool isBool, isInteger, isDouble, isString, isData;
    };
    const Row rows[] = {
        {"flag", true, false, false, false, false},
        {"count", false, true, true, false, false},
        {"ratio", false, false, true, false, false},
        {"name", false, false, false, true, false},
        {"blob", false, false, false, false, true},
        {"list", false, false, false, false, false},
        {"nothing", false, false, false, false, false},
        {"absent", false, false, false, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(defaults.boolValue(row.key).has_value(), row.isBool);
        EXPECT_EQ(defaults.integerValue(row.key).has_value(), row.isInteger);
        EXPECT_EQ(defaults.doubleValue(row.key).has_value(), row.isDouble);
        EXPECT_EQ(defaults.stringValue(row.key).has_value(), row.isString);
        EXPECT_EQ(defaults.dataValue(row.key).has_value(), row.isData);
    }
}

TEST_F(UserDefaultsTest, DataOfEveryPaddingLengthRoundTrips) {
    const std::string bytes("\x00\xff\x10\x80\x7f\x01\xfe", 7);
    UserDefaults defaults(file());
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        const auto key = "blob" + std::to_string(length);
        defaults.setData(key, bytes.substr(0, length));
    }
    const UserDefaults reread(file());
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        EXPECT_EQ(reread.dataValue("blob" + std::to_string(length)), bytes.substr(0, length));
    }
}

TEST_F(UserDefaultsTest, MalformedDataReadsAsNoData) {
    writeFile(file(), R"({
        "short": {"$data": "aGk"}, "tooMuchPadding": {"$data": "a==="},
        "innerPadding": {"$data": "a=Gk"}, "foreign": {"$data": "a!k="},
        "notText": {"$data": 12}, "extraMember": {"$data": "aGk=", "more": 1},
        "otherObject": {"bytes": "aGk="}})");
    const UserDefaults defaults(file());
    for (const char* key : {"short", "tooMuchPadding", "innerPadding", "foreign", "notText",
                            "extraMember", "otherObject"}) {
        EXPECT_EQ(defaults.dataValue(key), std::nullopt) << key;
    }
}

TEST_F(UserDefaultsTest, ValuesJsonCannotHoldKeepTheFileValid) {
    std::optional<std::string> inMemory;
    {
        UserDefaults defaults(file());
        defaults.setDouble("ratio", 1.5);
        defaults.setDouble("ratio", std::nan(""));
        defaults.setDouble("infinite", INFINITY);
        defaults.setString("broken", "a\xff");

        EXPECT_EQ(defaults.doubleValue("ratio"), std::nullopt) << "no stale number after a NaN";
        EXPECT_FALSE(defaults.contains("infinite"));
        inMemory = defaults.stringValue("broken");
    }
    const UserDefaults reread(file());
    EXPECT_EQ(reread.stringValue("broken"), inMemory) << "memory and file agree";
    EXPECT_EQ(reread.stringValue("broken"), "a\xEF\xBF\xBD");
}

TEST_F(UserDefaultsTest, ObjectsOnTheSameFileShareOneDomain) {
    UserDefaults first(file());
    UserDefaults second(directory_ / "." / "defaults.json");
    first.setString("name", "Ada");
    second.setInteger("count", 2);

    EXPECT_EQ(second.stringValue("name"), "Ada");
    EXPECT_EQ(readJson(file()), json({{"name", "Ada"}, {"count", 2}}))
        << "neither write drops the other's key";
    second.removePersistentDomain();
    EXPECT_FALSE(first.contains("name"));
}

TEST_F(UserDefaultsTest, WritesPrivatelyAndLeavesNoTemporaryFile) {
    UserDefaults defaults(file());
    defaults.setString("name", "Ada");
    defaults.setInteger("count", 1);
    defaults.remove("count");

    EXPECT_EQ(modeOf(file()), 0600u);
    EXPECT_EQ(modeOf(directory_), 0700u);
    EXPECT_EQ(modeOf(directory_.parent_path()), 0700u);
    EXPECT_EQ(modeOf(directory_ / ".defaults.json.lock"), 0600u);
    EXPECT_THAT(namesIn(directory_), testing::ElementsAre(".defaults.json.lock", "defaults.json"));
    EXPECT_EQ(readJson(file()), json({{"name", "Ada"}}));
}

TEST_F(UserDefaultsTest, CorruptFileIsSetAsideAndReadsAsEmpty) {
    struct Row {
        const char* label;
        const char* contents;
    };
    const Row rows[] = {{"torn", R"({"name": "Ad)"},
                        {"not an object", "[1, 2]"},
                        {"empty", ""},
                        {"garbage", "\x7f\x45\x4c\x46\x02\x01\xff"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        fs::remove_all(directory_);
        writeFile(file(), row.contents);

        LogCapture logs;
        UserDefaults defaults(file());
        EXPECT_FALSE(defaults.contains("name"));
        EXPECT_EQ(readFile(directory_ / "defaults.json.corrupt"), row.contents);
        EXPECT_THAT(
            logs.messages("app"),
            testing::ElementsAre("UserDefaults: set aside the unreadable settings file as " +
                                 (directory_ / "defaults.json.corrupt").string()));
        defaults.setString("name", "new");
        EXPECT_EQ(readJson(file()), json({{"name", "new"}}));
    }
}

// What lies at the settings path when the program starts. Nothing is waited
// on; only contents that were read and did not parse, or a file too large to
// be ours, are set aside; anything that cannot be read stays where it is and
// nothing is saved over it.
TEST_F(UserDefaultsTest, EveryKindOfSettingsFileIsReadWithoutWaitingAndNothingIsLost) {
    enum class Outcome { read, setAside, leftInPlace };
    struct Row {
        const char* label;
        std::function<void(const fs::path&)> make;
        Outcome outcome;
        bool keyKept;
        std::string logged;
    };
    const std::string tooLarge =
        R"({"kept": ")" + std::string(UserDefaults::maximumFileSize, 'x') + R"("})";
    const std::string setAsideLine = "UserDefaults: set aside the unreadable settings file as " +
                                     (directory_ / "defaults.json.corrupt").string();
    const std::string leftLine = "UserDefaults: cannot read " + file().string() +
                                 " (not a regular file); it is left as it is and no setting is "
                                 "saved this run";
    const Row rows[] = {
        {"missing", [](const fs::path&) {}, Outcome::read, false, ""},
        {"wrong types", [](const fs::path& at) { writeFile(at, R"({"kept": 5})"); }, Outcome::read,
         true, ""},
        {"too large", [&](const fs::path& at) { writeFile(at, tooLarge); }, Outcome::setAside,
         false, setAsideLine},
        {"FIFO", [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); },
         Outcome::leftInPlace, false, leftLine},
        {"link to /dev/zero", [](const fs::path& at) { fs::create_symlink("/dev/zero", at); },
         Outcome::leftInPlace, false, leftLine},
        {"directory", [](const fs::path& at) { fs::create_directories(at / "inside"); },
         Outcome::leftInPlace, false, leftLine},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        fs::remove_all(directory_);
        fs::create_directories(directory_);
        row.make(file());
        LogCapture logs;

        auto opening = std::async(std::launch::async, [&] {
            auto defaults = std::make_unique<UserDefaults>(file());
            defaults->contains("kept");
            return defaults;
        });
        if (opening.wait_for(2s) != std::future_status::ready) {
            // Opens the other end, so that the reader stops waiting and the test can end.
            ::close(::open(file().c_str(), O_WRONLY | O_NONBLOCK));
            FAIL() << "opening the settings waits on what lies at their path";
        }
        const auto defaults = opening.get();

        EXPECT_EQ(defaults->contains("kept"), row.keyKept);
        EXPECT_EQ(fs::exists(directory_ / "defaults.json.corrupt"),
                  row.outcome == Outcome::setAside);
        EXPECT_EQ(defaults->isReadOnly(), row.outcome == Outcome::leftInPlace);
        const auto logged = logs.messages("app");
        EXPECT_EQ(logged, row.logged.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{row.logged});

        const auto saved = defaults->setBool("after", true);
        if (row.outcome == Outcome::leftInPlace) {
            EXPECT_EQ(saved, UserDefaults::Error::readOnly);
            EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(file()))) << "left in place";
            EXPECT_EQ(defaults->setBool("again", true), UserDefaults::Error::readOnly);
            EXPECT_EQ(logs.messages("app"), logged) << "logged once";
        } else {
            EXPECT_FALSE(saved) << saved.message();
            EXPECT_EQ(readJson(file()).value("after", false), true);
        }
    }
}

TEST_F(UserDefaultsTest, AFileThatMayNotBeReadIsLeftAndComesBackOnceReadable) {
    writeFile(file(), R"({"hasCompletedOnboarding": true})");
    ::chmod(file().c_str(), 0);
    if (!test::AsNobody::openTheWayTo(directory_)) {
        GTEST_SKIP() << "nobody cannot reach " << directory_;
    }
    // The folder is the reader's own: only the file is closed to it.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(directory_.c_str(), test::AsNobody::nobody, test::AsNobody::nobody), 0);
    }
    {
        LogCapture logs;
        std::unique_ptr<UserDefaults> defaults;
        {
            const test::AsNobody reader;
            defaults = std::make_unique<UserDefaults>(file());
        }
        EXPECT_FALSE(defaults->contains("hasCompletedOnboarding")) << "starts from the defaults";
        EXPECT_TRUE(defaults->isReadOnly());
        EXPECT_EQ(defaults->setBool("hasCompletedOnboarding", false),
                  UserDefaults::Error::readOnly);
        EXPECT_FALSE(defaults->boolValue("hasCompletedOnboarding").value_or(true))
            << "the change holds for this run";
        EXPECT_THAT(logs.messages("app"),
                    testing::ElementsAre("UserDefaults: cannot read " + file().string() +
                                         " (Permission denied); it is left as it is and no "
                                         "setting is saved this run"));
        EXPECT_FALSE(fs::exists(directory_ / "defaults.json.corrupt"));
    }
    ::chmod(file().c_str(), 0600);
    EXPECT_EQ(UserDefaults(file()).boolValue("hasCompletedOnboarding"), true);
}

TEST_F(UserDefaultsTest, ContentsThatNoLongerParseAreSetAsideAtTheNextSave) {
    UserDefaults defaults(file());
    defaults.setString("name", "Ada");
    // A person's edit went wrong while the program runs: it is kept, not overwritten.
    writeFile(file(), R"({"name": "Ad)");
    EXPECT_EQ(defaults.stringValue("name"), "Ada") << "the last good values stay";
    LogCapture logs;
    defaults.setInteger("count", 1);

    EXPECT_EQ(readFile(directory_ / "defaults.json.corrupt"), R"({"name": "Ad)");
    EXPECT_EQ(readJson(file()), json({{"name", "Ada"}, {"count", 1}}));
    EXPECT_EQ(logs.messages("app").size(), 1u);
}

// Another program and a person write the same file while this one runs; each
// write changes only its own keys, and each reader sees the others' once the
// file changed.
TEST_F(UserDefaultsTest, TwoProcessesAndAHandEditKeepEveryKey) {
    constexpr int keysPerProcess = 100;
    UserDefaults defaults(file());
    defaults.setString("first", "parent");
    json edited = readJson(file());
    edited["byHand"] = "added";
    writeFile(file(), edited.dump(2));
    defaults.setString("second", "parent");
    EXPECT_EQ(readJson(file()).value("byHand", ""), "added") << "a hand edit survives a write";

    // The child holds the domain as this process last saw it, as a second program would.
    const pid_t child = forkChild([&] {
        for (int k = 0; k < keysPerProcess; ++k) {
            if (defaults.setInteger("child." + std::to_string(k), k)) {
                return 1;
            }
        }
        return 0;
    });
    for (int k = 0; k < keysPerProcess; ++k) {
        EXPECT_FALSE(defaults.setInteger("parent." + std::to_string(k), k));
    }
    ASSERT_EQ(exitStatusOf(child), 0);

    const json written = readJson(file());
    EXPECT_EQ(written.size(), std::size_t{2 * keysPerProcess + 3});
    for (int k = 0; k < keysPerProcess; ++k) {
        EXPECT_EQ(written.value("child." + std::to_string(k), -1), k);
        EXPECT_EQ(written.value("parent." + std::to_string(k), -1), k);
    }
    EXPECT_EQ(defaults.integerValue("child.99"), 99) << "the reader sees the other's keys";
    EXPECT_EQ(defaults.stringValue("byHand"), "added");
}

TEST_F(UserDefaultsTest, SavesKilledAtRandomLeaveWholeFilesAndNoTemporariesAfterTheNextSave) {
    const std::string bulk(256 * 1024, 'b');
    std::chrono::steady_clock::duration saveTime;
    {
        UserDefaults defaults(file());
        const auto start = std::chrono::steady_clock::now();
        ASSERT_FALSE(defaults.setString("bulk", bulk));
        saveTime = std::chrono::steady_clock::now() - start;
    }
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> share(0.2, 2.0);
    std::size_t interrupted = 0;
    // The share of a save that leaves a temporary behind shrinks on a busy machine, where the
    // reading and encoding around the write take longer: the rounds go on until a kill landed
    // in one.
    for (int round = 0; round < 40 || (interrupted == 0 && round < 400); ++round) {
        int saving[2];
        ASSERT_EQ(::pipe2(saving, O_CLOEXEC), 0);
        const pid_t child = forkChild([&] {
            UserDefaults defaults(file());
            for (int i = 0;; ++i) {
                defaults.setString("bulk", bulk + std::to_string(i));
                if (i == 0) {
                    // The child is saving from now on, however long starting it took.
                    [[maybe_unused]] const auto told = ::write(saving[1], "s", 1);
                }
            }
            return 0;
        });
        ::close(saving[1]);
        char started = 0;
        ASSERT_EQ(::read(saving[0], &started, 1), 1) << "the child never saved";
        ::close(saving[0]);
        // Somewhere within the next few saves, so that most kills land inside one.
        std::this_thread::sleep_for(saveTime * share(random));
        ::kill(child, SIGKILL);
        exitStatusOf(child);

        const json written = json::parse(readFile(file()), nullptr, false);
        ASSERT_TRUE(written.is_object()) << "round " << round;
        EXPECT_TRUE(written.value("bulk", "").starts_with(bulk)) << "round " << round;
        interrupted += temporariesIn(directory_).empty() ? 0 : 1;
    }
    ASSERT_GT(interrupted, 0u) << "no kill landed in the middle of a save";

    UserDefaults defaults(file());
    EXPECT_FALSE(defaults.setBool("after", true));
    EXPECT_THAT(temporariesIn(directory_), testing::IsEmpty());
    EXPECT_TRUE(readJson(file()).value("bulk", "").starts_with(bulk));
}

TEST_F(UserDefaultsTest, AFailedSaveGivesItsReasonAndIsReported) {
    // A file where the directory should be: nothing can be created below it.
    writeFile(directory_, "not a directory");
    const fs::path blocked = directory_ / "defaults.json";
    LogCapture logs;
    UserDefaults defaults(blocked);

    const auto error = defaults.setString("name", "Ada");
    EXPECT_EQ(error, std::errc::not_a_directory);
    EXPECT_EQ(defaults.stringValue("name"), "Ada") << "kept in memory for the next save";
    EXPECT_THAT(logs.messages("app"),
                testing::ElementsAre("UserDefaults save failed: " + blocked.string() +
                                     " (Not a directory)"));
}

TEST_F(UserDefaultsTest, AChangeThatWouldMakeTheFileTooLargeToReadIsRefused) {
    UserDefaults defaults(file());
    defaults.setString("name", "Ada");
    const std::string before = readFile(file());
    LogCapture logs;

    EXPECT_EQ(defaults.setData("blob", std::string(UserDefaults::maximumFileSize, 'x')),
              UserDefaults::Error::tooLarge);
    EXPECT_FALSE(defaults.contains("blob"));
    EXPECT_EQ(readFile(file()), before);
    EXPECT_EQ(logs.messages("app").size(), 1u);
    EXPECT_FALSE(defaults.setInteger("count", 1)) << "later changes are saved as before";
}

TEST(UserDefaultsMemoryTest, AnEmptyPathKeepsTheDomainInMemory) {
    UserDefaults defaults{fs::path()};
    EXPECT_FALSE(defaults.setString("name", "Ada"));
    EXPECT_EQ(defaults.stringValue("name"), "Ada");
    EXPECT_FALSE(defaults.remove("name"));
    EXPECT_FALSE(defaults.contains("name"));
    EXPECT_FALSE(defaults.isReadOnly());
}

TEST_F(UserDefaultsTest, AnEarlierCopySetAsideIsKept) {
    writeFile(file(), "first{");
    { const UserDefaults defaults(file()); }
    writeFile(file(), "second{");
    { const UserDefaults defaults(file()); }

    EXPECT_EQ(readFile(directory_ / "defaults.json.corrupt"), "first{");
    EXPECT_EQ(readFile(directory_ / "defaults.json.corrupt-2"), "second{");
}

TEST_F(UserDefaultsTest, RemovePersistentDomainForgetsEverythingAndDeletesTheFile) {
    UserDefaults defaults(file());
    defaults.setBool("flag", true);
    ASSERT_TRUE(fs::exists(file()));

    defaults.removePersistentDomain();
    EXPECT_FALSE(defaults.contains("flag"));
    EXPECT_FALSE(fs::exists(file()));
    EXPECT_FALSE(UserDefaults(file()).contains("flag"));
}

TEST_F(UserDefaultsTest, ConcurrentWritersKeepEveryValueAndAValidFile) {
    constexpr int threadCount = 8;
    constexpr int keysPerThread = 50;
    {
        UserDefaults defaults(file());
        std::vector<std::jthread> writers;
        for (int t = 0; t < threadCount; ++t) {
            writers.emplace_back([&defaults, t] {
                for (int k = 0; k < keysPerThread; ++k) {
                    const auto key = std::to_string(t) + "." + std::to_string(k);
                    defaults.setInteger(key, k);
                    EXPECT_EQ(defaults.integerValue(key), k);
                }
            });
        }
    }
    const json written = readJson(file());
    EXPECT_EQ(written.size(), std::size_t{threadCount * keysPerThread});
    const UserDefaults reread(file());
    EXPECT_EQ(reread.integerValue("7.49"), 49);
}

TEST(UserDefaultsDomainTest, StandardAndSuiteFilesLieUnderTheConfigHome) {
    const fs::path config = std::getenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserDefaults::standard().file(), config / "Quorvane/defaults.json");

    const auto suite = UserDefaults::suite("thrim-probe");
    ASSERT_TRUE(suite);
    EXPECT_EQ(suite->file(), config / "Quorvane/suites/thrim-probe.json");
    suite->setBool("seen", true);
    EXPECT_TRUE(fs::exists(suite->file()));
    EXPECT_FALSE(UserDefaults::standard().contains("seen"));
    suite->removePersistentDomain();
    EXPECT_FALSE(fs::exists(suite->file()));
}

TEST(UserDefaultsDomainTest, RelativeConfigHomeFallsBackToTheHomeDirectory) {
    const fs::path home = std::getenv("HOME");
    for (const char* value : {"relative/config", ""}) {
        test::ScopedEnvironmentVariable config("XDG_CONFIG_HOME", value);
        const auto suite = UserDefaults::suite("probe");
        ASSERT_TRUE(suite);
        EXPECT_EQ(suite->file(), home / ".config/Quorvane/suites/probe.json") << value;
    }
}

TEST(UserDefaultsDomainTest, SuiteNamesThatAreNotPlainFileNamesGiveNothing) {
    for (const std::string& name : {std::string(), std::string("../escape"), std::string("a/b"),
                                    std::string("."), std::string(".."), std::string("a\0b", 3)}) {
        EXPECT_EQ(UserDefaults::suite(name), nullptr) << name;
    }
}

} // namespace
} // namespace quorvane
