#pragma once

#include <string>

namespace quorvane {

// The wanted and the unwanted parts of an image or video prompt.
struct ImagePromptStructure {
    std::string positive;
    std::string negative;

    bool operator==(const ImagePromptStructure&) const = default;
};

} // namespace quorvane
