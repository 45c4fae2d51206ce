#include "platform/defaults/UserDefaults.h"

#include "support/ScopedEnvironmentVariable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

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
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory_)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_THAT(names, testing::ElementsAre("defaults.json"));
    EXPECT_EQ(readJson(file()), json({{"name", "Ada"}}));
}

TEST_F(UserDefaultsTest, CorruptFileIsSetAsideAndReadsAsEmpty) {
    struct Row {
        const char* label;
        const char* contents;
    };
    const Row rows[] = {{"torn", R"({"name": "Ad)"}, {"not an object", "[1, 2]"}, {"empty", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        fs::remove_all(directory_);
        writeFile(file(), row.contents);

        UserDefaults defaults(file());
        EXPECT_FALSE(defaults.contains("name"));
        EXPECT_EQ(readFile(directory_ / "defaults.json.corrupt"), row.contents);
        defaults.setString("name", "new");
        EXPECT_EQ(readJson(file()), json({{"name", "new"}}));
    }
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
