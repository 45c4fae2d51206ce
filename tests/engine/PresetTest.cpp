#include "engine/Preset.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

struct PresetRow {
    Preset preset;
    std::string_view raw;
    std::string_view label;
    std::string_view symbol;
};

constexpr PresetRow rows[] = {
    {Preset::general, "general", "General", "text.bubble"},
    {Preset::code, "code", "Code", "curlybraces"},
    {Preset::imageGen, "imageGen", "Image gen", "photo"},
    {Preset::writing, "writing", "Writing", "doc.text"},
    {Preset::video, "video", "Video", "video"},
    {Preset::content, "content", "Content", "newspaper"},
    {Preset::analysis, "analysis", "Analysis", "chart.bar"},
};

TEST(PresetTest, CasesKeepTheirOrderRawValuesLabelsAndSymbols) {
    const auto cases = allCases<Preset>();
    ASSERT_EQ(cases.size(), std::size(rows));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE(row.raw);
        EXPECT_EQ(cases[i], row.preset);
        EXPECT_EQ(rawValue(row.preset), row.raw);
        EXPECT_EQ(fromRawValue<Preset>(row.raw), row.preset);
        EXPECT_EQ(label(row.preset), row.label);
        EXPECT_EQ(symbolName(row.preset), row.symbol);
    }
}

TEST(PresetTest, UnknownRawValuesGiveNoPreset) {
    for (const char* raw : {"", "General", "image_gen", "imagegen", " code", "custom"}) {
        EXPECT_EQ(fromRawValue<Preset>(raw), std::nullopt) << raw;
    }
}

} // namespace
} // namespace quorvane
