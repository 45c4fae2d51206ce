#pragma once

#include "SamplingMode.h"

#include <optional>

namespace quorvane {

// Settings of one response; an unset field leaves the model's own default.
struct GenerationOptions {
    std::optional<SamplingMode> sampling;
    std::optional<double> temperature;
    std::optional<int> maximumResponseTokens;

    bool operator==(const GenerationOptions&) const = default;
};

} // namespace quorvane
