#include "BenchTargets.h"

#include <cstdio>
#include <utility>

namespace quorvane::bench {

BenchTargets::BenchTargets(std::string program)
    : program_(std::move(program)) {}

void BenchTargets::atMost(const std::string& label, std::optional<double> value, double limit,
                          int decimals) {
    if (!value) {
        std::printf("%s: unavailable (target <= %.*f)\n", label.c_str(), decimals, limit);
        misses_.push_back(label + " could not be measured");
        return;
    }
    std::printf("%s: %.*f (target <= %.*f)\n", label.c_str(), decimals, *value, decimals, limit);
    if (*value > limit) {
        char line[256];
        std::snprintf(line, sizeof line, "%s is %.*f, above its target of %.*f", label.c_str(),
                      decimals, *value, decimals, limit);
        misses_.emplace_back(line);
    }
}

int BenchTargets::exitStatus() const {
    // The figures first, as a reader of the combined output expects them.
    std::fflush(stdout);
    for (const std::string& miss : misses_) {
        std::fprintf(stderr, "%s: target missed: %s\n", program_.c_str(), miss.c_str());
    }
    return misses_.empty() ? 0 : 1;
}

} // namespace quorvane::bench
