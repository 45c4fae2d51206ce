// The targets one benchmark program checks: each figure is printed with its target beside it, a
// miss is named on standard error, and the program's exit status says whether all were met, so
// that `make bench` can list the programs that missed.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorvane::bench {

class BenchTargets {
public:
    explicit BenchTargets(std::string program);

    // Prints "label: value (target <= limit)"; a value of nothing could not be measured, which
    // is a miss too.
    void atMost(const std::string& label, std::optional<double> value, double limit,
                int decimals = 2);

    // 0 when every target was met; otherwise names the misses once more and gives 1.
    int exitStatus() const;

private:
    std::string program_;
    std::vector<std::string> misses_;
};

} // namespace quorvane::bench
