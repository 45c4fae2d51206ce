#include "engine/CustomPresetStore.h"

#include "platform/defaults/UserDefaults.h"
#include "support/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>

namespace quorvane {
namespace {

using nlohmann::json;

constexpr const char* key = "quorvane.customPresets.v1";
constexpr const char* idText = "E621E1F8-C36C-495A-93FC-0C247A3E6E5F";

Uuid fixedId() {
    return *Uuid::parse(idText);
}

class CustomPresetStoreTest : public testing::Test {
protected:
    static std::filesystem::path fileForThisTest() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        const auto file = std::filesystem::path(std::getenv("TMPDIR")) / "custom-presets" /
                          (std::string(info->name()) + ".json");
        std::filesystem::remove(file);
        return file;
    }

    UserDefaults defaults_{fileForThisTest()};
    CustomPresetStore store_{defaults_};
};

TEST_F(CustomPresetStoreTest, AbsentDataLoadsAsNoPresets) {
    EXPECT_EQ(CustomPresetStore::defaultKey, key);
    EXPECT_TRUE(store_.load().empty());
}

TEST_F(CustomPresetStoreTest, SavedPresetsComeBackInTheUsersOrderWithoutACap) {
    std::vector<CustomPreset> presets;
    for (int i = 0; i < 150; ++i) {
        presets.push_back(CustomPreset::cloning(i % 2 == 0 ? Preset::video : Preset::code,
                                                "Instructions " + std::to_string(i)));
    }
    presets.push_back({fixedId(), "Bare", "Only text.", std::nullopt, std::nullopt});

    store_.save(presets);
    EXPECT_EQ(store_.load(), presets);
}

TEST_F(CustomPresetStoreTest, StoresTheCanonicalIdAndLeavesAbsentOptionalsOut) {
    store_.save({{fixedId(), "Mine", "Do this.", std::nullopt, std::nullopt},
                 {fixedId(), "Clone", "Do that.", ImagePromptStructure{"a", "b"}, "imageGen"}});

    const auto stored = json::parse(*defaults_.dataValue(key));
    EXPECT_EQ(stored[0], json({{"id", idText}, {"name", "Mine"}, {"instructions", "Do this."}}));
    EXPECT_EQ(stored[1]["structuredPrompt"], json({{"positive", "a"}, {"negative", "b"}}));
    EXPECT_EQ(stored[1]["basePresetRawValue"], "imageGen");
}

TEST_F(CustomPresetStoreTest, KeepsTheElementsThatDecode) {
    struct Row {
        const char* label;
        const char* stored;
        std::size_t count;
    };
    const Row rows[] = {
        {"required members only",
         R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"n","instructions":"i"}])", 1},
        {"lower-case id",
         R"([{"id":"e621e1f8-c36c-495a-93fc-0c247a3e6e5f","name":"n","instructions":"i"}])", 1},
        {"null optionals",
         R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"n","instructions":"i",
             "structuredPrompt":null,"basePresetRawValue":null}])",
         1},
        {"one element without id",
         R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"n","instructions":"i"},
             {"name":"n","instructions":"i"}])",
         1},
        {"id not a UUID", R"([{"id":"preset-1","name":"n","instructions":"i"}])", 0},
        {"without instructions", R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"n"}])",
         0},
        {"structure of the wrong shape",
         R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"n","instructions":"i",
             "structuredPrompt":"a"}])",
         0},
        {"base preset as number",
         R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"n","instructions":"i",
             "basePresetRawValue":1}])",
         0},
        {"not JSON", "not json", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        defaults_.setData(key, row.stored);
        EXPECT_EQ(store_.load().size(), row.count);
    }
}

TEST_F(CustomPresetStoreTest, AListWithAnUnreadablePresetIsKeptAsideBeforeTheNextSave) {
    const CustomPreset mine{fixedId(), "Mine", "Do this.", std::nullopt, std::nullopt};
    const std::string stored =
        R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"Mine","instructions":"Do this."},
            {"id":"5B7F7A5E-64F6-4E0B-9C55-4D0F1A3B2C1D","name":"Next","instructions":7}])";
    defaults_.setData(key, stored);
    test::LogCapture logs;

    const auto loaded = store_.load();
    EXPECT_EQ(loaded, std::vector{mine});
    store_.save(loaded);
    store_.save(loaded);

    EXPECT_EQ(defaults_.dataValue("quorvane.customPresets.unreadable"), stored);
    EXPECT_EQ(store_.load(), std::vector{mine});
    EXPECT_EQ(logs.messages("app").size(), 1u) << "copied once";
}

TEST_F(CustomPresetStoreTest, RequiredMembersAloneDecodeWithOptionalsAbsent) {
    defaults_.setData(key, R"([{"id":"e621e1f8-c36c-495a-93fc-0c247a3e6e5f","name":"n",
                                 "instructions":"i"}])");
    EXPECT_THAT(store_.load(), testing::ElementsAre(
                                   CustomPreset{fixedId(), "n", "i", std::nullopt, std::nullopt}));
}

TEST_F(CustomPresetStoreTest, AListThatCannotBeEncodedWritesNothing) {
    const CustomPreset kept{fixedId(), "Kept", "Fine.", std::nullopt, std::nullopt};
    store_.save({kept});
    store_.save({{fixedId(), "Broken \xFF", "Fine.", std::nullopt, std::nullopt}});
    EXPECT_EQ(store_.load(), std::vector{kept});
}

} // namespace
} // namespace quorvane
