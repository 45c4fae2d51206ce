#pragma once

#include "EnumTraits.h"

#include <string_view>

namespace quorvane {

// auto_ is spelled with an underscore because auto is a keyword; its raw value is "auto".
enum class Length { auto_, concise, balanced, detailed };

template <>
struct EnumTraits<Length> {
    static constexpr std::array<std::pair<Length, std::string_view>, 4> cases{{
        {Length::auto_, "auto"},
        {Length::concise, "concise"},
        {Length::balanced, "balanced"},
        {Length::detailed, "detailed"},
    }};
};

} // namespace quorvane
