#include "Preset.h"

namespace quorvane {

namespace {

struct PresetLook {
    Preset preset;
    std::string_view label;
    std::string_view symbolName;
};

constexpr std::array<PresetLook, 7> looks{{
    {Preset::general, "General", "text.bubble"},
    {Preset::code, "Code", "curlybraces"},
    {Preset::imageGen, "Image gen", "photo"},
    {Preset::writing, "Writing", "doc.text"},
    {Preset::video, "Video", "video"},
    {Preset::content, "Content", "newspaper"},
    {Preset::analysis, "Analysis", "chart.bar"},
}};

const PresetLook& lookOf(Preset preset) {
    for (const auto& look : looks) {
        if (look.preset == preset) {
            return look;
        }
    }
    return looks.front();
}

} // namespace

std::string_view label(Preset preset) {
    return lookOf(preset).label;
}

std::string_view symbolName(Preset preset) {
    return lookOf(preset).symbolName;
}

} // namespace quorvane
