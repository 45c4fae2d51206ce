#include "engine/CustomPreset.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(CustomPresetTest, CloningNamesThePresetAndKeepsItsOrigin) {
    struct Row {
        Preset preset;
        const char* name;
        bool hasImageStructure;
    };
    const Row rows[] = {
        {Preset::general, "Custom General", false},   {Preset::code, "Custom Code", false},
        {Preset::imageGen, "Custom Image gen", true}, {Preset::writing, "Custom Writing", false},
        {Preset::video, "Custom Video", true},        {Preset::content, "Custom Content", false},
        {Preset::analysis, "Custom Analysis", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto clone = CustomPreset::cloning(row.preset, "Do it well.");
        EXPECT_EQ(clone.name, row.name);
        EXPECT_EQ(clone.instructions, "Do it well.");
        EXPECT_EQ(clone.basePresetRawValue, std::string(rawValue(row.preset)));
        if (row.hasImageStructure) {
            EXPECT_EQ(clone.structuredPrompt, ImagePromptStructure{});
        } else {
            EXPECT_EQ(clone.structuredPrompt, std::nullopt);
        }
    }
}

TEST(CustomPresetTest, EveryCloneHasAFreshIdentity) {
    const auto first = CustomPreset::cloning(Preset::code, "x");
    const auto second = CustomPreset::cloning(Preset::code, "x");
    EXPECT_NE(first.id, second.id);
    EXPECT_NE(first, second);
}

} // namespace
} // namespace quorvane
