#include "engine/UnreadableValue.h"

#include "platform/defaults/UserDefaults.h"
#include "support/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace quorvane {
namespace {

using test::LogCapture;

class UnreadableValueTest : public testing::Test {
protected:
    static std::filesystem::path fileForThisTest() {
        const auto file = std::filesystem::path(std::getenv("TMPDIR")) /
                          testing::UnitTest::GetInstance()->current_test_info()->name() /
                          "defaults.json";
        std::filesystem::remove_all(file.parent_path());
        return file;
    }

    UserDefaults defaults_{fileForThisTest()};
    LogCapture logs_;
};

TEST_F(UnreadableValueTest, AnEarlierDifferentCopyIsKeptAndTheSameOneIsNotCopiedTwice) {
    defaults_.setData("list", "[newer]");
    defaults_.setData("list.unreadable", "[older]");

    EXPECT_TRUE(UnreadableValue::keepAside(defaults_, "list", "list.unreadable"));
    EXPECT_TRUE(UnreadableValue::keepAside(defaults_, "list", "list.unreadable"));

    EXPECT_EQ(defaults_.dataValue("list.unreadable"), "[older]");
    EXPECT_EQ(defaults_.dataValue("list.unreadable-2"), "[newer]");
    EXPECT_FALSE(defaults_.contains("list.unreadable-3"));
    EXPECT_THAT(logs_.messages("app"),
                testing::ElementsAre(
                    "list did not decode whole; the stored value is kept as list.unreadable-2"));
}

TEST_F(UnreadableValueTest, AValueOfAnotherTypeIsKeptAsItIs) {
    defaults_.setString("list", "typed by hand");
    EXPECT_TRUE(UnreadableValue::keepAside(defaults_, "list", "list.unreadable"));
    EXPECT_EQ(defaults_.stringValue("list.unreadable"), "typed by hand");
}

TEST_F(UnreadableValueTest, ACopyThatCannotBeSavedSaysTheValueMustStay) {
    // A copy of this beside it would make the file larger than a settings file may be.
    defaults_.setData("list", std::string(9 * 1024 * 1024, '['));
    logs_.clear();

    EXPECT_FALSE(UnreadableValue::keepAside(defaults_, "list", "list.unreadable"));
    EXPECT_FALSE(defaults_.contains("list.unreadable"));
    EXPECT_THAT(logs_.messages("app"),
                testing::ElementsAre(testing::StartsWith("UserDefaults save failed")));
}

TEST_F(UnreadableValueTest, AtMostThreeCopiesAndTheNewestReplacesTheLast) {
    for (const char* value : {"[1]", "[2]", "[3]", "[4]", "[5]"}) {
        defaults_.setData("list", value);
        EXPECT_TRUE(UnreadableValue::keepAside(defaults_, "list", "list.unreadable")) << value;
    }
    EXPECT_EQ(defaults_.dataValue("list.unreadable"), "[1]");
    EXPECT_EQ(defaults_.dataValue("list.unreadable-2"), "[2]");
    EXPECT_EQ(defaults_.dataValue("list.unreadable-3"), "[5]");
    EXPECT_FALSE(defaults_.contains("list.unreadable-4"));
}

// Two earlier copies fill the file so that a third would pass the size a settings file may have:
// the latest gives way, rather than the value being replaced never again.
TEST_F(UnreadableValueTest, EarlierCopiesGiveWayWhenTheFileHasNoRoomForTheNewOne) {
    // Stored in base64, each takes over a quarter of the file: three fit, four do not.
    const auto filled = [](char c) { return std::string(UserDefaults::maximumFileSize / 5, c); };
    ASSERT_FALSE(defaults_.setData("list.unreadable", filled('1')));
    ASSERT_FALSE(defaults_.setData("list.unreadable-2", filled('2')));
    ASSERT_FALSE(defaults_.setData("list", filled('3')));
    logs_.clear();

    EXPECT_TRUE(UnreadableValue::keepAside(defaults_, "list", "list.unreadable"));
    EXPECT_TRUE(defaults_.dataValue("list.unreadable") == filled('1'));
    EXPECT_FALSE(defaults_.contains("list.unreadable-2"));
    EXPECT_TRUE(defaults_.dataValue("list.unreadable-3") == filled('3'));
    EXPECT_THAT(logs_.messages("app"),
                testing::ElementsAre(
                    testing::StartsWith("UserDefaults save failed"),
                    "list.unreadable-2 was removed to make room for a copy of list",
                    "list did not decode whole; the stored value is kept as list.unreadable-3"));
}

} // namespace
} // namespace quorvane
