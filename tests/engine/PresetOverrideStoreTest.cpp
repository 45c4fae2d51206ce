#include "engine/PresetOverrideStore.h"

#include "platform/defaults/UserDefaults.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>

namespace quorvane {
namespace {

using nlohmann::json;
using testing::ElementsAre;

constexpr const char* key = "quorvane.presetOverrides.v1";

PresetOverride makeOverride(std::string raw, bool active, std::string instructions = "Be brief.") {
    return {std::move(raw), std::move(instructions), std::nullopt, active};
}

class PresetOverrideStoreTest : public testing::Test {
protected:
    static std::filesystem::path fileForThisTest() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        const auto file = std::filesystem::path(std::getenv("TMPDIR")) / "overrides" /
                          (std::string(info->name()) + ".json");
        std::filesystem::remove(file);
        return file;
    }

    UserDefaults defaults_{fileForThisTest()};
    PresetOverrideStore store_{defaults_};
};

TEST_F(PresetOverrideStoreTest, UsesTheVersionedKeyByDefault) {
    EXPECT_EQ(PresetOverrideStore::defaultKey, key);
    store_.saveAll({makeOverride("code", true)});
    EXPECT_TRUE(defaults_.dataValue(key));
}

TEST_F(PresetOverrideStoreTest, SavedOverridesComeBackInOrderWithTheirOptionalFields) {
    const std::vector<PresetOverride> overrides = {
        {"imageGen", std::nullopt, ImagePromptStructure{"sharp", "blurry"}, true},
        {"code", "Explain every step.", std::nullopt, false},
        {"writing", std::nullopt, std::nullopt, true},
    };
    store_.saveAll(overrides);
    EXPECT_EQ(store_.loadAll(), overrides);

    // Absent optionals are left out rather than written as null.
    const auto stored = json::parse(*defaults_.dataValue(key));
    EXPECT_EQ(stored[2], json({{"presetRawValue", "writing"}, {"isActive", true}}));
    EXPECT_EQ(stored[0]["imageStructure"], json({{"positive", "sharp"}, {"negative", "blurry"}}));
}

TEST_F(PresetOverrideStoreTest, UpsertReplacesInPlaceOrAppends) {
    store_.saveAll(
        {makeOverride("general", true), makeOverride("code", true), makeOverride("video", false)});

    store_.upsert(makeOverride("code", false, "Replaced."));
    store_.upsert(makeOverride("analysis", true));

    EXPECT_EQ(store_.loadAll(),
              (std::vector{makeOverride("general", true), makeOverride("code", false, "Replaced."),
                           makeOverride("video", false), makeOverride("analysis", true)}));
}

TEST_F(PresetOverrideStoreTest, ActiveOverrideSkipsInactiveOnesAndReadsAnew) {
    EXPECT_EQ(store_.activeOverride(Preset::code), std::nullopt);

    store_.saveAll({makeOverride("code", false)});
    EXPECT_EQ(store_.activeOverride(Preset::code), std::nullopt);

    store_.saveAll({makeOverride("code", false, "first"), makeOverride("general", true),
                    makeOverride("code", true, "later")});
    EXPECT_EQ(store_.activeOverride(Preset::code), makeOverride("code", true, "later"));
    EXPECT_EQ(store_.activeOverride(Preset::video), std::nullopt);

    // Nothing is cached: a change made behind the store's back is seen.
    defaults_.remove(key);
    EXPECT_EQ(store_.activeOverride(Preset::code), std::nullopt);
}

TEST_F(PresetOverrideStoreTest, DecodesAllOrNothing) {
    struct Row {
        const char* label;
        const char* stored;
        std::size_t count;
    };
    const Row rows[] = {
        {"only required members", R"([{"presetRawValue":"code","isActive":true}])", 1},
        {"null optionals", R"([{"presetRawValue":"code","isActive":true,"customInstructions":null,
           "imageStructure":null}])",
         1},
        {"unknown members ignored", R"([{"presetRawValue":"code","isActive":true,"x":1}])", 1},
        {"without isActive", R"([{"presetRawValue":"code","isActive":true},
           {"presetRawValue":"video"}])",
         0},
        {"without presetRawValue", R"([{"isActive":true}])", 0},
        {"isActive as text", R"([{"presetRawValue":"code","isActive":"true"}])", 0},
        {"instructions as number",
         R"([{"presetRawValue":"code","isActive":true,"customInstructions":3}])", 0},
        {"structure without negative",
         R"([{"presetRawValue":"code","isActive":true,"imageStructure":{"positive":"a"}}])", 0},
        {"not an array", R"({"presetRawValue":"code","isActive":true})", 0},
        {"element not an object", R"([1])", 0},
        {"not JSON", "[{", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        defaults_.setData(key, row.stored);
        EXPECT_EQ(store_.loadAll().size(), row.count);
    }
}

TEST_F(PresetOverrideStoreTest, OnlyRequiredMembersDecodeWithOptionalsAbsent) {
    defaults_.setData(key, R"([{"presetRawValue":"code","isActive":true}])");
    EXPECT_THAT(store_.loadAll(),
                ElementsAre(PresetOverride{"code", std::nullopt, std::nullopt, true}));
}

TEST_F(PresetOverrideStoreTest, AValueThatIsNotDataReadsAsEmptyAndIsOverwrittenBySave) {
    defaults_.setString(key, R"([{"presetRawValue":"code","isActive":true}])");
    EXPECT_TRUE(store_.loadAll().empty());

    store_.upsert(makeOverride("video", true));
    EXPECT_EQ(store_.loadAll(), std::vector{makeOverride("video", true)});
}

TEST_F(PresetOverrideStoreTest, AListThatCannotBeEncodedWritesNothing) {
    store_.saveAll({makeOverride("code", true)});
    store_.saveAll({makeOverride("code", true, "broken \xC3")});
    EXPECT_EQ(store_.loadAll(), std::vector{makeOverride("code", true)});
}

} // namespace
} // namespace quorvane
