#pragma once

#include "EnumTraits.h"

#include <string_view>

namespace quorvane {

enum class Preset { general, code, imageGen, writing, video, content, analysis };

template <>
struct EnumTraits<Preset> {
    static constexpr std::array<std::pair<Preset, std::string_view>, 7> cases{{
        {Preset::general, "general"},
        {Preset::code, "code"},
        {Preset::imageGen, "imageGen"},
        {Preset::writing, "writing"},
        {Preset::video, "video"},
        {Preset::content, "content"},
        {Preset::analysis, "analysis"},
    }};
};

// The name shown in menus, rows and history ("Image gen").
std::string_view label(Preset preset);

// The symbol shown beside the label ("text.bubble").
std::string_view symbolName(Preset preset);

} // namespace quorvane
