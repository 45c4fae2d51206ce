#pragma once

#include "engine/EnumTraits.h"

#include <string_view>

namespace quorvane {

// Where a provider's API key comes from, as the settings and onboarding windows label it.
enum class KeySource { stored, environment, none };

template <>
struct EnumTraits<KeySource> {
    static constexpr std::array<std::pair<KeySource, std::string_view>, 3> cases{{
        {KeySource::stored, "stored"},
        {KeySource::environment, "environment"},
        {KeySource::none, "none"},
    }};
};

} // namespace quorvane
