#pragma once

#include "engine/EnumTraits.h"

#include <string_view>

namespace quorvane {

// The window theme. auto_ is spelled with an underscore because auto is a keyword; its raw value
// is "auto". The theme picker lists allCases<Appearance>() in this order.
enum class Appearance { auto_, light, dark };

template <>
struct EnumTraits<Appearance> {
    static constexpr std::array<std::pair<Appearance, std::string_view>, 3> cases{{
        {Appearance::auto_, "auto"},
        {Appearance::light, "light"},
        {Appearance::dark, "dark"},
    }};
};

} // namespace quorvane
