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

} // namespace
} // namespace quorvane
