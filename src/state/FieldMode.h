#pragma once

#include "engine/EnumTraits.h"

#include <string_view>

namespace quorvane {

// Which text the panel editor shows. Held in memory only.
enum class FieldMode { draft, result };

template <>
struct EnumTraits<FieldMode> {
    static constexpr std::array<std::pair<FieldMode, std::string_view>, 2> cases{{
        {FieldMode::draft, "draft"},
        {FieldMode::result, "result"},
    }};
};

} // namespace quorvane
